// Charts whose curves depart from the model as real tubes do, with data-sheet clutter
// (support/CorpusCharts; the model misses them by 3 to 11 px at best): the found points
// lie on the printed curves and cover most of them (92 % and 60 % at the least), and the
// fit from starts a quarter off lands within 1.05 x the least-squares optimum of the model
// fitted to the printed curves themselves (worked out once with many starts, written
// below); points read off the curves fitted from a points file within 1.1 x theirs.

#include "CorpusCharts.h"

#include "fit/Digitizer.h"
#include "fit/FitToChart.h"
#include "fit/Solver.h"
#include "platform/QtPicture.h"

#include <QtTest>

#include <random>

using namespace valvix;
using namespace valvix::corpus;

namespace {

struct Optimum {
    TriodeParameters chart;  // fitted to the printed curves, across them in pixels
    float chartRms;          // pixels
    TriodeParameters points; // fitted to the points below, in thousandths of full scale
    float pointsRms;
};
// clang-format off
const Optimum kOptima[] = {
    {{111.719f, 1.16683f, 2921.07f, 335.781f, 0.001f}, 4.773, {108.161f, 1.17039f, 3044.67f, 351.55f, 0.001f}, 8.218},
    {{21.3638f, 1.263f, 3073.75f, 120.965f, 0.001f}, 6.37, {20.8354f, 1.27569f, 3296.15f, 136.958f, 0.001f}, 9.436},
    {{3.84917f, 1.46689f, 4101.1f, 36.1125f, 0.001f}, 3.052, {3.82424f, 1.47876f, 4338.31f, 39.9006f, 0.001f}, 4.083},
    {{19.7654f, 1.19277f, 2519.08f, 116.997f, 72.0675f}, 6.08, {19.2542f, 1.18487f, 2593.44f, 134.741f, 2.30719f}, 9.104},
    {{4.436f, 1.32987f, 2118.74f, 28.6331f, 0.001f}, 7.249, {4.3218f, 1.34601f, 2367.37f, 34.0139f, 0.001f}, 10.468},
    {{136.712f, 1.10661f, 2159.54f, 306.145f, 496.864f}, 6.494, {134.691f, 1.10488f, 2188.36f, 310.323f, 338.439f}, 10.498},
    {{3.94991f, 1.13744f, 2174.59f, 16.4337f, 0.001f}, 10.847, {3.70446f, 1.13386f, 2345.62f, 20.6476f, 0.001f}, 14.842},
    {{76.8768f, 1.20253f, 2159.42f, 389.034f, 0.001f}, 5.143, {75.7767f, 1.20711f, 2215.25f, 407.55f, 0.001f}, 7.586},
};
// clang-format on

// Opposite corners of the +/-25 % box around p.
TriodeParameters Corner(const TriodeParameters& p, int corner) {
    const float up = corner == 0 ? 1.25f : 0.75f, down = corner == 0 ? 0.75f : 1.25f;
    return {p.Mu * up, p.Ex * down, p.Kg1 * up, p.Kp * down, p.Kvb * up};
}

// The printed curves' points in volts and amperes, each with its grid voltage.
std::vector<fit::ChartPoint> Printed(const CorpusChart& c, const fit::ChartSpace& s, double everyVolts = 0) {
    std::vector<fit::ChartPoint> points;
    for (std::size_t k = 0; k < c.truth.size(); ++k) {
        double next = 0;
        for (const QPointF& q : c.truth[k]) {
            if (s.volts(q.x()) > std::max(0.0, next)) {
                points.push_back({s.volts(q.x()), c.gridMostPos - float(k) * c.gridStep, s.amps(q.y())});
                next = everyVolts > 0 ? points.back().vp + everyVolts : 0;
            }
        }
    }
    return points;
}

double Rms(const std::vector<fit::ChartPoint>& points, const fit::ChartSpace& s, const TriodeParameters& p) {
    double squares = 0;
    for (const fit::ChartPoint& q : points) {
        const double d = fit::DistanceAcross(fit::ToLog(p), {q.vp, q.vg, q.ip}, s);
        squares += d * d;
    }
    return std::sqrt(squares / double(points.size()));
}

// The share of points lying within `reach` pixels of any of the others.
double ShareNear(const std::vector<QPointF>& points, std::vector<QPointF> others, double reach) {
    std::sort(others.begin(), others.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    std::size_t near = 0;
    for (const QPointF& p : points) {
        auto it = std::lower_bound(others.begin(), others.end(), p.x() - reach,
                                   [](QPointF a, double x) { return a.x() < x; });
        for (; it != others.end() && it->x() <= p.x() + reach; ++it) {
            if (QLineF(p, *it).length() <= reach) {
                ++near;
                break;
            }
        }
    }
    return double(near) / double(std::max<std::size_t>(1, points.size()));
}

} // namespace

class tst_CorpusFit final : public QObject {
    Q_OBJECT
    std::vector<CorpusChart> m_charts;

    std::vector<std::unique_ptr<QtPicture>> m_pictures;

