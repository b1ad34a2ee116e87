// Label texts as a reader returns them, and axis scales from the numbers read.

#include "read/AxisNumbers.h"
#include "read/AxisScale.h"
#include "read/AxisTitle.h"
#include "read/GridLabels.h"
#include "read/LabelText.h"

#include <QtTest>

#include <cmath>

using namespace valvix::read;

namespace {

// Labels every `spacing` pixels from `first`, stepping by `step` from `from`.
std::vector<AxisLabel> Evenly(double first, double spacing, double from, double step, int count) {
    std::vector<AxisLabel> labels;
    labels.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        labels.push_back({first + spacing * i, from + step * i});
    return labels;
}

} // namespace

class tst_AxisLabels final : public QObject {
    Q_OBJECT
private slots:
    // Numbers as axes print them, every dash a minus; anything else is no number.
    void tickValues() {
        // clang-format off
        const std::pair<const char*, double> kTexts[] = {
            {"250", 250}, {" 0.25 ", 0.25}, {".5", 0.5}, {"-2", -2}, {"+3", 3}, {"\xE2\x88\x92" "2", -2},
            {"\xE2\x80\x93" "0.5", -0.5}, {"\xE2\x80\x90" "1", -1}, {"1 000", 1000},
            {"", NAN}, {"-", NAN}, {".", NAN}, {"1.2.3", NAN}, {"12a", NAN}, {"--2", NAN}, {"2-", NAN}, {"O", NAN},
            {"1234567890123", NAN},
            // a leading zero before more digits is a fraction's, its point lost
            {"025", 0.25}, {"000", 0}, {"-05", -0.5}, {"010", 0.1}, {"0", 0}, {"10", 10}};
        // clang-format on
        for (const auto& [text, value] : kTexts) {
            const std::optional<double> read = TickValue(text);
            QVERIFY2(std::isnan(value) ? !read : read && *read == value, text);
        }
    }

    // Curve labels with and without the grid's name (or with its '=' alone) and the unit; whether a sign was
    // written. In a number, an l or an O read for the digit it looks like, and an O alone before a unit.
    void curveLabels() {
        // clang-format off
        const std::tuple<const char*, double, bool> kTexts[] = {
            {"Vg = -2V", -2, true}, {"EC=0", 0, false}, {"Ec1 = -4 VOLTS", -4, true}, {"-1", -1, true}, {"0V", 0, false},
            {"+2", 2, true}, {"2", 2, false}, {"\xE2\x88\x92" "8V", -8, true}, {"Eg=\xE2\x80\x93" "1.5 volt", -1.5, true},
            {"vg-6", -6, true}, {"Ug1 = -2 V", -2, true}, {"Ecl=-4", -4, true}, {"VGK=0", 0, false}, {"ug+1", 1, true}, {"Vg 2", NAN, false}, {"V", NAN, false}, {"Vg=", NAN, false}, {"-2A", NAN, false},
            {"Ec=-2V=", NAN, false}, {"-l", -1, true}, {"Vg=-O.5V", -0.5, true}, {"1O", 10, false}, {"l", NAN, false}, {"O", NAN, false}, {"+o", NAN, false},
            {"Ec=OV", 0, false}, {"Vg=-O", NAN, false}, {"=-2V", -2, true}, {"=0", 0, false}, {"=", NAN, false}, {"==-2", NAN, false}, {"=O", NAN, false},
            {"Vg=-8V-", -8, true}, {"-8-", NAN, false}, {"Vg=-8V--", NAN, false}, {"V-", NAN, false},
            {"Ecs-4V", -4, true}, {"Ece-4V", -4, true}, {"EC--4", -4, true}, {"Ecs4V", NAN, false}, {"Ecs", NAN, false},
            {"EcOv", 0, false}, {"Ec0", 0, false}, {"Ec2V", NAN, false}, {"Ec10V", NAN, false}, {"EcO.5", NAN, false},
            {"OV", 0, false}, {"O volts", 0, false}, {"-OV", NAN, false}, {"OO", NAN, false},
            // a name read in part or after a curve's dash, and a curve's dash after the number
            {"-c=-2-", -2, true}, {"=c=-3", -3, true}, {"-Vg=-6V", -6, true}, {"=Ec=-20", -20, true}, {"Ec=-3-", -3, true},
            {"=-8-", -8, true}, {"Ec=-3--", NAN, false}, {"-2-", NAN, false}, {"E-=92", NAN, false}, {"-2-=57", NAN, false},
            {"abc=-2", NAN, false}, {"--c=-2", NAN, false}, {"c=", NAN, false}};
        // clang-format on
        for (const auto& [text, volts, signWritten] : kTexts) {
            const std::optional<CurveLabel> read = CurveLabelValue(text);
            QVERIFY2(std::isnan(volts) ? !read : read && read->volts == volts && read->signWritten == signWritten,
                     text);
        }
        // Named only by a grid's name read whole.
        const std::pair<const char*, bool> kNames[] = {{"Vg=-2V", true}, {"-Vg=-6V", true}, {"=Ec=-3", true},
                                                       {"c=-5", false},  {"=-2V", false},   {"-2", false}};
        for (const auto& [text, named] : kNames)
            QVERIFY2(CurveLabelValue(text)->gridNamed == named, text);
    }

