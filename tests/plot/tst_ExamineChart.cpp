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

// A first opening: 300 V and 10 mA full scales, grid voltages 0 to -10 V in 1 V steps,
// a frame 6000 wide and 4500 high.
DesignState FirstOpening() {
    DesignState d = valvix::test::SampleDesign();
    d.Xleft = 600;
    d.Xright = 6600;
    d.Ytop = 300;
    d.Ybottom = 4800;
    d.ExamineVoltsFullscale = 300;
    d.ExamineVoltsStep = 60;
    d.ExamineAmpsFullscale = 0.01f;
    d.ExamineAmpsStep = 0.002f;
    d.ExamineGridMostPos = 0;
    d.ExamineGridMostNeg = -10;
    d.ExamineGridStep = 1;
    d.LabelGridVoltages = 1;
    return d;
}

float& Field(DesignState& d, const QString& name) {
    static const std::map<QString, float DesignState::*> fields{
        {"volts fullscale", &DesignState::ExamineVoltsFullscale},
        {"volts step", &DesignState::ExamineVoltsStep},
        {"amps fullscale", &DesignState::ExamineAmpsFullscale},
        {"amps step", &DesignState::ExamineAmpsStep},
        {"grid most pos", &DesignState::ExamineGridMostPos},
        {"grid most neg", &DesignState::ExamineGridMostNeg},
        {"grid step", &DesignState::ExamineGridStep},
        {"dissipation", &DesignState::Dissipation},
        {"xleft", &DesignState::Xleft},
        {"xright", &DesignState::Xright},
        {"ytop", &DesignState::Ytop},
        {"ybottom", &DesignState::Ybottom}};
    return d.*fields.at(name);
}

// The first opening with the settings in changes ("name=value; name=value") changed.
DesignState Opened(const QString& changes) {
    DesignState d = FirstOpening();
    for (const QString& change : changes.split(';', Qt::SkipEmptyParts)) {
        const QStringList nameValue = change.split('=');
        Field(d, nameValue.at(0).trimmed()) = nameValue.at(1).toFloat();
    }
    return d;
}

RecordingSurface Chart(DesignState& d) {
    RecordingSurface surface;
    DrawExamineChart(surface, d);
    return surface;
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

// Texts at x and y; NaN takes any.
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

} // namespace

