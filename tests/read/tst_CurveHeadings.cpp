// The turn of the curve beside a mark, for labels printed along their curves: only beside a
// steep curve, not on one, not far from any, and not in the box's margins where labels stand
// level at the curves' ends.

#include "read/CurveHeadings.h"

#include <QtTest>

#include <optional>

using namespace valvix;
using namespace valvix::read;

namespace {

// The box in the label area's pixels, and the printed characters' height.
const cv::Rect2d kBox(10, 20, 400, 300);
constexpr double kHeight = 10;

// A straight curve in the box's pixels from (x0, 0), rising `rise` px per px across to x1.
fit::PrintedTrace Straight(double x0, double x1, double rise, double from = 0) {
    fit::PrintedTrace trace;
    for (double x = x0; x <= x1; x += 0.1) {
        trace.points.push_back({x, 0, from + rise * (x - x0)});
    }
    return trace;
}

} // namespace

class tst_CurveHeadings final : public QObject {
    Q_OBJECT

private slots:
    void turnBeside_data() {
        QTest::addColumn<QPointF>("at");  // in the label area's pixels
        QTest::addColumn<double>("turn"); // NaN: none
        const double none = std::nan("");
        // Steep: across 100 to 200, up 0 to 300 (in the area, y = 320 - 3 (x - 110)). Marks are
        // moved left of it, each px 0.949 px from it.
        QTest::newRow("a height left of the steep curve") << QPointF(150, 170) << -71.57;
        QTest::newRow("half a height off it") << QPointF(160 - 5.5, 170) << -71.57;
        QTest::newRow("nearer: a stub of the curve") << QPointF(160 - 5, 170) << none;
        QTest::newRow("two heights off it") << QPointF(160 - 21, 170) << -71.57;
        QTest::newRow("further") << QPointF(160 - 21.5, 170) << none;
        QTest::newRow("below the top's margin") << QPointF(197, 27) << -71.57;
        QTest::newRow("in the top's margin") << QPointF(198.3, 23) << none;
        // At 45 degrees, across 300 to 400 (y = 630 - x): a height above it near the right edge.
        QTest::newRow("left of the right edge's margin") << QPointF(403, 212) << -45.0;
        QTest::newRow("in the right edge's margin") << QPointF(408, 212) << none;
        // Nearly level, across 0 to 400 from 50 up, 0.1 px per px: labels beside it lie level.
        QTest::newRow("a height above the level curve") << QPointF(320, 230) << none;
        QTest::newRow("below the box") << QPointF(150, 330) << none;
    }
    void turnBeside() {
        QFETCH(QPointF, at);
        QFETCH(double, turn);
        const CurveHeadings headings({Straight(100, 200, 3), Straight(300, 400, 1), Straight(0, 400, 0.1, 50)}, kBox,
                                     kHeight);
        const std::optional<double> found = headings.besideAt(cv::Point2f(float(at.x()), float(at.y())));
        if (std::isnan(turn)) {
            QVERIFY2(!found, qPrintable(QString::number(found.value_or(0))));
        } else {
            QVERIFY(found);
            QCOMPARE_LT(std::abs(*found - turn), 0.5);
        }
    }
};

QTEST_GUILESS_MAIN(tst_CurveHeadings)
#include "tst_CurveHeadings.moc"
