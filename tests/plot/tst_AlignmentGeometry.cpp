#include "plot/AlignmentGeometry.h"

#include <QtTest>

#include <cmath>
#include <numbers>

using namespace valvix;

namespace {

// One pixel of a 400 x 300 picture stretched over the 5700 x 3800 chart area.
constexpr PixelStep kStep{14.25f, 3800.0f / 300};
constexpr FrameEdges kFrame{1000, 5000, 500, 3000};

// Layout units of a point given in pixels of that picture.
PointF Layout(double px, double py) {
    return {float(360 + px * 14.25), float(30 + py * 3800 / 300)};
}

} // namespace

class tst_AlignmentGeometry final : public QObject {
    Q_OBJECT

private slots:
    void corners() {
        const std::tuple<PointF, PointF, std::string> rows[] = {
            // a word of the refusal
            {{1108.125f, 3355}, {5525.625f, 315}, ""}, {{2000, 3000}, {2014.25f, 2987}, ""}, // a pixel apart
            {{2000, 3000}, {2000, 3000}, "same spot"}, {{2000, 3000}, {2014.2f, 500}, "width"},
            {{2000, 3000}, {4000, 2995}, "height"},    {{4000, 3000}, {2000, 500}, "right of"}};
        for (const auto& [o, f, refusal] : rows) {
            const FrameOutcome outcome = FrameFromCorners(o, f, kStep);
            QVERIFY2(outcome.refusal.find(refusal) != std::string::npos, refusal.c_str());
            QCOMPARE(outcome.refusal.empty(), refusal.empty());
            QVERIFY(!refusal.empty() || outcome.frame == (FrameEdges{o.x, f.x, f.y, o.y}));
        }
    }

    void edgeAt() {
        const std::pair<PointF, FrameEdge> rows[] = {{{1060, 1500}, FrameEdge::Left},   {{1061, 1500}, FrameEdge::None},
                                                     {{4950, 2000}, FrameEdge::Right},  {{3000, 540}, FrameEdge::Top},
                                                     {{3000, 3060}, FrameEdge::Bottom}, {{1000, 3061}, FrameEdge::None},
                                                     {{990, 495}, FrameEdge::Top}};
        for (const auto& [at, edge] : rows) {
            QCOMPARE(EdgeAt(kFrame, at, 60, 60), edge);
        }
    }

    void axisTilt() {
        const double drop = 300 * std::tan(2 * std::numbers::pi / 180);
        const std::tuple<PointF, PointF, double> rows[] = {
            {Layout(50, 260), Layout(350, 260), 0},
            {Layout(50, 260), Layout(350, 260 + drop), 2},
            {Layout(350, 260 + drop), Layout(50, 260), 2}, // clicked from the right
            {Layout(100, 100), Layout(200, 200), 45},
            {Layout(100, 100), Layout(200, 203.6), qQNaN()}, // 46 degrees
            {Layout(100, 100), Layout(110, 100), 0},         // ten pixels apart
            {Layout(100, 100), Layout(106, 107), qQNaN()}};
        for (const auto& [a, b, degrees] : rows) {
            const TiltOutcome tilt = AxisTilt(a, b, 400, 300);
            QCOMPARE(tilt.refusal.empty(), !std::isnan(degrees));
            QVERIFY(std::isnan(degrees) || std::abs(tilt.degrees - degrees) < 1e-3);
        }
    }
};

QTEST_APPLESS_MAIN(tst_AlignmentGeometry)
#include "tst_AlignmentGeometry.moc"
