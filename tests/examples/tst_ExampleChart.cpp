#include "ExampleChart.h"

#include "plot/OverlayPlot.h"
#include "state/DesignFile.h"
#include "support/RecordingSurface.h"

#include <QImage>
#include <QtTest>

#include <cmath>

using namespace valvix;
using valvix::test::RecordingSurface;

namespace {

const QString kExamplesDir = QStringLiteral(VALVIX_EXAMPLES_DIR);

// Printed lines, axes and numbers are dark; paper and grid lines are not.
constexpr int kInkLevel = 120;

// How far (in picture pixels, either way) a dot may lie from printed ink and still be
// taken as lying on a curve.
constexpr int kReach = 2;

bool IsInk(const QImage& chart, QPoint pixel) {
    return chart.valid(pixel) && qGray(chart.pixel(pixel)) < kInkLevel;
}

// The picture pixel under a point of the chart area, which the picture fills stretched.
QPoint PixelAt(const QImage& chart, PointF at) {
    const double px = (at.x - kChartAreaTopLeft.x) * chart.width() / kChartAreaWidth;
    const double py = (at.y - kChartAreaTopLeft.y) * chart.height() / kChartAreaHeight;
    return {static_cast<int>(std::floor(px)), static_cast<int>(std::floor(py))};
}

bool InkNear(const QImage& chart, QPoint pixel) {
    for (int dy = -kReach; dy <= kReach; ++dy) {
        for (int dx = -kReach; dx <= kReach; ++dx) {
            if (IsInk(chart, pixel + QPoint(dx, dy))) {
                return true;
            }
        }
    }
    return false;
}

struct Match {
    qsizetype dots = 0;
    qsizetype onInk = 0;
    double share() const { return dots == 0 ? 0.0 : static_cast<double>(onInk) / dots; }
};

// Draws the design's curves as the Adjust window does and counts the dots that land on
// or next to printed ink of the chart under them.
Match MatchCurves(const QImage& chart, DesignState design) {
    RecordingSurface surface;
    OverlayPlot().draw(surface, design);
    Match match;
    for (const auto& item : surface.ofKind(RecordingSurface::Kind::Dot)) {
        ++match.dots;
        if (InkNear(chart, PixelAt(chart, item.a))) {
            ++match.onInk;
        }
    }
    return match;
}

} // namespace

class tst_ExampleChart final : public QObject {
    Q_OBJECT

    QImage m_chart;
    DesignState m_saved;

private slots:
    void initTestCase() {
        const QString picture = kExamplesDir + QStringLiteral("/example-12AX7.jpg");
        QVERIFY2(m_chart.load(picture), qPrintable(picture));
        m_chart = m_chart.convertToFormat(QImage::Format_RGB32);

        const std::string design =
            (kExamplesDir + QStringLiteral("/example-12AX7.VXF")).toStdString();
        const FileResult read = ReadDesignFile(design, m_saved);
        QVERIFY2(read.ok, read.message.c_str());
    }

    void pictureAndDesignFitTheChart() {
        QCOMPARE(m_chart.size(), QSize(example::kPictureWidth, example::kPictureHeight));
        QCOMPARE(m_saved.PlateVoltageFullscale, example::kVoltsFullscale);
        QCOMPARE(m_saved.PlateCurrentFullscale, example::kAmpsFullscale);
        QCOMPARE(m_saved.GridVoltageMostPos, example::kGridMostPos);
        QCOMPARE(m_saved.GridVoltageMostNeg, example::kGridMostNeg);
        QCOMPARE(m_saved.GridVoltageStep, example::kGridStep);
        QCOMPARE(m_saved.Mu, example::kSavedParameters.Mu);
        QCOMPARE(m_saved.Kg1, example::kSavedParameters.Kg1);
        QVERIFY2(DescribePlotProblem(m_saved).empty(), DescribePlotProblem(m_saved).c_str());
    }

    // Each frame edge runs along a printed line of the chart over its whole length,
    // not just at the corners.
    void frameEdgeRunsAlongPrintedLine_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<float>("at");
        QTest::addColumn<float>("from");
        QTest::addColumn<float>("to");
        const DesignState& d = m_saved;
        QTest::newRow("0 V axis") << true << d.Xleft << d.Ytop << d.Ybottom;
        QTest::newRow("full-scale volts line") << true << d.Xright << d.Ytop << d.Ybottom;
        QTest::newRow("full-scale amps line") << false << d.Ytop << d.Xleft << d.Xright;
        QTest::newRow("0 A axis") << false << d.Ybottom << d.Xleft << d.Xright;
    }

    void frameEdgeRunsAlongPrintedLine() {
        QFETCH(bool, vertical);
        QFETCH(float, at);
        QFETCH(float, from);
        QFETCH(float, to);
        constexpr int kSamples = 200;
        for (int i = 0; i <= kSamples; ++i) {
            const float along = from + (to - from) * static_cast<float>(i) / kSamples;
            const QPoint pixel = PixelAt(m_chart, vertical ? PointF{at, along} : PointF{along, at});
            QVERIFY2(IsInk(m_chart, pixel),
                     qPrintable(QString("off the line at (%1, %2)").arg(pixel.x()).arg(pixel.y())));
        }
    }

    // The true parameters' curves follow the printed ones; the saved parameters' curves
    // still need fitting, which a picture dark all over would hide.
    void curvesOnThePrintedInk() {
        DesignState trueDesign = m_saved;
        const TriodeParameters& p = example::kTrueParameters;
        trueDesign.Mu = p.Mu;
        trueDesign.Ex = p.Ex;
        trueDesign.Kg1 = p.Kg1;
        trueDesign.Kp = p.Kp;
        trueDesign.Kvb = p.Kvb;
        const Match fitted = MatchCurves(m_chart, trueDesign);
        const Match saved = MatchCurves(m_chart, m_saved);
        qInfo("dots on ink: true parameters %.1f %% of %lld, saved %.1f %% of %lld",
              100 * fitted.share(), static_cast<long long>(fitted.dots), 100 * saved.share(),
              static_cast<long long>(saved.dots));
        // Nine curves, most of their 1000 columns inside the frame.
        QVERIFY(fitted.dots > 5000 && saved.dots > 5000);
        QVERIFY2(fitted.share() >= 0.95, qPrintable(QString::number(fitted.share())));
        QVERIFY2(saved.share() < fitted.share() - 0.25, qPrintable(QString::number(saved.share())));
    }
};

QTEST_MAIN(tst_ExampleChart)
#include "tst_ExampleChart.moc"
