// The corpus charts hold together: a truth curve for every grid voltage, inside the frame the
// user lines up, about a pixel apart, on the printed ink, more negative grids leaving the axis
// later; a design lined up on a chart has the chart's frame. With VALVIX_CORPUS_DIR set, every
// chart is written there as a PNG to look at.

#include "CorpusCharts.h"

#include "plot/OverlayPlot.h"

#include <QDir>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace valvix;
using namespace valvix::corpus;

class TestCorpusCharts : public QObject {
    Q_OBJECT
private slots:
    void chartsHoldTogether() {
        const std::vector<CorpusChart> charts = Corpus();
        const QString dir = qEnvironmentVariable("VALVIX_CORPUS_DIR");
        for (std::size_t i = 0; !dir.isEmpty() && i < charts.size(); ++i)
            QVERIFY(QDir().mkpath(dir) && charts[i].picture.save(QStringLiteral("%1/corpus-%2.png").arg(dir).arg(i)));
        for (const CorpusChart& chart : charts) {
            const QByteArray name = QByteArray::fromStdString(chart.name);
            const auto curves = std::size_t(std::lround((chart.gridMostPos - chart.gridMostNeg) / chart.gridStep));
            QVERIFY2(chart.truth.size() == curves + 1, name);
            // A skewed frame's edges bow out of the box through its corners by up to this.
            const double slack = std::abs(std::sin(chart.skewDegrees * std::numbers::pi / 180)) * chart.picture.width();
            const QRectF frame = QRectF(QPointF(chart.left, chart.top), QPointF(chart.right, chart.bottom))
                                     .adjusted(-slack, -slack, slack, slack);
            std::size_t points = 0, onInk = 0;
            double firstX = 0;
            for (const auto& curve : chart.truth) {
                QVERIFY2(curve.size() > 40 && curve.front().x() >= firstX - 2, name);
                firstX = curve.front().x();
                for (std::size_t i = 0; i < curve.size(); ++i) {
                    QVERIFY2(frame.contains(curve[i]), name);
                    QVERIFY2(i == 0 || QLineF(curve[i - 1], curve[i]).length() >= 0.99, name);
                    onInk += qGray(chart.picture.pixel(int(curve[i].x()), int(curve[i].y()))) < 160 ? 1 : 0;
                }
                points += curve.size();
            }
            QVERIFY2(onInk >= 0.9 * double(points), name); // dashes and dropouts miss a few
        }
        const DesignState design = CorpusDesign(charts[4], {4.2f, 1.5f, 1000, 50, 2000});
        QCOMPARE(design.Xleft, float(kChartAreaTopLeft.x + charts[4].left * kChartAreaWidth / 1000));
        QCOMPARE(design.Ybottom, float(kChartAreaTopLeft.y + charts[4].bottom * kChartAreaHeight / 700));
        QCOMPARE(design.Kvb, 2000.0f);
    }
};

QTEST_MAIN(TestCorpusCharts)
#include "tst_CorpusCharts.moc"