    Design DesignOf(int chart, const TriodeParameters& start) const {
        return CorpusDesign(m_charts[std::size_t(chart)], start);
    }
    const Picture* PictureOf(int chart) const { return m_pictures[std::size_t(chart)].get(); }
    fit::ChartSpace Pixels(const Design& d, int chart) const {
        return *fit::PictureSpace(d, PictureOf(chart)->width(), PictureOf(chart)->height()).space;
    }

private slots:
    void initTestCase() { // with VALVIX_CORPUS_DIR set, the charts are written there to look at
        m_charts = Corpus();
        for (const CorpusChart& chart : m_charts)
            m_pictures.push_back(std::make_unique<QtPicture>(chart.picture));
        const QString dir = qEnvironmentVariable("VALVIX_CORPUS_DIR");
        for (std::size_t i = 0; !dir.isEmpty() && i < m_charts.size(); ++i)
            QVERIFY(QDir().mkpath(dir) && m_charts[i].picture.save(QStringLiteral("%1/corpus-%2.png").arg(dir).arg(i)));
    }

    void foundPointsLieOnPrintedCurves_data() {
        QTest::addColumn<int>("chart");
        for (std::size_t i = 0; i < CorpusCount(); ++i)
            QTest::addRow("%s", m_charts[i].name.c_str()) << int(i);
    }
    void foundPointsLieOnPrintedCurves() {
        QFETCH(int, chart);
        const Design design = DesignOf(chart, kOptima[chart].points);
        const fit::ChartSpace s = Pixels(design, chart);
        const fit::DigitizeOutcome found = fit::DigitizeDesignChart(design, PictureOf(chart));
        QVERIFY2(found.ok, found.message.c_str());
        std::vector<QPointF> foundPixels, printed;
        for (const auto& trace : found.chart.traces)
            for (const auto& p : trace.points)
                foundPixels.emplace_back(s.x(p.vp), s.y(p.ip));
        for (const auto& curve : m_charts[std::size_t(chart)].truth)
            printed.insert(printed.end(), curve.begin(), curve.end());
        const double onCurves = ShareNear(foundPixels, printed, 2.5), covered = ShareNear(printed, foundPixels, 3);
        qInfo("%zu traces; %.1f %% of found points on the curves, %.1f %% of the curves covered",
              found.chart.traces.size(), 100 * onCurves, 100 * covered);
        QVERIFY(onCurves >= 0.92 && covered >= 0.6);
    }

    void fitsNearTheOptimum_data() {
        QTest::addColumn<int>("chart");
        QTest::addColumn<int>("corner");
        for (std::size_t i = 0; i < CorpusCount(); ++i)
            for (int corner = 0; corner < 2; ++corner)
                QTest::addRow("%s, corner %d", m_charts[i].name.c_str(), corner) << int(i) << corner;
    }
    void fitsNearTheOptimum() {
        QFETCH(int, chart);
        QFETCH(int, corner);
        const Optimum& optimum = kOptima[chart];
        const Design design = DesignOf(chart, Corner(optimum.chart, corner));
        const fit::ChartSpace s = Pixels(design, chart);
        const fit::FitOutcome outcome = fit::FitToChart(
            design, PictureOf(chart), {fit::DigitizeDesignChart(design, PictureOf(chart)).chart.traces, {}, {}});
        QVERIFY2(outcome.ok, outcome.message.c_str());
        const double rms = Rms(Printed(m_charts[std::size_t(chart)], s), s, outcome.parameters);
        qInfo("RMS %.3f px against the optimum's %.3f; %s", rms, optimum.chartRms, fit::DescribeFit(outcome).c_str());
        QVERIFY(rms <= 1.05 * optimum.chartRms && rms >= 0.999 * optimum.chartRms);
        // Curves missed by more than 3 % of full scale are named: on these charts, those the
        // model misses by more than 5 px at best.
        QCOMPARE(fit::DescribeFit(outcome).find(" curve is missed by up to ") != std::string::npos,
                 optimum.chartRms > 5);
    }

    // Points every twentieth of the full scale along each curve, read with 0.4 % noise.
    void pointsFitNearTheOptimum_data() { fitsNearTheOptimum_data(); }
    void pointsFitNearTheOptimum() {
        QFETCH(int, chart);
        QFETCH(int, corner);
        const CorpusChart& c = m_charts[std::size_t(chart)];
        const Design design = DesignOf(chart, Corner(kOptima[chart].points, corner));
        std::vector<fit::ChartPoint> points = Printed(c, Pixels(design, chart), c.voltsFullscale / 20);
        std::mt19937 random{unsigned(chart)};
        std::normal_distribution<double> noise(1, 0.004);
        for (fit::ChartPoint& p : points) {
            p.vp *= noise(random);
            p.ip *= noise(random);
        }
        const fit::FitOutcome outcome = fit::FitToChart(design, nullptr, {{}, {}, points});
        QVERIFY2(outcome.ok, outcome.message.c_str());
        const double rms = Rms(points, fit::FullScaleSpace(design), outcome.parameters);
        QVERIFY2(rms <= 1.1 * kOptima[chart].pointsRms && rms >= 0.999 * kOptima[chart].pointsRms,
                 qPrintable(QString::number(rms)));
    }
};

QTEST_MAIN(tst_CorpusFit)
#include "tst_CorpusFit.moc"
