#include "model/Triode.h"
#include "plot/ExamineChart.h"
#include "plot/FrameMapping.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <map>

using namespace valvix;
using valvix::test::RecordingSurface;
using Item = RecordingSurface::Item;
using Kind = RecordingSurface::Kind;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// What an entry box keeps of a value written into it.
float ThroughBox(float value) {
    return ParseEngineering(FormatEngineering(value));
}

// A first opening: 300 V and 10 mA full scales, grid voltages 0 to -10 V in 1 V steps,
// a frame 6000 wide and 4500 high.
DesignState FirstOpening() {
    DesignState d = valvix::test::SampleDesign();
    d.Xleft = 600;
    d.Xright = 6600;
    d.Ytop = 300;
    d.Ybottom = 4800;
    d.ExamineVoltsFullscale = ThroughBox(300);
    d.ExamineVoltsStep = ThroughBox(static_cast<float>(300 * 0.2));
    d.ExamineAmpsFullscale = ThroughBox(0.01f);
    d.ExamineAmpsStep = ThroughBox(static_cast<float>(0.01f * 0.2));
    d.ExamineGridMostPos = ThroughBox(0);
    d.ExamineGridMostNeg = ThroughBox(-10);
    d.ExamineGridStep = ThroughBox(1);
    d.LabelGridVoltages = 1;
    return d;
}

std::vector<Item> Find(const RecordingSurface& s, const std::function<bool(const Item&)>& keep) {
    std::vector<Item> found;
    std::copy_if(s.items.begin(), s.items.end(), std::back_inserter(found), keep);
    return found;
}

bool Vertical(const Item& i) {
    return i.kind == Kind::Line && i.a.x == i.b.x && i.a.y != i.b.y;
}
bool Horizontal(const Item& i) {
    return i.kind == Kind::Line && i.a.y == i.b.y && i.a.x != i.b.x;
}
bool BlueDot(const Item& i) {
    return i.kind == Kind::Dot && i.colour == kBlue;
}
bool RedDot(const Item& i) {
    return i.kind == Kind::Dot && i.colour == kRed;
}

QStringList Texts(const std::vector<Item>& items) {
    QStringList texts;
    for (const Item& item : items) {
        texts << QString::fromStdString(item.text);
    }
    return texts;
}

std::vector<Item> TextsAt(const RecordingSurface& s, float x, float y) {
    return Find(s, [&](const Item& i) {
        return i.kind == Kind::Text && (std::isnan(x) || i.a.x == x) &&
               (std::isnan(y) || i.a.y == y);
    });
}

// Each label box (white, 400 wide, 180 high, in the band) with the text written right
// after it, 45 above. A label inside the frame sits on a dot drawn before it at
// (box left + dotDx, box top); dotDx NaN skips that check. Returns the label texts.
QStringList CheckedLabels(const RecordingSurface& s, float dotDx) {
    QStringList labels;
    for (std::size_t i = 0; i < s.items.size(); ++i) {
        const Item& box = s.items[i];
        if (box.kind != Kind::FilledRectangle) {
            continue;
        }
        [&] {
            QCOMPARE(box.colour, kWhite);
            QCOMPARE(box.b, (PointF{box.a.x + 400, box.a.y + 180}));
            QVERIFY(box.a.y > 1780 && box.a.y < 1820);
            const Item& text = s.items.at(i + 1);
            QCOMPARE(text.a, (PointF{box.a.x, box.a.y - 45}));
            labels << QString::fromStdString(text.text);
            const PointF dot{box.a.x + dotDx, box.a.y};
            QVERIFY(std::isnan(dotDx) ||
                    std::any_of(s.items.begin(), s.items.begin() + static_cast<long>(i),
                                [&](const Item& d) { return BlueDot(d) && d.a == dot; }));
        }();
    }
    labels.removeDuplicates();
    return labels;
}