class tst_ExamineChart final : public QObject {
    Q_OBJECT
private slots:
    void grid_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<float>("step");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("vertical lines, plain numbers")
            << true << 60.0f << QStringList{" 0", " 60", " 120", " 180", " 240", " 300"};
        QTest::newRow("horizontal lines, engineering numbers, the last on the top edge")
            << false << 0.002f
            << QStringList{"0  ", "0.002 ", "0.004 ", "0.006 ", "0.008 ", "0.01 "};
        QTest::newRow("ratio 4.29")
            << true << 70.0f << QStringList{" 0", " 70", " 140", " 210", " 280"};
        QTest::newRow("ratio 4.62, fifth right of the frame")
            << true << 65.0f << QStringList{" 0", " 65", " 130", " 195", " 260"};
        QTest::newRow("step of the full scale") << true << 300.0f << QStringList{" 0", " 300"};
    }
    void grid() {
        QFETCH(bool, vertical);
        QFETCH(float, step);
        QFETCH(QStringList, numbers);
        DesignState d = FirstOpening();
        Field(d, vertical ? "volts step" : "amps step") = step;
        const RecordingSurface surface = Chart(d);
        const auto lines = Find(surface, vertical ? Vertical : Horizontal);
        // X numbers 100 below the frame, Y numbers at a fixed x.
        const auto texts = vertical ? TextsAt(surface, kNaN, 4900) : TextsAt(surface, 2600, kNaN);
        QCOMPARE(Texts(texts), numbers);
        QCOMPARE(lines.size(), texts.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Item& line = lines[i];
            const float value = numbers[static_cast<qsizetype>(i)].toFloat();
            QCOMPARE(line.pen, 1);
            QCOMPARE(line.colour, kBlack);
            QCOMPARE(texts[i].font, (FontSpec{"MS Sans Serif", 8.25, true}));
            if (vertical) {
                QCOMPARE(line.a.x, 3600 + 6000 * value / 300);
                QCOMPARE((std::pair{line.a.y, line.b.y}), (std::pair{300.0f, 4800.0f}));
                QCOMPARE(texts[i].a.x, line.a.x - 200);
            } else {
                QCOMPARE((std::pair{line.a.x, line.b.x}), (std::pair{3600.0f, 9600.0f}));
                QCOMPARE(line.a.y, 4800 - 4500 * value / 0.01f);
                QCOMPARE(texts[i].a.y, line.a.y - 100);
            }
        }
    }

    void firstOpeningCurves() {
        DesignState d = Opened("dissipation=1");
        const RecordingSurface surface = Chart(d);
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
        // The dissipation curve with the pen the -10 V curve left, its wattage beside the
        // walk's last sample.
        for (const Item& dot : Find(surface, RedDot)) {
            QCOMPARE(dot.pen, 2);
        }
        const auto watts = Find(surface, [](const Item& i) {
            return i.kind == Kind::Text && i.text.find("watts") != std::string::npos;
        });
        QCOMPARE(Texts(watts), QStringList{"1  watts"});
        const PointF last = LastDissipationSample(d);
        QCOMPARE(watts[0].a, (PointF{last.x + 3045, last.y - 120}));
    }

    void minimumSteps_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<float>("scale"); // full scale, or most negative grid voltage
        QTest::addColumn<float>("step");
        QTest::addColumn<QString>("box"); // "" when the box keeps its text
        QTest::newRow("volts raised, read back from its box")
            << "volts" << 1234.567f << 1.0f << "61.728 ";
        QTest::newRow("volts 15 of 300 stays") << "volts" << 300.0f << 15.0f << "";
        QTest::newRow("amps raised, read back from its box")
            << "amps" << 0.0123456f << 0.0f << "0.00123 ";
        QTest::newRow("amps 2 mA of 10 mA stays") << "amps" << 0.01f << 0.002f << "";
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

    void labels_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("Yes: curves rising through the band") << 1 << "" << QStringList{" 0", "-1"};
        QTest::newRow("No") << 0 << "" << QStringList{};
        QTest::newRow("frame below the band: labels above it")
            << 1 << "ytop=2000; ybottom=6500" << QStringList{" 0"};
        QTest::newRow("frame above the band") << 1 << "ytop=100; ybottom=1700" << QStringList{};
    }
    void labels() {
        QFETCH(int, option);
        QFETCH(QString, frame);
        QFETCH(QStringList, labels);
        DesignState d = Opened("amps fullscale=0.005;" + frame);
        d.LabelGridVoltages = option;
        const RecordingSurface surface = Chart(d);
        // Above the frame there are no dots for the labels to sit on.
        QCOMPARE(CheckedLabels(surface, d.Ytop < 1780 ? 200 : kNaN), labels);
        for (const Item& box : surface.ofKind(Kind::FilledRectangle)) {
            const bool aboveTheFrame = box.a.y < d.Ytop;
            QCOMPARE(aboveTheFrame, d.Ytop > 1820);
        }
    }

    // What is drawn, and the frame last with the pen the curves left.
    void chartParts_data() {
        QTest::addColumn<QString>("changes"); // from the first opening with 1 W dissipation
        QTest::addColumn<int>("framePen");    // 0 for no frame
        QTest::addColumn<QString>("drawn");   // V vertical, H horizontal, C curves, D dissipation
        QTest::newRow("family ending at -10 V") << "" << 2 << "VHCD";
        QTest::newRow("one 0 V curve") << "grid most neg=0" << 3 << "VHCD";
        QTest::newRow("no curve") << "grid most pos=-10; grid most neg=0" << 1 << "VHD";
        QTest::newRow("curves all above the frame")
            << "grid most neg=0; grid most pos=1; amps fullscale=1e-9; amps step=2e-10" << 3
            << "VH";
        QTest::newRow("no dissipation") << "dissipation=0" << 2 << "VHC";
        QTest::newRow("volts full scale 0") << "volts fullscale=0" << 1 << "H";
        QTest::newRow("volts full scale negative") << "volts fullscale=-300" << 1 << "H";
        QTest::newRow("volts full scale NaN") << "volts fullscale=nan" << 1 << "H";
        QTest::newRow("amps full scale 0") << "amps fullscale=0" << 1 << "V";
        QTest::newRow("amps full scale infinite") << "amps fullscale=inf" << 1 << "V";
        QTest::newRow("volts step NaN") << "volts step=nan" << 2 << "HCD";
        QTest::newRow("volts step too fine to count") << "volts step=1e-9" << 2 << "HCD";
        QTest::newRow("amps step negative") << "amps step=-0.002" << 2 << "VCD";
        QTest::newRow("grid step 0") << "grid step=0" << 1 << "VHD";
        QTest::newRow("frame without width") << "xright=600" << 1 << "";
        QTest::newRow("crossed frame") << "xright=100" << 1 << "";
        QTest::newRow("frame without height") << "ytop=4800" << 1 << "";
        QTest::newRow("frame edge NaN") << "xleft=nan" << 0 << "";
    }
    void chartParts() {
        QFETCH(QString, changes);
        QFETCH(int, framePen);
        QFETCH(QString, drawn);
        DesignState d = Opened("dissipation=1;" + changes);
        const RecordingSurface surface = Chart(d);
        const std::size_t vertical = Find(surface, Vertical).size();
        const std::size_t horizontal = Find(surface, Horizontal).size();
        QCOMPARE(vertical, std::size_t(drawn.contains('V') ? 6 : 0));
        QCOMPARE(horizontal, std::size_t(drawn.contains('H') ? 6 : 0));
        QCOMPARE(surface.ofKind(Kind::Line).size(), vertical + horizontal);
        QCOMPARE(!Find(surface, BlueDot).empty(), drawn.contains('C'));
        QCOMPARE(!Find(surface, RedDot).empty(), drawn.contains('D'));
        for (const Item& item : surface.items) {
            QVERIFY(std::isfinite(item.a.x) && std::isfinite(item.a.y) && std::isfinite(item.b.x) &&
                    std::isfinite(item.b.y));
        }
        QCOMPARE(surface.ofKind(Kind::Rectangle).size(), std::size_t(framePen != 0));
        if (framePen != 0) {
            const Item& frame = surface.items.back();
            QCOMPARE(frame.kind, Kind::Rectangle);
            QCOMPARE(frame.colour, kBlack);
            QCOMPARE(frame.a, (PointF{d.Xleft + 3000, d.Ytop}));
            QCOMPARE(frame.b, (PointF{d.Xright + 3000, d.Ybottom}));
            QCOMPARE(frame.pen, framePen);
        }
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
        DesignState d = Opened("dissipation=1");
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

    void pageCurvesAndLegend_data() {
        QTest::addColumn<float>("grid"); // the one curve, or the most positive of a family
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("pen");
        QTest::addColumn<QStringList>("legend");
        QTest::newRow("-0.0005 V is the 0 V curve") << -0.0005f << 1 << 12 << QStringList{};
        QTest::newRow("-0.001 V is not") << -0.001f << 1 << 8 << QStringList{};
        QTest::newRow("legend instead of labels")
            << 0.5f << 0 << 8
            << QStringList{"Grid voltage most postive: 0.5", "Grid voltage most negative: -10",
                           "Grid voltage step size: 1.5"};
    }
    void pageCurvesAndLegend() {
        QFETCH(float, grid);
        QFETCH(int, option);
        QFETCH(int, pen);
        QFETCH(QStringList, legend);
        DesignState d = Opened("grid step=1.5");
        d.ExamineGridMostPos = grid;
        d.ExamineGridMostNeg = grid > 0 ? -10 : grid;
        d.LabelGridVoltages = option;
        RecordingSurface surface;
        QVERIFY(DrawPrintedPage(surface, d, "", ""));
        const auto dots = Find(surface, BlueDot);
        QVERIFY(!dots.empty());
        QVERIFY(std::all_of(dots.begin(), dots.end(), [&](const Item& i) { return i.pen == pen; }));
        QCOMPARE(surface.ofKind(Kind::FilledRectangle).empty(), option == 0);
        QCOMPARE(Texts(Find(surface,
                            [](const Item& i) {
                                return i.kind == Kind::Text && i.a.x == 0 && i.a.y >= 4100 &&
                                       i.a.y <= 4500;
                            })),
                 legend);
    }

    void pageGridLineCount_data() {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<bool>("printed");
        QTest::newRow("32767 vertical lines") << "volts fullscale=32766; volts step=1" << true;
        QTest::newRow("32768 vertical lines") << "volts fullscale=32767; volts step=1" << false;
        QTest::newRow("40001 horizontal lines") << "amps fullscale=40; amps step=0.001" << false;
        QTest::newRow("uncountable horizontal lines")
            << "amps fullscale=1e10; amps step=1e-30" << false;
    }
    void pageGridLineCount() {
        QFETCH(QString, changes);
        QFETCH(bool, printed);
        DesignState d = Opened("grid most neg=0;" + changes); // one curve keeps the page quick
        RecordingSurface surface;
        QCOMPARE(DrawPrintedPage(surface, d, "Title", "footer"), printed);
        QCOMPARE(surface.items.empty(), !printed);
        QCOMPARE(surface.penChanges.empty(), !printed);
        QCOMPARE(Find(surface, Vertical).size(), std::size_t(printed ? 32767 : 0));
    }

    void printChecks_data() {
        QTest::addColumn<QStringList>("boxes"); // Text2, Text4, Text8
        QTest::addColumn<int>("failed");        // 0 none, else the box read last
        QTest::newRow("volts 0.5") << QStringList{"0.5", "2m", "1"} << 1;
        QTest::newRow("volts 1") << QStringList{"1", "2m", "1"} << 0;
        QTest::newRow("volts of the full scale") << QStringList{"300", "2m", "1"} << 0;
        QTest::newRow("volts beyond the full scale") << QStringList{"300.1", "2m", "1"} << 1;
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
        const std::string texts[] = {boxes[0].toStdString(), boxes[1].toStdString(),
                                     boxes[2].toStdString()};
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
