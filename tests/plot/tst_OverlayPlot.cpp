#include "support/PlotDrawing.h"

#include <QtTest>

using namespace valvix;
using namespace valvix::test;

namespace {

class Chart final : public Picture {
    int width() const override { return 400; }
    int height() const override { return 300; }
};

std::size_t DotsAt(const RecordingSurface& s, float x, Rgb colour = kBlue) {
    const auto dots = s.of(Kind::Dot, colour);
    return std::count_if(dots.begin(), dots.end(), [&](const Item& d) { return d.a.x == x; });
}

} // namespace

class tst_OverlayPlot final : public QObject {
    Q_OBJECT
private slots:
    // Where known samples land: 125 V on the 0 V and -1 V curves; the columns at 0.25 V
    // (every curve, down on the bottom edge) and 249.75 V (the 0 V curve is above the
    // frame); none on the 0 V column, on the left edge. The red limit curve from where it
    // enters the frame at 100 V, with the pen the last curve left.
    void overlay() {
        const RecordingSurface s = Draw({{&D::Dissipation, 0}}, 0);
        QVERIFY(s.at(Kind::Dot, {3600, 2477.84326f}).pen == 3 && s.at(Kind::Dot, {3600, 4467.26514f}).pen == 2);
        QVERIFY(s.index(Kind::Dot, {6594, 1773.302f}) >= 0 && s.index(Kind::Dot, {606, 4800}) >= 0);
        QCOMPARE(Numbers(DotsAt(s, 3600), DotsAt(s, 606), DotsAt(s, 6594), DotsAt(s, 600),
                         s.of(Kind::Dot, kBlue).size(), s.items.size(), s.penWidth()),
                 "11 11 10 0 10792 10792 2");
        for (const auto& dot : s.items)
            QVERIFY(dot.a.x > 600 && dot.a.x < 6600 && dot.a.y > 300);
        for (const auto& [mostNeg, pen] : {std::pair{-10.0f, 2}, {0.0f, 3}}) {
            const auto red = Draw({{&D::GridVoltageMostNeg, mostNeg}}, 0).of(Kind::Dot, kRed);
            QVERIFY(red.size() == 599 && red.front().a == (PointF{3006, 4800 - 0.5 * 4500 / 100.25 / 0.005f}));
            QVERIFY(std::all_of(red.begin(), red.end(), [p = pen](const Item& d) { return d.pen == p; }));
        }
        QVERIFY(Draw({}, 0).at(Kind::Dot, {3600, 1199.99988f}).colour == kRed &&
                Draw({{&D::Dissipation, -1}}, 0).of(Kind::Dot, kRed).empty());
    }

    void frameAndPicture() {
        RecordingSurface s;
        Design d = SampleDesign();
        s.setPenWidth(3);
        DrawPlotFrame(s, d);
        QVERIFY(!PaintChartArea(s, nullptr));
        const Chart chart;
        const Item frame = s.at(Kind::Rectangle, {600, 300});
        QVERIFY(PaintChartArea(s, &chart) && frame.b == (PointF{6600, 4800}) && frame.colour == kBlue &&
                frame.pen == 3);
        QVERIFY(s.items.size() == 3 && s.at(Kind::Picture, {360, 30}).b == (PointF{6060, 3830}));
        // clang-format off
        const std::pair<float D::*, std::string> kProblems[] = {
            {&D::PlateVoltageFullscale, "The plate voltage full scale must be greater than 0."},
            {&D::PlateCurrentFullscale, "The plate current full scale must be greater than 0."},
            {&D::GridVoltageStep, "The grid voltage step must be greater than 0."}, {&D::Kg1, "Mu, Kp and Kg1 must not be 0."},
            {&D::Xright, "The plot frame has no area: its left edge must lie left of its right edge and its top edge above its bottom edge."},
            {&D::Dissipation, ""}, {&D::GridVoltageStep, "The grid voltages give too many curves to draw."}};
        // clang-format on
        for (const auto& [field, problem] : kProblems) {
            d = SampleDesign();
            d.*field = problem.find("many") != std::string::npos ? 1e-6f : 0;
            QCOMPARE(DescribePlotProblem(d), problem);
        }
    }
};

QTEST_APPLESS_MAIN(tst_OverlayPlot)
#include "tst_OverlayPlot.moc"
