// The shipped examples fitted from their saved values and from starts 25 % off on every
// parameter; points with 1 % noise fit within 0.5 % of full scale; curves the picture
// lacks are named; bad input is refused plainly.

#include "support/TestCharts.h"

#include "fit/Digitizer.h"
#include "fit/FitToChart.h"
#include "platform/QtPicture.h"
#include "state/DesignFile.h"

#include <QPainter>
#include <QtTest>

#include <functional>
#include <random>
#include <tuple>

using namespace valvix;
using namespace valvix::example;
using fit::FitToChart;

namespace {

// Corners 0 and 1 are opposite corners of the +/-25 % box about the true parameters.
TriodeParameters Corner(const TriodeParameters& p, int corner) {
    const auto f = [&](int i) { return (i + corner) % 2 ? 1.25f : 0.75f; };
    return {p.Mu * f(0), p.Ex * f(1), p.Kg1 * f(2), p.Kp * f(3), p.Kvb * f(4)};
}

// A design with the chart picture its frame lies on.
struct DesignOnChart : Design {
    std::shared_ptr<const Picture> CurveGraphic;
};

// One press of "Fit to chart": the printed curves found, then fitted.
fit::FitOutcome FitChart(const DesignOnChart& design, const fit::FitRequest& points = {}) {
    const fit::DigitizeOutcome found = fit::DigitizeDesignChart(design, design.CurveGraphic.get());
    if (!found.ok) {
        fit::FitOutcome refused;
        refused.message = found.message;
        return refused;
    }
    return FitToChart(design, design.CurveGraphic.get(), {found.chart.traces, points.clicked, points.measured});
}

std::shared_ptr<const Picture> HighMuChart() { // drawn once
    static const std::shared_ptr<const Picture> chart = std::make_shared<QtPicture>(RenderChart(HighMuTestChart()));
    return chart;
}

} // namespace

class tst_FitAccuracy final : public QObject {
    Q_OBJECT

private slots:
    // The shipped examples from their saved values and from two corners of the box: the
    // found points lie within a pixel of the fitted curves, and mu, the exponent and Kg1
    // are the ones the charts were drawn with.
    void fitsTheShippedExamples_data() {
        QTest::addColumn<bool>("small"); // the 12AX7's 400 x 300, else the 6SN7's 1000 x 700
        QTest::addColumn<int>("start");  // -1: the saved design, else a corner
        for (const int start : {-1, 0, 1}) {
            QTest::addRow("12AX7, start %d", start) << true << start;
            QTest::addRow("6SN7, start %d", start) << false << start;
        }
    }
    void fitsTheShippedExamples() {
        QFETCH(bool, small);
        QFETCH(int, start);
        const ChartSpec sheet = small ? Example12AX7() : Example6SN7();
        const QString name = VALVIX_EXAMPLES_DIR + QString(small ? "/example-12AX7" : "/example-6SN7");
        DesignOnChart design{{}, std::make_shared<QtPicture>(QImage(name + ".jpg"))};
        QVERIFY(ReadDesignFile((name + ".VXF").toStdString(), design).ok);
        if (start >= 0)
            SetParameters(design, Corner(sheet.truth, start));
        const fit::FitOutcome outcome = FitChart(design);
        QVERIFY2(outcome.ok, outcome.message.c_str());
        const TriodeParameters& p = outcome.parameters;
        qInfo("Mu %g, Ex %g, Kg1 %g; %s", double(p.Mu), double(p.Ex), double(p.Kg1), fit::DescribeFit(outcome).c_str());
        QVERIFY(outcome.rmsDistance < 1 && std::abs(p.Mu / sheet.truth.Mu - 1) < 0.002 &&
                std::abs(p.Ex / sheet.truth.Ex - 1) < 0.002 && std::abs(p.Kg1 / sheet.truth.Kg1 - 1) < 0.003);
    }

    // Every so many points mistyped three times too large: the robust loss sets them aside.
    void pointsWithOnePercentNoise_data() {
        QTest::addColumn<int>("mistypedEvery");
        QTest::newRow("noise only") << 0;
        QTest::newRow("one point in 20 mistyped") << 20;
    }
    void pointsWithOnePercentNoise() {
        QFETCH(int, mistypedEvery);
        const ChartSpec sheet = Example6SN7();
        std::mt19937 random{7};
        std::normal_distribution<double> noise(1.0, 0.01);
        fit::FitRequest request;
        for (float vg = 0; vg >= -20; vg -= 2) {
            for (float vp = 20; vp <= 500; vp += 20) {
                const double ip = EvaluatePlatePoint(vp, vg, sheet.truth).Ip;
                if (ip > 0 && ip <= sheet.ampsFullscale) {
                    const bool mistyped = mistypedEvery > 0 && request.measured.size() % mistypedEvery == 5;
                    request.measured.push_back({vp, vg, ip * noise(random) * (mistyped ? 3 : 1)});
                }
            }
        }
        const fit::FitOutcome outcome = FitToChart(ChartDesign(sheet, sheet.saved), nullptr, request);
        double largest = 0;
        for (float vg = 0; vg >= -20; vg -= 2) {
            for (float vp = 1; vp <= 500; vp += 1) {
                const double ip = EvaluatePlatePoint(vp, vg, sheet.truth).Ip;
                const double miss = std::abs(EvaluatePlatePoint(vp, vg, outcome.parameters).Ip - ip);
                largest = ip < sheet.ampsFullscale ? std::max(largest, miss) : largest;
            }
        }
        qInfo("largest miss %.3f %% of full scale; %s", 100 * largest / sheet.ampsFullscale,
              fit::DescribeFit(outcome).c_str());
        QVERIFY(outcome.ok && largest <= 0.005 * sheet.ampsFullscale);
    }

