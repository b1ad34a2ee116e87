#include "plot/ExamineChart.h"
#include "plot/FrameMapping.h"
#include "plot/OverlayPlot.h"
#include "plot/Readouts.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <set>

using namespace valvix;
using namespace valvix::test;
using Kind = RecordingSurface::Kind;
using Item = RecordingSurface::Item;

namespace {

class Chart final : public Picture {
    int width() const override { return 400; }
    int height() const override { return 300; }
};

// The sample as drawn by the overlay with a dissipation and a last grid voltage.
RecordingSurface Overlay(float dissipation, float mostNeg = -10) {
    DesignState d = SampleDesign();
    d.Dissipation = dissipation;
    d.GridVoltageMostNeg = mostNeg;
    RecordingSurface surface;
    OverlayPlot().draw(surface, d);
    return surface;
}
std::size_t DotsAt(const RecordingSurface& s, float x, Rgb colour = kBlue) {
    const auto dots = s.of(Kind::Dot, colour);
    return std::count_if(dots.begin(), dots.end(), [&](const Item& d) { return d.a.x == x; });
}

// The examined sample with 0.5 W and the given settings changed.
DesignState Examined(std::initializer_list<std::pair<float D::*, float>> changes = {}) {
    DesignState d = ExaminedSample();
    d.Dissipation = 0.5f;
    for (const auto& [field, value] : changes)
        d.*field = value;
    return d;
}
RecordingSurface Drawn(DesignState d, bool page = false) {
    RecordingSurface surface;
    if (page) {
        [&] { QVERIFY(DrawPrintedPage(surface, d, "Triode 6J5", "footer")); }();
    } else {
        DrawExamineChart(surface, d);
    }
    return surface;
}
QString Texts(const RecordingSurface& s) {
    QStringList texts;
    for (const Item& item : s.of(Kind::Text))
        texts << QString::fromStdString(item.text);
    return texts.join('|');
}
// Each grid line of one direction, black, its number after it as "x,y number"; "!" marks
// a line of another colour or a number out of place.
QString Grid(const RecordingSurface& s, bool vertical) {
    QStringList lines;
    for (std::size_t i = 0; i + 1 < s.items.size(); ++i) {
        const Item& line = s.items[i];
        const Item& number = s.items[i + 1];
        if (line.kind == Kind::Line && (line.a.x == line.b.x) == vertical) {
            const PointF at = vertical ? PointF{line.a.x - 200, line.b.y + 100}
                                       : PointF{number.a.x, line.a.y - 100};
            lines << QString("%1,%2 %3%4")
                         .arg(line.a.x)
                         .arg(line.a.y)
                         .arg(number.text.c_str(),
                              line.colour == kBlack && number.a == at ? "" : "!");
        }
    }
    return lines.join('|');
}
// The labels: each box white, 400 by 180, its text 45 above and, inside the frame, on a
// blue dot drawn before it dotDx right of the box; "!" marks a label that is not.
QString Labels(const RecordingSurface& s, float dotDx, float ytop = 300) {
    QStringList labels;
    for (std::size_t i = 0; i + 1 < s.items.size(); ++i) {
        const Item& box = s.items[i];
        if (box.kind == Kind::FilledRectangle) {
            const long dot = s.index(Kind::Dot, {box.a.x + dotDx, box.a.y});
            const bool placed = box.colour == kWhite &&
                                box.b == (PointF{box.a.x + 400, box.a.y + 180}) &&
                                s.items[i + 1].a == (PointF{box.a.x, box.a.y - 45}) &&
                                (box.a.y < ytop || (dot >= 0 && std::size_t(dot) < i));
            labels << QString::fromStdString(s.items[i + 1].text) + (placed ? "" : "!");
        }
    }
    labels.removeDuplicates();
    return labels.join('|');
}

} // namespace

