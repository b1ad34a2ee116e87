#include "support/PlotDrawing.h"

#include <QtTest>

using namespace valvix;
using namespace valvix::test;

namespace {

constexpr auto kVoltsStep = &ExamineSettings::ExamineVoltsStep, kAmps = &ExamineSettings::ExamineAmpsFullscale,
               kAmpsStep = &ExamineSettings::ExamineAmpsStep;
constexpr auto kPos = &ExamineSettings::ExamineGridMostPos, kNeg = &ExamineSettings::ExamineGridMostNeg,
               kStep = &ExamineSettings::ExamineGridStep;

// Each grid line of one direction, black, its number after it as "x,y number"; "!" marks
// a line of another colour or a number out of place (Y-axis numbers at x 2600 on the
// window, -200 on the page).
QString Grid(const RecordingSurface& s, bool vertical) {
    QStringList lines;
    for (std::size_t i = 0; i + 1 < s.items.size(); ++i) {
        const Item &line = s.items[i], &number = s.items[i + 1];
        const PointF at = vertical ? PointF{line.a.x - 200, line.b.y + 100}
                                   : PointF{line.a.x > 3000 ? 2600.0f : -200.0f, line.a.y - 100};
        if (line.kind == Kind::Line && (line.a.x == line.b.x) == vertical)
            lines << QString("%1,%2 %3%4")
                         .arg(line.a.x)
                         .arg(line.a.y)
                         .arg(number.text.c_str(), line.colour == kBlack && number.a == at ? "" : "!");
    }
    return lines.join('|');
}
// The labels: each box white, 400 by 180, its text 45 above and, inside the frame, on a
// blue dot drawn before it dotDx right of the box; "!" marks a label that is not.
QString Labels(const RecordingSurface& s, float dotDx, float ytop = 300) {
    QStringList labels;
    for (std::size_t i = 0; i + 1 < s.items.size(); ++i) {
        const Item& box = s.items[i];
        const long dot = s.index(Kind::Dot, {box.a.x + dotDx, box.a.y});
        const bool placed = box.colour == kWhite && box.b == (PointF{box.a.x + 400, box.a.y + 180}) &&
                            s.items[i + 1].a == (PointF{box.a.x, box.a.y - 45}) &&
                            (box.a.y < ytop || (dot >= 0 && std::size_t(dot) < i));
        if (box.kind == Kind::FilledRectangle)
            labels << QString::fromStdString(s.items[i + 1].text) + (placed ? "" : "!");
    }
    labels.removeDuplicates();
    return labels.join('|');
}

} // namespace

class tst_ExamineChart final : public QObject {
    Q_OBJECT
private slots:
    // Grid lines with their numbers, the curves 3000 right of the frame's own place with
    // one label where the 0 V curve crosses the band of rows 1780 to 1820, the wattage
    // beside the limit curve's last sample (250 V, off the frame's edge), the frame last.
    void examineChart() {
        const RecordingSurface s = Draw({});
        QCOMPARE(Grid(s, true), "3600,300  0|4800,300  50|6000,300  100|7200,300  150|8400,300  200|9600,300  250");
        QCOMPARE(Grid(s, false), "3600,4800 0  |3600,3900 0.001 |3600,3000 0.002 |3600,2100 0.003 "
                                 "|3600,1200 0.004 |3600,300 0.005 ");
        const Item& frame = s.items.back();
        QCOMPARE(Numbers(s.of(Kind::Line).front().pen, s.at(Kind::Dot, {6600, 2477.84326f}).pen,
                         s.at(Kind::Dot, {6600, 4467.26514f}).pen, s.of(Kind::Dot, kBlue).size(),
                         s.of(Kind::Dot, kRed).size(), s.at(Kind::Dot, {6600, 1199.99988f}).pen, frame.pen),
                 "1 3 2 10792 599 2 2");
        QVERIFY(s.of(Kind::Text).front().font == (FontSpec{"MS Sans Serif", 8.25, true}) && Labels(s, 200) == " 0");
        QVERIFY(s.at(Kind::Text, {9645, 2880}).text == "0.5  watts" && frame.colour == kBlack);
        QVERIFY(frame.kind == Kind::Rectangle && frame.a == (PointF{3600, 300}) && frame.b == (PointF{9600, 4800}));
        QCOMPARE(Grid(Draw({{kVoltsStep, 70}}), true), "3600,300  0|5280,300  70|6960,300  140|8640,300  210");
        QCOMPARE(Grid(Draw({{kVoltsStep, 250}}), true), "3600,300  0|9600,300  250");
        QCOMPARE(Grid(Draw({{kAmpsStep, 0.0011f}}), false),
                 "3600,4800 0  |3600,3810 0.0011 |3600,2820 0.0022 |3600,1830 0.0033 |3600,840 0.0044 ");
    }