PointF LastDissipationSample(const DesignState& d) {
    PointF last{kNaN, kNaN};
    const FrameMapping frame(d.Xleft, d.Xright, d.Ytop, d.Ybottom);
    DissipationWalk(d.Dissipation, d.ExamineVoltsFullscale, [&](const DissipationSample& s) {
        last = {frame.VoltsToX(s.Vp, d.ExamineVoltsFullscale),
                frame.DissipationToY(d.Dissipation, s.Vp, d.ExamineAmpsFullscale)};
    });
    return last;
}

float& Field(DesignState& d, const QString& name) {
    static const std::map<QString, float DesignState::*> fields{
        {"volts fullscale", &DesignState::ExamineVoltsFullscale},
        {"volts step", &DesignState::ExamineVoltsStep},
        {"amps fullscale", &DesignState::ExamineAmpsFullscale},
        {"amps step", &DesignState::ExamineAmpsStep},
        {"grid most neg", &DesignState::ExamineGridMostNeg},
        {"grid step", &DesignState::ExamineGridStep},
        {"xleft", &DesignState::Xleft},
        {"xright", &DesignState::Xright},
        {"ytop", &DesignState::Ytop}};
    return d.*fields.at(name);
}

} // namespace

class tst_ExamineChart final : public QObject {
    Q_OBJECT
private slots:
    void firstOpeningBoxes() {
        DesignState d = FirstOpening();
        const StepChanges changes = EnforceMinimumSteps(d);
        QVERIFY(!changes.volts && !changes.amps && !changes.grid);
        QStringList boxes;
        for (float v :
             {d.ExamineVoltsFullscale, d.ExamineVoltsStep, d.ExamineAmpsFullscale,
              d.ExamineAmpsStep, d.ExamineGridMostPos, d.ExamineGridMostNeg, d.ExamineGridStep}) {
            boxes << QString::fromStdString(FormatEngineering(v));
        }
        QCOMPARE(boxes, (QStringList{"300 ", "60 ", "0.01 ", "0.002 ", "0  ", "-10 ", "1 "}));
    }