    // A family typed longer than the printed one still fits, and says which curves are bare
    // (the -4 V curve runs along the axis there).
    void namesTheCurvesWithNoPoints() {
        const ChartSpec sheet = HighMuTestChart();
        DesignOnChart design{ChartDesign(sheet, sheet.truth), HighMuChart()};
        design.GridVoltageMostNeg = sheet.gridMostNeg - 2 * sheet.gridStep;
        const fit::FitOutcome outcome = FitChart(design);
        QVERIFY2(outcome.ok && fit::DescribeFit(outcome).find(" No points lie on the -4, -4.5, -5 V curves.") !=
                                   std::string::npos,
                 (outcome.message + fit::DescribeFit(outcome)).c_str());
    }

    void refusesBadInput() {
        const ChartSpec sheet = HighMuTestChart();
        ChartSpec noCurves = sheet;
        noCurves.truth.Kg1 = 1e9f; // every curve lies on the 0 A axis
        QImage blank(560, 400, QImage::Format_RGB32), text(560, 400, QImage::Format_RGB32);
        blank.fill(QColor(250, 246, 233));
        text.fill(Qt::white);
        QPainter writing(&text);
        for (int line = 0; line < 20; ++line)
            writing.drawText(10, 20 + 19 * line,
                             "The plate characteristics of a triode, drawn at 6.3 V heater voltage.");
        writing.end();
        using Change = std::function<void(DesignOnChart&, fit::FitRequest&)>;
        const std::pair<Change, std::string> rows[] = {
            {[](DesignOnChart& d, auto&) { d.CurveGraphic = nullptr; }, "There is no chart picture"},
            {[](DesignOnChart& d, auto&) { d.Xright = d.Xleft; }, "The plot frame has no area"},
            {[](DesignOnChart& d, auto&) { d.Ytop = d.Ybottom - 300; }, "covers too little of the"},
            {[](DesignOnChart& d, auto&) { d.PlateCurrentFullscale = 0; }, "The full scales must be"},
            {[&](DesignOnChart& d, auto&) { d.CurveGraphic = std::make_shared<QtPicture>(blank); },
             "No printed curves were found"},
            {[&](DesignOnChart& d, auto&) { d.CurveGraphic = std::make_shared<QtPicture>(RenderChart(noCurves)); },
             "No printed curves were found"},
            {[&](DesignOnChart& d, auto&) { d.CurveGraphic = std::make_shared<QtPicture>(text); },
             "No printed curves were found"},
            {[](DesignOnChart& d, auto&) { d.Xright = d.Xleft - 60, d.Xleft = 420; }, // on the axis numbers
             "No printed curves were found"},
            {[](DesignOnChart& d, auto&) { d.GridVoltageMostNeg = -1.5f; }, "beyond the grid voltages"},
            {[](DesignOnChart& d, auto&) { // a grid step twice the printed one
                 d = {ChartDesign(Example6SN7(), Example6SN7().truth),
                      std::make_shared<QtPicture>(QImage(VALVIX_EXAMPLES_DIR "/example-6SN7.jpg"))};
                 d.GridVoltageStep = 4;
             },
             "Printed curves run between the computed ones"},
            {[](DesignOnChart&, auto& r) {
                 r = {{}, {}, std::vector<fit::ChartPoint>(5, {100, 0, 1})};
             },
             "far beyond the chart's full scales"},
        };
        for (const auto& [change, message] : rows) {
            DesignOnChart design{ChartDesign(sheet, sheet.saved), HighMuChart()};
            fit::FitRequest request;
            change(design, request);
            const fit::FitOutcome outcome =
                request.measured.empty() ? FitChart(design) : FitToChart(design, design.CurveGraphic.get(), request);
            QVERIFY2(!outcome.ok && outcome.message.find(message) != std::string::npos,
                     (message + ": " + outcome.message).c_str());
        }
    }
};

QTEST_MAIN(tst_FitAccuracy)
#include "tst_FitAccuracy.moc"