    // Six labels, one misread and one stray: the line through the others, both set aside.
    // Fewer than three numbers, or numbers that do not step evenly (a log axis), give none.
    void axisScales() {
        std::vector<AxisLabel> labels = Evenly(100, 60, 0, 50, 6);
        labels[2].value = 10;        // "100" read as "10"
        labels.push_back({130, 7});  // a stray digit between two labels
        labels.push_back({150, 50}); // a grid voltage printed a sixth of a step off the 50
        const AxisScaleResult x = FitAxisScale(labels);
        QVERIFY2(x.scale, x.problem.c_str());
        QVERIFY(std::abs(x.scale->valueAt(400) - 250) < 1e-9 && std::abs(x.scale->positionOf(0) - 100) < 1e-9);
        QVERIFY(x.scale->step == 50 && x.scale->used == 5 && x.scale->setAside.size() == 3);
        // The current axis, upward: values grow as the position falls.
        const AxisScaleResult y = FitAxisScale(Evenly(600, -50, 0, 0.5, 11));
        QVERIFY(y.scale && std::abs(y.scale->valueAt(100) - 5) < 1e-9 && y.scale->step == 0.5);
        QCOMPARE(FitAxisScale(Evenly(100, 60, 0, 50, 2)).problem, "fewer than three numbers were read");
        std::vector<AxisLabel> log = {{100, 1}, {200, 10}, {300, 100}, {400, 1000}};
        QCOMPARE(FitAxisScale(log).problem, "the numbers read do not step evenly along the axis");
        QVERIFY(FitAxisScale(Evenly(100, 60, 0, 50, 3)).scale);
        // Numbers that contradict the three on a line, at its labels' places: two are outvoted (a
        // second reading at a number's place counts no further, a stray a third of a step off not at all),
        // three are as many as agree.
        std::vector<AxisLabel> doubling = {{100, 0},   {160, 50}, {220, 100}, {280, 200},
                                           {340, 400}, {100, 8},  {280, 20},  {380, 9}};
        QVERIFY(FitAxisScale(doubling).scale);
        doubling.push_back({400, 800});
        QCOMPARE(FitAxisScale(doubling).problem, "the numbers read contradict each other");
    }

    // The current axis's unit by its full scale's size: above 2 it is numbered in mA.
    void plateCurrentUnits() {
        const std::tuple<double, double, bool> kScales[] = {
            {250, 0.25, true}, {2.5, 0.0025, true}, {2, 2, false}, {0.04, 0.04, false}};
        for (const auto& [printed, amps, milliamps] : kScales) {
            const PlateCurrent current = PlateCurrentOf(printed);
            QVERIFY(current.amps == amps && current.inMilliamps == milliamps);
        }
    }