    // Labels from 300 right of the left edge to 240 left of the right edge, within the band
    // of rows 1780 to 1820; above the frame too.
    void examineLabels() {
        const auto boxes = Draw({{kPos, 8}, {kNeg, -4}, {kStep, 0.01f}}).of(Kind::FilledRectangle);
        float left = 1e9f, right = 0, top = 1e9f, bottom = 0;
        for (const Item& box : boxes)
            left = std::min(left, box.a.x), right = std::max(right, box.a.x), top = std::min(top, box.a.y),
            bottom = std::max(bottom, box.a.y);
        QVERIFY(boxes.size() == 1368 && left > 3700 && left < 3710 && right < 9160 && right > 9150);
        QVERIFY(top > 1780 && top < 1781 && bottom < 1820 && bottom > 1819);
        QCOMPARE(Labels(Draw({{&D::Ytop, 2000}, {&D::Ybottom, 6500}}), 200, 2000), " 0");
    }

    // When a setting or the frame cannot give a chart: V and H lines, C curves,
    // D dissipation; the frame always, with the pen the curves left (0: no frame).
    void examineDegenerateCharts() {
        // clang-format off
        const std::tuple<float ExaminedDesign::*, float, const char*, int> kCharts[] = {
            {kNeg, 0, "VHCD", 3}, {kPos, -11, "VHD", 1}, {&D::Dissipation, 0, "VHC", 2}, {&ExamineSettings::ExamineVoltsFullscale, 0, "H", 1},
            {kAmps, NAN, "V", 1}, {kVoltsStep, NAN, "HCD", 2}, {kAmpsStep, -1, "VCD", 2}, {&D::Ytop, 4800, "", 1}, {&D::Xleft, NAN, "", 0}};
        // clang-format on
        for (const auto& [field, value, drawn, framePen] : kCharts) {
            const RecordingSurface s = Draw({{field, value}});
            const QString found =
                QString(Grid(s, true).count('|') == 5 ? "V" : "") + (Grid(s, false).count('|') == 5 ? "H" : "") +
                (s.of(Kind::Dot, kBlue).empty() ? "" : "C") + (s.of(Kind::Dot, kRed).empty() ? "" : "D");
            QCOMPARE(found + QString::number(s.of(Kind::Line).size()) + " " +
                         QString::number(s.of(Kind::Rectangle).empty() ? 0 : s.items.back().pen),
                     drawn + QString::number(QString(drawn).count(QRegularExpression("[VH]")) * 6) + " " +
                         QString::number(framePen));
        }
    }

    // Each raised step is taken back through its box text.
    void examineMinimumSteps() {
        ExaminedDesign d = ExaminedSample();
        d.ExamineVoltsFullscale = 1234.567f, d.ExamineVoltsStep = 1, d.ExamineAmpsFullscale = 0.0123456f,
        d.ExamineAmpsStep = 0, d.ExamineGridStep = 0.05f;
        const StepChanges changes = EnforceMinimumSteps(d);
        QVERIFY(changes.volts && changes.amps && changes.grid);
        QCOMPARE(Numbers(d.ExamineVoltsStep, d.ExamineAmpsStep, d.ExamineGridStep), "61.728 0.00123 0.5");
        // clang-format off
        for (const auto& [neg, step, raised] : {std::tuple{-1.0f, 0.05f, 0.1f}, {-3.333333f, 0.05f, 0.16667f}, {-10.0f, -5.0f, 0.1f},
                                                {-10.0f, 0.5f, 0.5f}, {-2.0f, 0.1f, 0.1f}}) {
            // clang-format on
            d = ExaminedSample();
            d.ExamineGridMostNeg = neg, d.ExamineGridStep = step, d.ExamineVoltsStep = 12.5f,
            d.ExamineAmpsStep = 0.0005f;
            const StepChanges raise = EnforceMinimumSteps(d);
            QVERIFY(raise.grid == (raised != step) && d.ExamineGridStep == raised && !raise.volts && !raise.amps);
        }
    }