    void firstOpeningGrid_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("vertical lines, plain numbers")
            << true << QStringList{" 0", " 60", " 120", " 180", " 240", " 300"};
        QTest::newRow("horizontal lines, engineering numbers, the last on the top edge")
            << false << QStringList{"0  ", "0.002 ", "0.004 ", "0.006 ", "0.008 ", "0.01 "};
    }
    void firstOpeningGrid() {
        QFETCH(bool, vertical);
        QFETCH(QStringList, numbers);
        DesignState d = FirstOpening();
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        const auto lines = Find(surface, vertical ? Vertical : Horizontal);
        QCOMPARE(lines.size(), std::size_t(6));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Item& line = lines[i];
            QCOMPARE(line.pen, 1);
            QCOMPARE(line.colour, kBlack);
            const float step = static_cast<float>(i);
            // X numbers 200 left of their line and 100 below the frame; Y numbers at a
            // fixed x, 100 above their line.
            const auto number = vertical ? TextsAt(surface, line.a.x - 200, 4900)
                                         : TextsAt(surface, 2600, line.a.y - 100);
            QCOMPARE(Texts(number), QStringList{numbers[static_cast<qsizetype>(i)]});
            QCOMPARE(number[0].font, (FontSpec{"MS Sans Serif", 8.25, true}));
            if (vertical) {
                QCOMPARE(line.a, (PointF{3600 + 1200 * step, 300}));
                QCOMPARE(line.b, (PointF{3600 + 1200 * step, 4800}));
            } else {
                QCOMPARE(line.a.x, 3600.0f);
                QCOMPARE(line.b.x, 9600.0f);
                QCOMPARE(line.a.y, 4800 - 900 * step); // within single-precision rounding
            }
        }
    }

    void firstOpeningCurves() {
        DesignState d = FirstOpening();
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        QCOMPARE(d.PlotWidth, 6000.0f);
        QCOMPARE(d.PlotHeight, 4500.0f);
        // Eleven dots in a full plate-voltage column, the 3-pixel 0 V one on top.
        std::map<float, std::vector<Item>> columns;
        for (const Item& dot : Find(surface, BlueDot)) {
            QVERIFY(dot.a.x > 3600 && dot.a.x < 9600 && dot.a.y > 300);
            columns[dot.a.x].push_back(dot);
        }
        std::size_t most = 0;
        int thick = 0;
        for (const auto& [x, dots] : columns) {
            most = std::max(most, dots.size());
            const float top = std::min_element(dots.begin(), dots.end(), [](auto& a, auto& b) {
                                  return a.a.y < b.a.y;
                              })->a.y;
            for (const Item& dot : dots) {
                QVERIFY(dot.pen == 2 || (dot.pen == 3 && dot.a.y == top));
                thick += dot.pen == 3 ? 1 : 0;
            }
        }
        QCOMPARE(most, std::size_t(11));
        QVERIFY(thick > 500);
    }

    void minimumSteps_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<float>("scale"); // full scale, or most negative grid voltage
        QTest::addColumn<float>("step");
        QTest::addColumn<QString>("box"); // "" when the box keeps its text
        QTest::newRow("volts 1 of 300") << "volts" << 300.0f << 1.0f << "15 ";
        QTest::newRow("volts 0 of 300") << "volts" << 300.0f << 0.0f << "15 ";
        QTest::newRow("volts 15 of 300 stays") << "volts" << 300.0f << 15.0f << "";
        QTest::newRow("volts read back from its box") << "volts" << 1234.567f << 1.0f << "61.728 ";
        QTest::newRow("amps 0.5 mA of 10 mA") << "amps" << 0.01f << 0.0005f << "0.001 ";
        QTest::newRow("amps read back from its box") << "amps" << 0.0123456f << 0.0f << "0.00123 ";
        QTest::newRow("grid 0.05 down to -1") << "grid" << -1.0f << 0.05f << "0.1 ";
        QTest::newRow("grid 0.05 down to -10") << "grid" << -10.0f << 0.05f << "0.5 ";
        QTest::newRow("grid -5 is large but below 0.1") << "grid" << -10.0f << -5.0f << "0.1 ";
        QTest::newRow("grid 2 down to -10 stays") << "grid" << -10.0f << 2.0f << "";
    }
    void minimumSteps() {
        QFETCH(QString, field);
        QFETCH(float, scale);
        QFETCH(float, step);
        QFETCH(QString, box);
        DesignState d = FirstOpening();
        Field(d, field == "grid" ? "grid most neg" : field + " fullscale") = scale;
        float& value = Field(d, field + " step");
        value = step;
        const StepChanges changes = EnforceMinimumSteps(d);
        const bool changed = !box.isEmpty();
        QCOMPARE(changes.volts, changed && field == "volts");
        QCOMPARE(changes.amps, changed && field == "amps");
        QCOMPARE(changes.grid, changed && field == "grid");
        // Compared as the shortest text, which tells neighbouring Singles apart.
        QCOMPARE(QString::fromStdString(FormatPlainNumber(value)),
                 changed ? " " + box.trimmed() : QString::fromStdString(FormatPlainNumber(step)));
    }

    void gridSkipRule_data() {
        QTest::addColumn<float>("step");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("ratio 4.29") << 70.0f << QStringList{" 0", " 70", " 140", " 210", " 280"};
        QTest::newRow("ratio 4.62, fifth right of the frame")
            << 65.0f << QStringList{" 0", " 65", " 130", " 195", " 260"};
        QTest::newRow("step of the full scale") << 300.0f << QStringList{" 0", " 300"};
    }
    void gridSkipRule() {
        QFETCH(float, step);
        QFETCH(QStringList, numbers);
        DesignState d = FirstOpening();
        d.ExamineVoltsStep = step;
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        const auto lines = Find(surface, Vertical);
        QCOMPARE(Texts(TextsAt(surface, kNaN, 4900)), numbers);
        QCOMPARE(lines.size(), static_cast<std::size_t>(numbers.size()));
        QCOMPARE(lines.back().a.x, 3600 + 6000 * numbers.last().toFloat() / 300);
    }

    void labels_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<float>("ytop");
        QTest::addColumn<float>("ybottom");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("Yes: curves rising through the band")
            << 1 << 300.0f << 4800.0f << QStringList{" 0", "-1"};
        QTest::newRow("No") << 0 << 300.0f << 4800.0f << QStringList{};
        QTest::newRow("frame below the band: labels above it")
            << 1 << 2000.0f << 6500.0f << QStringList{" 0"};
        QTest::newRow("frame above the band") << 1 << 100.0f << 1700.0f << QStringList{};
    }
    void labels() {
        QFETCH(int, option);
        QFETCH(float, ytop);
        QFETCH(float, ybottom);
        QFETCH(QStringList, labels);
        DesignState d = FirstOpening();
        d.ExamineAmpsFullscale = 0.005f;
        d.LabelGridVoltages = option;
        d.Ytop = ytop;
        d.Ybottom = ybottom;
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        // Above the frame there are no dots for the labels to sit on.
        QCOMPARE(CheckedLabels(surface, ytop < 1780 ? 200 : kNaN), labels);
        for (const Item& box : surface.ofKind(Kind::FilledRectangle)) {
            QCOMPARE(box.a.y<ytop, ytop> 1820);
        }
    }

    void dissipation_data() {
        QTest::addColumn<float>("watts");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 W") << 1.0f << "1  watts";
        QTest::newRow("2.5 W") << 2.5f << "2.5  watts";
        QTest::newRow("0 W") << 0.0f << "";
    }
    void dissipation() {
        QFETCH(float, watts);
        QFETCH(QString, text);
        DesignState d = FirstOpening();
        d.Dissipation = watts;
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        const auto red = Find(surface, RedDot);
        const auto label = Find(surface, [](const Item& i) {
            return i.kind == Kind::Text && QString::fromStdString(i.text).endsWith(" watts");
        });
        QCOMPARE(Texts(label), text.isEmpty() ? QStringList{} : QStringList{text});
        QCOMPARE(red.empty(), text.isEmpty());
        for (const Item& dot : red) {
            QCOMPARE(dot.pen, 2); // left by the -10 V curve
        }
        if (!label.empty()) {
            const PointF last = LastDissipationSample(d);
            QCOMPARE(label[0].a, (PointF{last.x + 3045, last.y - 120}));
        }
    }

    void frameLastWithTheCurvesPen_data() {
        QTest::addColumn<float>("mostPos");
        QTest::addColumn<float>("mostNeg");
        QTest::addColumn<float>("ampsFullscale");
        QTest::addColumn<int>("pen");
        QTest::newRow("family ending at -10 V") << 0.0f << -10.0f << 0.01f << 2;
        QTest::newRow("one 0 V curve") << 0.0f << 0.0f << 0.01f << 3;
        QTest::newRow("no curve") << -10.0f << 0.0f << 0.01f << 1;
        QTest::newRow("curves all above the frame") << 1.0f << 0.0f << 1e-9f << 3;
    }
    void frameLastWithTheCurvesPen() {
        QFETCH(float, mostPos);
        QFETCH(float, mostNeg);
        QFETCH(float, ampsFullscale);
        QFETCH(int, pen);
        DesignState d = FirstOpening();
        d.ExamineGridMostPos = mostPos;
        d.ExamineGridMostNeg = mostNeg;
        d.ExamineAmpsFullscale = ampsFullscale;
        d.ExamineAmpsStep = ampsFullscale / 5;
        d.Dissipation = 1;
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        const Item& frame = surface.items.back();
        QCOMPARE(frame.kind, Kind::Rectangle);
        QCOMPARE(frame.colour, kBlack);
        QCOMPARE(frame.a, (PointF{3600, 300}));
        QCOMPARE(frame.b, (PointF{9600, 4800}));
        QCOMPARE(frame.pen, pen);
        QCOMPARE(Find(surface, BlueDot).empty(), ampsFullscale < 1e-6f || mostPos < mostNeg);
    }

    void degenerateSettings_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("drawn"); // V vertical, H horizontal, C curves, D dissipation
        QTest::newRow("volts full scale 0") << "volts fullscale" << 0.0f << "H";
        QTest::newRow("volts full scale negative") << "volts fullscale" << -300.0f << "H";
        QTest::newRow("volts full scale NaN") << "volts fullscale" << kNaN << "H";
        QTest::newRow("amps full scale 0") << "amps fullscale" << 0.0f << "V";
        QTest::newRow("amps full scale infinite") << "amps fullscale" << kInf << "V";
        QTest::newRow("volts step 0") << "volts step" << 0.0f << "HCD";
        QTest::newRow("volts step NaN") << "volts step" << kNaN << "HCD";
        QTest::newRow("volts step too fine to count") << "volts step" << 1e-9f << "HCD";
        QTest::newRow("amps step negative") << "amps step" << -0.002f << "VCD";
        QTest::newRow("grid step 0") << "grid step" << 0.0f << "VHD";
        QTest::newRow("frame without width") << "xright" << 600.0f << "";
        QTest::newRow("crossed frame") << "xright" << 100.0f << "";
        QTest::newRow("frame without height") << "ytop" << 4800.0f << "";
        QTest::newRow("frame edge NaN") << "xleft" << kNaN << "";
    }
    void degenerateSettings() {
        QFETCH(QString, field);
        QFETCH(float, value);
        QFETCH(QString, drawn);
        DesignState d = FirstOpening();
        d.Dissipation = 1;
        Field(d, field) = value;
        RecordingSurface surface;
        DrawExamineChart(surface, d);
        QCOMPARE(Find(surface, Vertical).size(), std::size_t(drawn.contains('V') ? 6 : 0));
        QCOMPARE(Find(surface, Horizontal).size(), std::size_t(drawn.contains('H') ? 6 : 0));
        QCOMPARE(surface.ofKind(Kind::Line).size(),
                 Find(surface, Vertical).size() + Find(surface, Horizontal).size());
        QCOMPARE(!Find(surface, BlueDot).empty(), drawn.contains('C'));
        QCOMPARE(!Find(surface, RedDot).empty(), drawn.contains('D'));
        for (const Item& item : surface.items) {
            QVERIFY(std::isfinite(item.a.x) && std::isfinite(item.a.y) && std::isfinite(item.b.x) &&
                    std::isfinite(item.b.y));
        }
        // The outline, last, whenever its corners are numbers.
        QCOMPARE(surface.ofKind(Kind::Rectangle).size(), std::size_t(std::isfinite(d.Xleft)));
        QVERIFY(!std::isfinite(d.Xleft) || surface.items.back().kind == Kind::Rectangle);
    }

    void page_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<float>("titleX");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("empty title, no design file") << "" << 3600.0f << "";
        QTest::newRow("10 characters: 800 left of the centre")
            << "Triode 6J5" << 2800.0f << "/designs/6J5.VXF";
        QTest::newRow("a two-byte character counts once") << "R\u00f6hre" << 3200.0f << "a.VXF";
    }
    void page() {
        QFETCH(QString, title);
        QFETCH(float, titleX);
        QFETCH(QString, fileName);
        DesignState d = FirstOpening();
        d.Dissipation = 1;
        d.DesignFileName = fileName.toStdString();
        RecordingSurface surface;
        QVERIFY(DrawPrintedPage(surface, d, title.toStdString(), "valvix.example.org 12:00"));
        const Item& first = surface.items.front();
        QCOMPARE(first.a, (PointF{titleX, -500}));
        QCOMPARE(first.text, title.toStdString());
        QCOMPARE(first.font.points, 12.0);
        // The chart where the frame's values say, without the shift.
        QCOMPARE(Find(surface, Vertical).at(1).a, (PointF{1800, 300}));
        QCOMPARE(Find(surface, Vertical).at(1).pen, 2);
        QCOMPARE(Find(surface, Horizontal).at(0).b, (PointF{6600, 4800}));
        QCOMPARE(Texts(TextsAt(surface, 1600, 4900)), QStringList{" 60"});
        QCOMPARE(TextsAt(surface, 1600, 4900).at(0).font, (FontSpec{"", 8, false}));
        QCOMPARE(Texts(TextsAt(surface, -200, 3800)), QStringList{"0.002 "});
        QVERIFY(!CheckedLabels(surface, 197).isEmpty());
        for (const Item& dot : Find(surface, BlueDot)) {
            QVERIFY(dot.pen == 12 || dot.pen == 8);
        }
        for (const Item& dot : Find(surface, RedDot)) {
            QCOMPARE(dot.pen, 4);
        }
        const PointF last = LastDissipationSample(d);
        QCOMPARE(Texts(TextsAt(surface, last.x + 48, last.y - 120)), QStringList{"1  watts"});
        const Item frame = surface.ofKind(Kind::Rectangle).at(0);
        QCOMPARE(frame.a, (PointF{600, 300}));
        QCOMPARE(frame.b, (PointF{6600, 4800}));
        QCOMPARE(frame.pen, 16);
        QCOMPARE(Texts(TextsAt(surface, 0, 5300)), QStringList{fileName});
        QCOMPARE(surface.items.back().a, (PointF{0, 5600}));
        QCOMPARE(surface.items.back().text, std::string("valvix.example.org 12:00"));
    }

    void pageZeroCurvePen_data() {
        QTest::addColumn<float>("grid");
        QTest::addColumn<int>("pen");
        QTest::newRow("0 V") << 0.0f << 12;
        QTest::newRow("-0.0005 V") << -0.0005f << 12;
        QTest::newRow("-0.001 V") << -0.001f << 8;
        QTest::newRow("-1 V") << -1.0f << 8;
    }
    void pageZeroCurvePen() {
        QFETCH(float, grid);
        QFETCH(int, pen);
        DesignState d = FirstOpening();
        d.ExamineGridMostPos = d.ExamineGridMostNeg = grid;
        RecordingSurface surface;
        QVERIFY(DrawPrintedPage(surface, d, "", ""));
        const auto dots = Find(surface, BlueDot);
        QVERIFY(!dots.empty());
        QVERIFY(std::all_of(dots.begin(), dots.end(), [&](const Item& i) { return i.pen == pen; }));
    }

    void pageLegendOrLabels_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("legend");
        QTest::newRow("labels") << 1 << QStringList{};
        QTest::newRow("legend") << 0
                                << QStringList{"Grid voltage most postive: 0.5",
                                               "Grid voltage most negative: -10",
                                               "Grid voltage step size: 1.5"};
    }
    void pageLegendOrLabels() {
        QFETCH(int, option);
        QFETCH(QStringList, legend);
        DesignState d = FirstOpening();
        d.ExamineGridMostPos = 0.5f;
        d.ExamineGridStep = 1.5f;
        d.LabelGridVoltages = option;
        RecordingSurface surface;
        QVERIFY(DrawPrintedPage(surface, d, "", ""));
        QCOMPARE(surface.ofKind(Kind::FilledRectangle).empty(), option == 0);
        QCOMPARE(Texts(Find(surface,
                            [](const Item& i) {
                                return i.kind == Kind::Text && i.a.x == 0 &&
                                       (i.a.y == 4100 || i.a.y == 4300 || i.a.y == 4500);
                            })),
                 legend);
    }

    void pageGridLineCount_data() {
        QTest::addColumn<QString>("axis");
        QTest::addColumn<float>("fullscale");
        QTest::addColumn<float>("step");
        QTest::addColumn<bool>("printed");
        QTest::newRow("32767 vertical lines") << "volts" << 32766.0f << 1.0f << true;
        QTest::newRow("32768 vertical lines") << "volts" << 32767.0f << 1.0f << false;
        QTest::newRow("40001 horizontal lines") << "amps" << 40.0f << 0.001f << false;
        QTest::newRow("uncountable horizontal lines") << "amps" << 1e10f << 1e-30f << false;
    }
    void pageGridLineCount() {
        QFETCH(QString, axis);
        QFETCH(float, fullscale);
        QFETCH(float, step);
        QFETCH(bool, printed);
        DesignState d = FirstOpening();
        d.ExamineGridMostNeg = 0; // one curve keeps the large page quick
        Field(d, axis + " fullscale") = fullscale;
        Field(d, axis + " step") = step;
        RecordingSurface surface;
        QCOMPARE(DrawPrintedPage(surface, d, "Title", "footer"), printed);
        QCOMPARE(surface.items.empty(), !printed);
        QCOMPARE(surface.penChanges.empty(), !printed);
        QCOMPARE(Find(surface, Vertical).size(), std::size_t(printed ? 32767 : 0));
    }

    void printChecks_data() {
        QTest::addColumn<QStringList>("boxes"); // Text2, Text4, Text8
        QTest::addColumn<int>("failed");        // 0 none, else the box read last
        QTest::newRow("all good") << QStringList{"60", "2m", "1"} << 0;
        QTest::newRow("volts 0.5") << QStringList{"0.5", "2m", "1"} << 1;
        QTest::newRow("volts 1") << QStringList{"1", "2m", "1"} << 0;
        QTest::newRow("volts of the full scale") << QStringList{"300", "2m", "1"} << 0;
        QTest::newRow("volts beyond the full scale") << QStringList{"300.1", "2m", "1"} << 1;
        QTest::newRow("volts box empty") << QStringList{"", "2m", "1"} << 1;
        QTest::newRow("amps 0.0005") << QStringList{"60", "0.0005", "1"} << 2;
        QTest::newRow("amps 2k") << QStringList{"60", "2k", "1"} << 2;
        QTest::newRow("amps 0.001") << QStringList{"60", "0.001", "1"} << 0;
        QTest::newRow("amps 1000") << QStringList{"60", "1000", "1"} << 0;
        QTest::newRow("grid 0.01") << QStringList{"60", "2m", "0.01"} << 0;
        QTest::newRow("grid 1000") << QStringList{"60", "2m", "1000"} << 0;
        QTest::newRow("grid 0.009") << QStringList{"60", "2m", "0.009"} << 3;
        QTest::newRow("grid 1001") << QStringList{"60", "2m", "1001"} << 3;
    }
    void printChecks() {
        QFETCH(QStringList, boxes);
        QFETCH(int, failed);
        DesignState d = FirstOpening();
        d.ExamineVoltsStep = d.ExamineAmpsStep = d.ExamineGridStep = -7; // not read yet
        std::vector<std::string> texts;
        for (const QString& box : boxes) {
            texts.push_back(box.toStdString());
        }
        const PrintCheckResult result = CheckPrintSettings(texts[0], texts[1], texts[2], d);
        const PrintCheck checks[] = {PrintCheck::None, PrintCheck::VoltsStep, PrintCheck::AmpsStep,
                                     PrintCheck::GridStep};
        const char* messages[] = {
            "", "The value for the grid spacing on the printed plot must be greater than 1.",
            "The value for the grid spacing on the printed plot must be greater than 1 mA.",
            "The value for grid voltage stepsize must be >.01 and < 1000"};
        QCOMPARE(result.failed, checks[failed]);
        QCOMPARE(std::string(result.message), std::string(messages[failed]));
        const int read = failed == 0 ? 3 : failed;
        QCOMPARE(d.ExamineVoltsStep, ParseEngineering(texts[0]));
        QCOMPARE(d.ExamineAmpsStep, read >= 2 ? ParseEngineering(texts[1]) : -7.0f);
        QCOMPARE(d.ExamineGridStep, read >= 3 ? ParseEngineering(texts[2]) : -7.0f);
    }
};

QTEST_APPLESS_MAIN(tst_ExamineChart)
#include "tst_ExamineChart.moc"