    // The current axis's unit by its title, read whole or with letters lost ("" for none).
    void plateCurrentTitles() {
        const std::pair<const char*, const char*> kTitles[] = {{"PLATE MILLIAMPERES (Ib)", "mA"},
                                                               {"PLATEWALLIAMPERES()", "mA"},
                                                               {"Ib (mA)", "mA"},
                                                               {"PLATE AMPERES", "A"},
                                                               {"PLATEAMPERES", "A"},
                                                               {"Ia (A)", "A"},
                                                               {"Anode current [mA]", "mA"},
                                                               {"Ia [A]", "A"},
                                                               {"PLATE CURRENT", ""},
                                                               {"MICROAMPERES", ""},
                                                               {"", ""}};
        for (const auto& [title, unit] : kTitles) {
            const auto milliamps = TitleInMilliamps(title);
            QCOMPARE(milliamps ? (*milliamps ? "mA" : "A") : "", unit);
        }
    }

    // A box edge reads to the nearest tenth of the labels' step.
    void snappedEdges() {
        const AxisScale scale = *FitAxisScale(Evenly(100, 60, 0, 50, 6)).scale;
        QCOMPARE(SnappedValue(scale, 400.3), 250.0);
        QCOMPARE(SnappedValue(scale, 100 + 60 * 5.5), 275.0);
        QCOMPARE(SnappedValue(scale, 100 + 60 * 5.26), 265.0);
        QCOMPARE(SnappedValue(scale, 100 + 60 * 5.24), 260.0);
    }

    // The family from the curve labels read in the family's order: a lost minus mended (a number with neither
    // sign nor name is negative), a misread or misplaced label set aside (a lone digit off the family, a stroke
    // of curve, not counted against it), up to two curves without a label
    // between two with one; in
    // small print ('~'), a lost point mended too where only that makes the labels step evenly.
    void gridVoltages() {
        // clang-format off
        const std::pair<std::vector<const char*>, const char*> kFamilies[] = {
            {{"0", "-2", "-4", "-6", "-8", "-10", "-12", "-14", "-16", "-18", "-20"}, "0 -20 2 0 0"},
            {{"Vg=0V", "2", "-6", "-10V"}, "0 -10 2 1 0"},
            {{"0", "-1", "-3"}, "0 -3 1 0 0"}, {{"0", "2", "-4"}, "0 -4 2 1 0"},
            {{"0", "-2", "-9"}, "the curve labels read do not step evenly from curve to curve"},
            {{"0", "-2", "-4", "-17", "-33"}, "the curve labels read do not step evenly from curve to curve"},
            {{"0", "-2", "-4", "+7", "+1", "+5"}, "the curve labels read do not step evenly from curve to curve"},
            {{"Ec=0", "05", "-2", "3", "35"}, "the last curve label read does not agree with the others"},
            {{"0", "+7", "-1", "-2", "+9", "-3"}, "0 -3 1 0 2"},
            {{"+16", "+9", "+2"}, "the curve labels read do not reach 0 V (a label may be missing)"},
            {{"4", "0", "-2", "-4", "-6"}, "0 -6 2 0 1"}, {{"Ec=2", "0", "-4", "-6"}, "2 -6 2 0 0"},
            {{"0", "-2", "-8", "-10"}, "0 -10 2 0 0"}, {{"0", "-2", "-4", "-6", "-9", "-10", "-12", "-14", "-16"}, "0 -16 2 0 1"},
            {{"0", "4", "-20", "20", "4", "4", "-50", "2", "-70"}, "0 -70 10 0 5"},
            {{"0", "44", "-20", "20", "44", "4", "-50", "2", "-70"}, "the curve labels read do not step evenly from curve to curve"},
            {{"0", "-4", "-20", "20", "-4", "4", "-50", "2", "-70"}, "the curve labels read do not step evenly from curve to curve"},
            {{"0", "-2", "-10", "-12"}, "the curve labels read do not step evenly from curve to curve"},
            {{"-1", "-2", "-4"}, "the curve labels read do not reach 0 V (a label may be missing)"},
            {{"0", "-1", "-2", "-2.5", "-3"}, "0 -3 0.5 0 0"},
            {{"0", "-2", "-2.5", "-3"}, "the curve labels read do not reach 0 V (a label may be missing)"},
            {{"+10", "+5", "0", "-20", "-5"}, "10 -5 5 0 1"},
            {{"+10", "+5", "0", "-5", "-25"}, "the last curve label read does not agree with the others"},
            {{"0", "-2", "-4", "-6", "-6"}, "the last curve label read does not agree with the others"},
            {{"0", "-2", "-4", "-16", "-8"}, "0 -8 2 0 1"},
            {{"0", "-3", "-4", "-9"}, "0 -9 3 0 1"},
            {{"0", "-1", "-5", "-8"}, "the curve labels read do not step evenly from curve to curve"},
            {{"-4", "-2", "0"}, "the curve labels read do not step evenly from curve to curve"},
            {{"0", "0", "0"}, "the curve labels read do not step evenly from curve to curve"},
            {{"-6", "-8"}, "fewer than three curve labels were read"},
            {{"~Ec=0", "~0.5", "~15", "~2", "~2.5", "~3", "~35", "~4"}, "0 -4 0.5 7 0"},
            {{"~0", "~-05", "~-1", "~-15V"}, "0 -1.5 0.5 2 0"},
            {{"~0", "~-5", "~-10", "~-15", "~-20"}, "0 -20 5 0 0"}, {{"~05", "~0", "~-05", "~-1"}, "0 -1 0.5 1 1"},
            {{"~0", "~-10", "~-20", "~-3", "~-40"}, "0 -40 10 0 1"}};
        // clang-format on
        for (const auto& [texts, expected] : kFamilies) {
            std::vector<CurveLabel> labels;
            for (const char* text : texts) {
                const bool small = text[0] == '~';
                labels.push_back(*CurveLabelValue(text + small));
                labels.back().pointMayBeLost = small && PointMayBeLost(text + small);
            }
            const GridVoltagesResult read = GridVoltagesOf(labels);
            const QString shown = read.grids ? QString("%1 %2 %3 %4 %5")
                                                   .arg(read.grids->mostPositive)
                                                   .arg(read.grids->mostNegative)
                                                   .arg(read.grids->step)
                                                   .arg(read.grids->mended)
                                                   .arg(read.grids->setAside)
                                             : QString::fromStdString(read.problem);
            QCOMPARE(shown, QString(expected));
        }
        // Curves counted before the first label and after the last carry the family on.
        const std::vector<CurveLabel> middle{*CurveLabelValue("-2"), *CurveLabelValue("-4"), *CurveLabelValue("-6")};
        QCOMPARE(GridVoltagesOf(middle, 1, 2).grids->mostNegative, -10.0);
        QCOMPARE(GridVoltagesOf(middle, 1, 0).grids->mostNegative, -6.0);
    }