class tst_Plot final : public QObject {
    Q_OBJECT
private slots:
    void frameMapping() {
        const FrameMapping frame(100, 600, 50, 350);
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                     .arg(frame.VoltsToX(0, 500))
                     .arg(frame.VoltsToX(250, 500))
                     .arg(frame.VoltsToX(500, 500))
                     .arg(frame.AmpsToY(0, 0.02))
                     .arg(frame.AmpsToY(0.015, 0.02))
                     .arg(frame.DissipationToY(2, 400, 0.02))
                     .arg(frame.XToVolts(350, 500))
                     .arg(frame.XToVolts(50, 500))
                     .arg(frame.YToAmps(425, 0.02)),
                 "100 350 600 350 125 275 250 -50 -0.005");
        // Strictly inside the top and side edges; nothing is tested against the bottom.
        QVERIFY(frame.Inside(std::nextafter(100.0f, 200.0f), std::nextafter(50.0f, 100.0f)));
        QVERIFY(frame.Inside(std::nextafter(600.0f, 0.0f), 1e9f));
        for (const auto& [x, y] :
             {std::pair{100.0f, 200.0f}, {600.0f, 200.0f}, {300.0f, 50.0f}, {NAN, 200.0f}}) {
            QVERIFY(!frame.Inside(x, y));
        }
        QVERIFY(!frame.Inside(frame.VoltsToX(250, 0), frame.AmpsToY(0.01, 0)));
    }

    // Where known samples land: 125 V on the 0 V and -1 V curves; the columns at 0.25 V
    // (every curve, down on the bottom edge) and 249.75 V (the 0 V curve is above the
    // frame); none on the 0 V column, which lies on the left edge.
    void overlayCurves() {
        const RecordingSurface s = Overlay(0);
        QCOMPARE(s.at(Kind::Dot, {3600, 2477.84326f}).pen, 3);
        QCOMPARE(s.at(Kind::Dot, {3600, 4467.26514f}).pen, 2);
        QCOMPARE(s.at(Kind::Dot, {6594, 1773.302f}).colour, kBlue);
        QVERIFY(s.index(Kind::Dot, {606, 4800}) >= 0);
        QCOMPARE(QString("%1 %2 %3 %4 %5")
                     .arg(DotsAt(s, 3600))
                     .arg(DotsAt(s, 606))
                     .arg(DotsAt(s, 6594))
                     .arg(DotsAt(s, 600))
                     .arg(s.items.size()),
                 "11 11 10 0 10792");
        for (const auto& dot : s.items)
            QVERIFY(dot.kind == Kind::Dot && dot.a.x > 600 && dot.a.x < 6600 && dot.a.y > 300);
        QCOMPARE(s.penWidth(), 2); // that of the last curve, -10 V
        DesignState d = SampleDesign();
        FrameMapping::ForPlottingPass(d);
        QVERIFY(d.PlotWidth == 6000 && d.PlotHeight == 4500);
    }

    // The red limit curve from where it enters the frame at 100 V, with the pen the last
    // curve left.
    void overlayDissipation() {
        for (const auto& [mostNeg, pen] : {std::pair{-10.0f, 2}, {0.0f, 3}}) {
            const auto red = Overlay(0.5f, mostNeg).of(Kind::Dot, kRed);
            QCOMPARE(red.size(), std::size_t(599));
            QCOMPARE(red.front().a, (PointF{3006, 4800 - 0.5 * 4500 / 100.25 / 0.005f}));
            QVERIFY(
                std::all_of(red.begin(), red.end(), [&](const Item& d) { return d.pen == pen; }));
        }
        QCOMPARE(Overlay(0.5f).at(Kind::Dot, {3600, 1199.99988f}).colour, kRed);
        QVERIFY(Overlay(-1).of(Kind::Dot, kRed).empty());
    }

    void frameAndPicture() {
        RecordingSurface s;
        DesignState d = SampleDesign();
        s.setPenWidth(3);
        DrawPlotFrame(s, d);
        QVERIFY(!PaintChartArea(s, d));
        d.CurveGraphic = std::make_shared<Chart>();
        QVERIFY(PaintChartArea(s, d));
        QVERIFY(s.items[0].kind == Kind::Rectangle && s.items[0].colour == kBlue &&
                s.items[0].pen == 3);
        QVERIFY(s.items[0].a == (PointF{600, 300}) && s.items[0].b == (PointF{6600, 4800}));
        QVERIFY(s.items[2].a == (PointF{360, 30}) && s.items[2].b == (PointF{6060, 3830}));
        const std::string frame =
            "The plot frame has no area: its left edge must lie left of its right edge and its "
            "top edge above its bottom edge.";
        // clang-format off
        const std::pair<float D::*, std::string> kProblems[] = {
            {&D::PlateVoltageFullscale, "The plate voltage full scale must be greater than 0."},
            {&D::PlateCurrentFullscale, "The plate current full scale must be greater than 0."},
            {&D::GridVoltageStep, "The grid voltage step must be greater than 0."}, {&D::Mu, "Mu, Kp and Kg1 must not be 0."},
            {&D::Kp, "Mu, Kp and Kg1 must not be 0."}, {&D::Kg1, "Mu, Kp and Kg1 must not be 0."},
            {&D::Xright, frame}, {&D::Ybottom, frame}, {&D::Dissipation, ""}};
        // clang-format on
        for (const auto& [field, problem] : kProblems) {
            d = SampleDesign();
            d.*field = 0;
            QCOMPARE(DescribePlotProblem(d), problem);
        }
        d.GridVoltageStep = 1e-6f;
        QCOMPARE(DescribePlotProblem(d),
                 std::string("The grid voltages give too many curves to draw."));
    }

    // Presses one after another on the sample's frame with 300 V and 10 mA full scales:
    // the labels Delta V, Delta I, mu and Gm ("-" for one left as it was) and FirstPoint.
    void readouts() {
        // clang-format off
        const std::tuple<int, float, float, float, float, const char*, float, float> kPresses[] = {
            {2, 4800, 3900, 1, 6000, "Delta V: 60 |Delta I: 0.002 |mu: 60 |Gm: 2k umhos", 0, 0},
            {1, 6600, 2550, 1, 6000, "|||", 150, 0.005f},
            {2, 7000, 2550, 1, 6000, "Delta V: 20 |Delta I: 0  |mu: 20 |", 150, 0.005f},
            {2, 6600, 1950, 1, 6000, "Delta V: 0  |Delta I: 0.00133 ||Gm: 1.333k umhos", 150, 0.005f},
            {4, 100, 100, 1, 6000, "-|-|-|-", 150, 0.005f}, {3, 100, 100, 1, 6000, "-|-|-|-", 150, 0.005f},
            {2, 7600, 1800, 2, 6000, "Delta V: 50 |Delta I: 0.00167 |mu: 25 |Gm: 833.33  umhos", 150, 0.005f},
            {2, 6200, 3150, -1, 6000, "Delta V: 20 |Delta I: 0.00133 |mu: -20 |Gm: 1.333k umhos", 150, 0.005f},
            {2, 7000, 1950, 0, 6000, "Delta V: 20 |Delta I: 0.00133 ||", 150, 0.005f},
            {2, 7000, 1950, NAN, 6000, "Delta V: 20 |Delta I: 0.00133 ||", 150, 0.005f},
            {2, 7000, 1950, 1, 0, "|Delta I: 0.00133 ||Gm: 1.333k umhos", 150, 0.005f},
            {1, 3000, 5250, 1, 6000, "|||", -30, -0.001f}};
        // clang-format on
        DesignState d = SampleDesign();
        d.PlotHeight = 4500;
        d.ExamineVoltsFullscale = 300;
        d.ExamineAmpsFullscale = 0.01f;
        PointReadouts readouts;
        for (const auto& [button, x, y, gridStep, plotWidth, labels, volts, amps] : kPresses) {
            d.ExamineGridStep = gridStep;
            d.PlotWidth = plotWidth;
            const ReadoutTexts texts = readouts.ShowReadouts(x, y, button, d);
            QStringList shown;
            for (const auto* label : {&texts.deltaV, &texts.deltaI, &texts.mu, &texts.gm})
                shown << (*label ? QString::fromStdString(**label) : "-");
            QCOMPARE(shown.join('|'), QString(labels));
            QVERIFY(readouts.FirstPoint().volts == volts && readouts.FirstPoint().amps == amps);
        }
        QCOMPARE(readouts.SecondPoint().amps, 0.00633333f);
        QCOMPARE(readouts.DeltaI(), 0.00133333f);
    }

    void examineChart() {
        const RecordingSurface s = Drawn(Examined());
        QCOMPARE(
            Grid(s, true),
            "3600,300  0|4800,300  50|6000,300  100|7200,300  150|8400,300  200|9600,300  250");
        QCOMPARE(
            Grid(s, false),
            "3600,4800 0  |3600,3900 0.001 |3600,3000 0.002 |3600,2100 0.003 |3600,1200 0.004 |"
            "3600,300 0.005 ");
        QCOMPARE(s.of(Kind::Line).front().pen, 1);
        QCOMPARE(s.of(Kind::Text).front().font, (FontSpec{"MS Sans Serif", 8.25, true}));
        // 125 V on the 0 V and -1 V curves, 3000 right of the frame's own place.
        QCOMPARE(s.at(Kind::Dot, {6600, 2477.84326f}).pen, 3);
        QCOMPARE(s.at(Kind::Dot, {6600, 4467.26514f}).pen, 2);
        QCOMPARE(s.of(Kind::Dot, kBlue).size(), std::size_t(10792));
        QCOMPARE(Labels(s, 200), " 0");
        // The limit curve; its wattage beside the last sample (250 V, off the frame's edge).
        QCOMPARE(s.of(Kind::Dot, kRed).size(), std::size_t(599));
        QCOMPARE(s.at(Kind::Dot, {6600, 1199.99988f}).pen, 2);
        QCOMPARE(s.at(Kind::Text, {9645, 2880}).text, std::string("0.5  watts"));
        const Item& frame = s.items.back();
        QVERIFY(frame.kind == Kind::Rectangle && frame.colour == kBlack && frame.pen == 2);
        QVERIFY(frame.a == (PointF{3600, 300}) && frame.b == (PointF{9600, 4800}));
        // Steps that are not a whole part of the full scale: lines right of the frame left out.
        QCOMPARE(Grid(Drawn(Examined({{&D::ExamineVoltsStep, 70}})), true),
                 "3600,300  0|5280,300  70|6960,300  140|8640,300  210");
        QCOMPARE(Grid(Drawn(Examined({{&D::ExamineVoltsStep, 250}})), true),
                 "3600,300  0|9600,300  250");
        QCOMPARE(
            Grid(Drawn(Examined({{&D::ExamineAmpsStep, 0.0011f}})), false),
            "3600,4800 0  |3600,3810 0.0011 |3600,2820 0.0022 |3600,1830 0.0033 |3600,840 0.0044 ");
    }

    // Labels where a sample lies in the band of rows 1780 to 1820, from 300 right of the
    // left edge to 240 left of the right edge, above the frame too; none with "No".
    void examineLabels() {
        const RecordingSurface dense = Drawn(Examined({{&D::ExamineGridMostPos, 8},
                                                       {&D::ExamineGridMostNeg, -4},
                                                       {&D::ExamineGridStep, 0.01f}}));
        float left = 1e9f, right = 0, top = 1e9f, bottom = 0;
        for (const Item& box : dense.of(Kind::FilledRectangle)) {
            left = std::min(left, box.a.x - 2800), right = std::max(right, box.a.x - 2800);
            top = std::min(top, box.a.y), bottom = std::max(bottom, box.a.y);
        }
        QVERIFY(left > 900 && left < 910 && right < 6360 && right > 6350);
        QVERIFY(top > 1780 && top < 1781 && bottom < 1820 && bottom > 1819);
        QCOMPARE(dense.of(Kind::FilledRectangle).size(), std::size_t(1368));
        DesignState d = Examined({{&D::Ytop, 2000}, {&D::Ybottom, 6500}});
        QCOMPARE(Labels(Drawn(d), 200, d.Ytop), " 0");
        QCOMPARE(Labels(Drawn(Examined({{&D::Ytop, 100}, {&D::Ybottom, 1700}})), 200), "");
        d.LabelGridVoltages = 0;
        QCOMPARE(Labels(Drawn(d), 200), "");
    }

    // What is drawn when a setting or the frame cannot give a chart: V and H lines,
    // C curves, D dissipation; the frame always (pen: that the curves left; none: no frame).
    void examineDegenerateCharts() {
        // clang-format off
        const std::tuple<float D::*, float, const char*, int> kCharts[] = {
            {&D::ExamineGridMostNeg, 0, "VHCD", 3}, {&D::ExamineGridMostPos, -11, "VHD", 1},
            {&D::Dissipation, 0, "VHC", 2}, {&D::ExamineVoltsFullscale, 0, "H", 1},
            {&D::ExamineAmpsFullscale, NAN, "V", 1}, {&D::ExamineVoltsStep, NAN, "HCD", 2},
            {&D::ExamineAmpsStep, -1, "VCD", 2}, {&D::ExamineGridStep, 0, "VHD", 1}, {&D::Xright, 100, "", 1},
            {&D::Ytop, 4800, "", 1}, {&D::Xleft, NAN, "", 0}};
        // clang-format on
        for (const auto& [field, value, drawn, framePen] : kCharts) {
            const RecordingSurface s = Drawn(Examined({{field, value}}));
            const QString found = QString(Grid(s, true).count('|') == 5 ? "V" : "") +
                                  (Grid(s, false).count('|') == 5 ? "H" : "") +
                                  (s.of(Kind::Dot, kBlue).empty() ? "" : "C") +
                                  (s.of(Kind::Dot, kRed).empty() ? "" : "D");
            QCOMPARE(found, QString(drawn));
            QCOMPARE(s.of(Kind::Line).size(),
                     std::size_t(found.count('V') * 6 + found.count('H') * 6));
            QCOMPARE(s.of(Kind::Rectangle).empty() ? 0 : s.items.back().pen, framePen);
        }
    }

    // Each raised step is taken back through its box text.
    void examineMinimumSteps() {
        DesignState d = Examined({{&D::ExamineVoltsFullscale, 1234.567f},
                                  {&D::ExamineVoltsStep, 1},
                                  {&D::ExamineAmpsFullscale, 0.0123456f},
                                  {&D::ExamineAmpsStep, 0},
                                  {&D::ExamineGridStep, 0.05f}});
        StepChanges changes = EnforceMinimumSteps(d);
        QVERIFY(changes.volts && changes.amps && changes.grid);
        QCOMPARE(QString("%1 %2 %3")
                     .arg(d.ExamineVoltsStep)
                     .arg(d.ExamineAmpsStep)
                     .arg(d.ExamineGridStep),
                 "61.728 0.00123 0.5");
        for (const auto& [neg, step, raised] : {std::tuple{-1.0f, 0.05f, 0.1f},
                                                {-10.0f, -5.0f, 0.1f},
                                                {-10.0f, 0.5f, 0.5f},
                                                {-2.0f, 0.1f, 0.1f}}) {
            d = Examined({{&D::ExamineGridMostNeg, neg}, {&D::ExamineGridStep, step}});
            QCOMPARE(EnforceMinimumSteps(d).grid, raised != step);
            QCOMPARE(d.ExamineGridStep, raised);
        }
        d = Examined({{&D::ExamineVoltsStep, 12.5f}, {&D::ExamineAmpsStep, 0.0005f}});
        changes = EnforceMinimumSteps(d);
        QVERIFY(!changes.volts && !changes.amps && !changes.grid);
    }

    void printedPage() {
        DesignState d = Examined({{&D::ExamineGridStep, 0.5f}});
        d.DesignFileName = "/designs/6J5.VXF";
        const RecordingSurface s = Drawn(d, true);
        QVERIFY(s.items.front().text == "Triode 6J5" && s.items.front().a == (PointF{2800, -500}));
        QCOMPARE(s.items.front().font, (FontSpec{"", 12, false}));
        QCOMPARE(Grid(s, true).section('|', 1, 1), "1800,300  50");
        QCOMPARE(Grid(s, false).section('|', 1, 1), "600,3900 0.001 ");
        QCOMPARE(s.at(Kind::Text, {-200, 3800}).font, (FontSpec{"", 8, false}));
        QCOMPARE(s.of(Kind::Line).front().pen, 2);
        QCOMPARE(s.at(Kind::Dot, {3600, 2477.84326f}).pen, 12);
        QCOMPARE(s.at(Kind::Dot, {3600, 3643.13013f}).pen, 8);
        QCOMPARE(Labels(s, 197), " 0|-0.5");
        QCOMPARE(s.at(Kind::Dot, {3600, 1199.99988f}).pen, 4);
        QCOMPARE(s.at(Kind::Text, {6648, 2880}).text, std::string("0.5  watts"));
        const Item frame = s.of(Kind::Rectangle).at(0);
        QVERIFY(frame.a == (PointF{600, 300}) && frame.b == (PointF{6600, 4800}) &&
                frame.pen == 16);
        QVERIFY(Texts(s).endsWith("0.5  watts|/designs/6J5.VXF|footer"));
        QVERIFY(s.items.back().a == (PointF{0, 5600}) &&
                s.at(Kind::Text, {0, 5300}).text == d.DesignFileName);
    }

    // The legend instead of labels; a curve within a millivolt of 0 V is the thick one.
    void printedLegendAndPens() {
        DesignState d = Examined({{&D::ExamineGridMostPos, -0.0005f},
                                  {&D::ExamineGridMostNeg, -0.001f},
                                  {&D::ExamineGridStep, 0.0005f},
                                  {&D::Dissipation, 0}});
        d.LabelGridVoltages = 0;
        const RecordingSurface s = Drawn(d, true);
        QCOMPARE(QString::fromStdString(s.at(Kind::Text, {0, 4100}).text +
                                        s.at(Kind::Text, {0, 4300}).text +
                                        s.at(Kind::Text, {0, 4500}).text),
                 "Grid voltage most postive: -0.0005Grid voltage most negative: -0.001Grid voltage "
                 "step size: 0.0005");
        QVERIFY(s.of(Kind::FilledRectangle).empty());
        std::set<int> pens;
        for (const Item& dot : s.of(Kind::Dot))
            pens.insert(dot.pen);
        QCOMPARE(pens, (std::set<int>{8, 12}));
    }

    // More grid lines than a signed 16-bit count holds print nothing.
    void printedGridLineLimit() {
        DesignState d = Examined({{&D::ExamineVoltsFullscale, 32766},
                                  {&D::ExamineVoltsStep, 1},
                                  {&D::ExamineGridMostNeg, 0}});
        QCOMPARE(Grid(Drawn(d, true), true).count('|'), 32766);
        d.ExamineVoltsFullscale = 32767;
        RecordingSurface s;
        QVERIFY(!DrawPrintedPage(s, d, "", ""));
        d = Examined({{&D::ExamineAmpsFullscale, 40}, {&D::ExamineAmpsStep, 0.001f}});
        QVERIFY(!DrawPrintedPage(s, d, "", ""));
        QVERIFY(s.items.empty());
    }

    // The three print checks in order, both ends of each range; boxes after a failing
    // one are not read.
    void printChecks() {
        const char* messages[] = {
            "", "The value for the grid spacing on the printed plot must be greater than 1.",
            "The value for the grid spacing on the printed plot must be greater than 1 mA.",
            "The value for grid voltage stepsize must be >.01 and < 1000"};
        // clang-format off
        const std::tuple<int, const char*, int> kChecks[] = {
            {0, "0.99", 1}, {0, "1", 0}, {0, "250", 0}, {0, "250.01", 1}, {1, "0.00099", 2}, {1, "0.001", 0},
            {1, "1000", 0}, {1, "1001", 2}, {2, "0.0099", 3}, {2, "0.01", 0}, {2, "1000", 0}, {2, "1001", 3}};
        // clang-format on
        for (const auto& [box, text, failed] : kChecks) {
            std::string boxes[] = {"50", "1m", "1"};
            boxes[box] = text;
            DesignState d = Examined(
                {{&D::ExamineVoltsStep, -7}, {&D::ExamineAmpsStep, -7}, {&D::ExamineGridStep, -7}});
            const PrintCheckResult result = CheckPrintSettings(boxes[0], boxes[1], boxes[2], d);
            QCOMPARE(int(result.failed), failed);
            QCOMPARE(std::string(result.message), std::string(messages[failed]));
            const float read[] = {d.ExamineVoltsStep, d.ExamineAmpsStep, d.ExamineGridStep};
            for (int i = 0; i < 3; ++i)
                QCOMPARE(read[i] == -7.0f, failed != 0 && i >= failed);
        }
    }
};

QTEST_APPLESS_MAIN(tst_Plot)
#include "tst_Plot.moc"