    // The page: title, chart at the frame's own place with printer pens and offsets, the
    // legend instead of labels with "No", the design file name and the footer.
    void printedPage() {
        RecordingSurface s = Draw({{kStep, 0.5f}}, 2);
        const Item &title = s.items.front(), frame = s.of(Kind::Rectangle).at(0);
        QCOMPARE(QString::fromStdString(title.text) +
                     Numbers(title.a.x, title.a.y, title.font.points, s.of(Kind::Line).front().pen,
                             s.at(Kind::Dot, {3600, 2477.84326f}).pen, s.at(Kind::Dot, {3600, 3643.13013f}).pen,
                             s.at(Kind::Dot, {3600, 1199.99988f}).pen, frame.pen),
                 "Triode 6J52800 -500 12 2 12 8 4 16");
        QVERIFY(Grid(s, true).section('|', 1, 1) == "1800,300  50" &&
                Grid(s, false).section('|', 1, 1) == "600,3900 0.001 ");
        QVERIFY(s.at(Kind::Text, {-200, 3800}).font == (FontSpec{"", 8, false}) && Labels(s, 197) == " 0|-0.5");
        QVERIFY(frame.a == (PointF{600, 300}) && frame.b == (PointF{6600, 4800}) &&
                s.items.back().a == (PointF{0, 5600}));
        QCOMPARE(s.items.back().text + s.at(Kind::Text, {6648, 2880}).text + s.at(Kind::Text, {0, 5300}).text,
                 "footer0.5  watts");
        ExaminedDesign d = ExaminedSample();
        d.ExamineGridMostPos = -0.0005f, d.ExamineGridMostNeg = -0.001f, d.ExamineGridStep = 0.0005f,
        d.LabelGridVoltages = 0;
        s.items.clear();
        QVERIFY(DrawPrintedPage(s, {d, d}, "", "") && s.of(Kind::FilledRectangle).empty());
        QCOMPARE(s.at(Kind::Text, {0, 4100}).text + "|" + s.at(Kind::Text, {0, 4300}).text + "|" +
                     s.at(Kind::Text, {0, 4500}).text,
                 "Grid voltage most postive: -0.0005|Grid voltage most negative: -0.001|Grid "
                 "voltage step size: 0.0005");
        QVERIFY(s.at(Kind::Dot, {3600, 4800}).pen == 0 && s.of(Kind::Dot).front().pen == 12 &&
                s.of(Kind::Dot).back().pen == 8);
        // More grid lines than a signed 16-bit count holds print nothing.
        QCOMPARE(Grid(Draw({{&ExamineSettings::ExamineVoltsFullscale, 32766}, {kVoltsStep, 1}, {kNeg, 0}}, 2), true)
                     .count('|'),
                 32766);
        QCOMPARE(Draw({{&ExamineSettings::ExamineVoltsFullscale, 32767}, {kVoltsStep, 1}}, 2).items.size() +
                     Draw({{kAmps, 40}, {kAmpsStep, 0.001f}}, 2).items.size(),
                 std::size_t(2));
    }

    // The three print checks in order, both ends of each range; boxes after a failing one
    // are not read.
    void printChecks() {
        const char* messages[] = {"", "The value for the grid spacing on the printed plot must be greater than 1.",
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
            ExaminedDesign d = ExaminedSample();
            d.ExamineVoltsStep = d.ExamineAmpsStep = d.ExamineGridStep = -7;
            const PrintCheckResult result = CheckPrintSettings(boxes[0], boxes[1], boxes[2], d);
            QVERIFY(int(result.failed) == failed && result.message == messages[failed]);
            QVERIFY((d.ExamineAmpsStep == -7) == (failed == 1) &&
                    (d.ExamineGridStep == -7) == (failed == 1 || failed == 2));
        }
    }
};

QTEST_APPLESS_MAIN(tst_ExamineChart)
#include "tst_ExamineChart.moc"