    // What a label stands for in the family found, shown on the picture: as read, or with the minus or the point
    // it lost where only that lies on a curve of the family.
    void labelValuesInTheFamily() {
        const GridVoltages small{0, -4, 0.5, 0, 0}, large{0, -40, 5, 0, 0};
        // clang-format off
        const std::tuple<const char*, bool, const GridVoltages&, double> kLabels[] = {
            {"15", true, small, -1.5}, {"35", true, large, -35}, {"-35", true, small, -3.5}, {"05", true, small, -0.5},
            {"3", false, small, -3}, {"0", false, small, 0}, {"45", true, small, 45}, {"15", false, small, 15},
            {"-4", false, small, -4}, {"4.5", false, small, 4.5}};
        // clang-format on
        for (const auto& [text, pointMayBeLost, family, expected] : kLabels) {
            CurveLabel label = *CurveLabelValue(text);
            label.pointMayBeLost = pointMayBeLost;
            QCOMPARE(LabelValueIn(label, family), expected);
        }
        for (const auto& [text, lost] : {std::pair{"35", true},
                                         {"-05V", true},
                                         {"Ec=-15", true},
                                         {"-10", false},
                                         {"3.5", false},
                                         {"5", false},
                                         {"Vg1=15", false},
                                         {"", false}})
            QCOMPARE(PointMayBeLost(text), lost);
    }
};

QTEST_APPLESS_MAIN(tst_AxisLabels)
#include "tst_AxisLabels.moc"
