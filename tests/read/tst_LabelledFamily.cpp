// The family's ends from the digitizer's curves where labels are missing: curves before the
// first label counted where they carry the family to 0 V, curves after the last counted where
// they are spaced as the family is, anything else refused; and a text left unread past the
// last label. The pieces of ink taken for characters. The labels' order along the family. A
// legend's points lost in small print put back where its entries show how many digits follow.

#include "read/LabelGroups.h"
#include "read/LabelInk.h"
#include "read/LabelMarks.h"
#include "read/LabelledFamily.h"
#include "read/Legend.h"
#include "read/LegendFamily.h"

#include <opencv2/imgproc.hpp>

#include <QtTest>

using namespace valvix;
using namespace valvix::read;

namespace {

const PlotBox kBox{100, 900, 50, 650, 0};
constexpr double kHeight = 10; // the printed characters' height

// A straight slanted curve through (x, 0) in the box's pixels, rising 2 px per px across.
fit::PrintedTrace Slanted(double x) {
    fit::PrintedTrace trace;
    for (double y = 0; y <= 600; y += 10)
        trace.points.push_back({x + y / 2, 0, y});
    return trace;
}

// A label along the curve through (x, 0), `up` px up the box, named with its grid voltage.
FoundCurveLabel LabelOn(double x, double volts, double up = 300) {
    FoundCurveLabel label;
    label.at =
        cv::RotatedRect(cv::Point2f(float(kBox.left + x + up / 2 - 4), float(kBox.bottom - up)), cv::Size2f(40, 10), 0);
    label.label = {volts, volts != 0, true};
    return label;
}

// A family read as "most positive, most negative, step", or why none was.
QString Shown(const GridVoltagesResult& read) {
    return read.grids
               ? QString("%1 %2 %3").arg(read.grids->mostPositive).arg(read.grids->mostNegative).arg(read.grids->step)
               : QString::fromStdString(read.problem);
}

} // namespace

class tst_LabelledFamily final : public QObject {
    Q_OBJECT

private slots:
    void familyEnds_data() {
        QTest::addColumn<QList<double>>("curves"); // where each traced curve meets the bottom
        QTest::addColumn<int>("firstLabelled");    // the first of them labelled
        QTest::addColumn<int>("labelled");
        QTest::addColumn<double>("firstVolts"); // its label, the others 2 V apart on every curve
        QTest::addColumn<int>("every");         // or on every other curve, their labels lost
        QTest::addColumn<int>("offCurves");     // the last labels away from every curve
        QTest::addColumn<QString>("family");
        const QList<double> four{100, 160, 220, 280};
        QTest::newRow("all labelled") << four << 0 << 4 << 0.0 << 1 << 0 << "0 -6 2";
        QTest::newRow("the first unlabelled, counted") << four << 1 << 3 << -2.0 << 1 << 0 << "0 -6 2";
        QTest::newRow("one more before, not counted")
            << (QList<double>{40} << four) << 2 << 3 << -2.0 << 1 << 0
            << "the curve labels read do not reach 0 V (a label may be missing)";
        QTest::newRow("two unlabelled after")
            << (QList<double>(four) << 340 << 400) << 0 << 4 << 0.0 << 1 << 0 << "0 -10 2";
        QTest::newRow("a line just before the last, two after")
            << (QList<double>(four) << 340 << 400 << 268) << 0 << 4 << 0.0 << 1 << 0 << "0 -10 2";
        QTest::newRow("bunched after, counted") << (QList<double>(four) << 310) << 0 << 4 << 0.0 << 1 << 0 << "0 -8 2";
        QTest::newRow("a stray close after") << (QList<double>(four) << 303) << 0 << 4 << 0.0 << 1 << 0
                                             << "curves past the last label read are not labelled";
        const QList<double> seven{100, 130, 160, 190, 220, 250, 280};
        QTest::newRow("seven labelled") << seven << 0 << 7 << 0.0 << 1 << 0 << "0 -12 2";
        QTest::newRow("every other label lost")
            << seven << 0 << 4 << 0.0 << 2 << 0 << "the digitizer finds more curves between the labels than their step";
        QTest::newRow("a stray far after") << (QList<double>(four) << 440) << 0 << 4 << 0.0 << 1 << 0
                                           << "curves past the last label read are not labelled";
        // Where the curves cross only two labels, the one step measured must skip two curves
        // (a load line may make one).
        QTest::newRow("two curves a step, measured once")
            << (QList<double>{100, 130, 160}) << 0 << 3 << 0.0 << 2 << 1 << "0 -4 2";
        QTest::newRow("three curves a step, measured once")
            << seven << 0 << 3 << 0.0 << 3 << 1 << "the digitizer finds more curves between the labels than their step";
        // Where no step is measured, the curves crossing a label's height may outnumber the
        // family by a load line and the dissipation limit, no more.
        QTest::newRow("two lines more than the family")
            << (QList<double>{100, 130, 160, 190, 220}) << 0 << 3 << 0.0 << 1 << 2 << "0 -4 2";
        QTest::newRow("three lines more than the family")
            << (QList<double>{100, 130, 160, 190, 220, 250}) << 0 << 3 << 0.0 << 1 << 2
            << "the digitizer finds more curves than the labels' family has";
    }
    void familyEnds() {
        QFETCH(QList<double>, curves);
        QFETCH(int, firstLabelled);
        QFETCH(int, labelled);
        QFETCH(double, firstVolts);
        QFETCH(int, every);
        QFETCH(int, offCurves);
        QFETCH(QString, family);
        std::vector<fit::PrintedTrace> traces;
        traces.reserve(std::size_t(curves.size()));
        for (const double x : curves)
            traces.push_back(Slanted(x));
        std::vector<FoundCurveLabel> labels;
        labels.reserve(std::size_t(labelled));
        for (int n = 0; n < labelled; ++n)
            labels.push_back(LabelOn(n < labelled - offCurves ? curves[firstLabelled + n * every] : 700 + 20.0 * n,
                                     firstVolts - 2.0 * n));
        const GridVoltagesResult read = FamilyOfLabels(labels, kBox, traces, kHeight);
        QCOMPARE(Shown(read), family);
    }

    // The last labels stand right of the box where their curves leave it, their centres
    // further from the curves' ends than the labels' reach; the curves between them count.
    void labelsBeyondTheEnds_data() {
        QTest::addColumn<int>("every"); // labelled curves, the others' labels lost
        QTest::addColumn<QString>("family");
        QTest::newRow("every curve") << 1 << "0 -6 2";
        QTest::newRow("every other") << 2 << "the digitizer finds more curves between the labels than their step";
    }
    void labelsBeyondTheEnds() {
        QFETCH(int, every);
        QFETCH(QString, family);
        std::vector<fit::PrintedTrace> traces;
        for (int n = 0; n <= 3 * every; ++n) {
            fit::PrintedTrace trace = Slanted(500 + 30.0 * n);
            std::erase_if(trace.points, [](const fit::ChartPoint& p) { return p.vp > 800; });
            traces.push_back(trace);
        }
        std::vector<FoundCurveLabel> labels{LabelOn(500, 0), LabelOn(500 + 30.0 * every, -2)};
        for (const int n : {2, 3}) {
            const fit::ChartPoint end = traces[std::size_t(n) * std::size_t(every)].points.back();
            FoundCurveLabel label = LabelOn(0, -2.0 * n);
            label.at = cv::RotatedRect(cv::Point2f(float(kBox.right + 35), float(kBox.bottom - end.ip - 12)),
                                       cv::Size2f(60, 10), 0);
            labels.push_back(label);
        }
        const GridVoltagesResult read = FamilyOfLabels(labels, kBox, traces, kHeight);
        QCOMPARE(Shown(read), family);
    }

    // A curve leaving through the box's right edge below the labels' height crosses no height
    // they stand at: unlabelled, it leaves the family's end unknown. Labelled at its end right
    // of the box, it is the last; its trace may break just below its label, a character short.
    void curveLeavingBelowTheLabels_data() {
        QTest::addColumn<bool>("lastLabelled");
        QTest::addColumn<double>("lastBreaksAt"); // its trace, how high; 0: whole
        QTest::addColumn<QString>("family");
        QTest::newRow("unlabelled") << false << 0.0 << "curves past the last label read are not labelled";
        QTest::newRow("labelled") << true << 0.0 << "0 -8 2";
        QTest::newRow("labelled, broken a character below") << true << 510.0 << "0 -8 2";
        QTest::newRow("labelled, broken further below")
            << true << 500.0 << "curves past the last label read are not labelled";
    }
    void curveLeavingBelowTheLabels() {
        QFETCH(bool, lastLabelled);
        QFETCH(double, lastBreaksAt);
        QFETCH(QString, family);
        std::vector<fit::PrintedTrace> traces;
        std::vector<FoundCurveLabel> labels;
        for (int n = 0; n < 5; ++n) { // the last leaves through the right edge 520 px up
            fit::PrintedTrace trace = Slanted(300 + 60.0 * n);
            std::erase_if(trace.points, [](const fit::ChartPoint& p) { return p.vp > 800; });
            traces.push_back(trace);
            if (n < 4)
                labels.push_back(LabelOn(300 + 60.0 * n, -2.0 * n, 560));
        }
        if (lastBreaksAt > 0) {
            fit::PrintedTrace above{{traces.back().points.back()}};
            std::erase_if(traces.back().points, [&](const fit::ChartPoint& p) { return p.ip > lastBreaksAt; });
            traces.push_back(above);
        }
        if (lastLabelled) {
            FoundCurveLabel label = LabelOn(0, -8);
            label.at.center = cv::Point2f(float(kBox.right + 25), float(kBox.bottom - 520 - 8));
            labels.push_back(label);
        }
        const GridVoltagesResult read = FamilyOfLabels(labels, kBox, traces, kHeight);
        QCOMPARE(Shown(read), family);
    }

    void legendPoints_data() {
        QTest::addColumn<QStringList>("entries"); // as read, top to bottom
        QTest::addColumn<QString>("family");      // nothing: none
        QTest::newRow("two show one digit after the point")
            << QStringList{"Vg=00V", "Vg=-0.5V", "Vg=-10V", "Vg=-15V", "Vg=-20V", "Vg=-2.5V", "Vg=-30V"} << "0 -3 0.5";
        QTest::newRow("a zero shows it alone")
            << QStringList{"Vg=0.0V", "Vg=-10V", "Vg=-20V", "Vg=-30V", "Vg=-40V"} << "0 -4 1";
        QTest::newRow("a zero shows it, an entry too short to have lost one")
            << QStringList{"0.0", "-5", "-10", "-15"} << "";
        QTest::newRow("a zero shows it, an entry that lost its point and digit")
            << QStringList{"0.0", "-0.5", "-1.0", "-15", "-2"} << "0 -2 0.5";
        QTest::newRow("two digits after the point")
            << QStringList{"0.00", "-025", "-0.50", "-075", "-100"} << "0 -1 0.25";
        QTest::newRow("one shows it, not a zero: as read") << QStringList{"0", "-0.5", "-1"} << "0 -1 0.5";
        QTest::newRow("points where the numbers need them: as read")
            << QStringList{"0 V", "-2.5 V", "-5 V", "-7.5 V", "-10 V", "-12.5 V"} << "0 -12.5 2.5";
        QTest::newRow("a point shown without its digits") << QStringList{"0.0", "-10.0", "-20.", "-300"} << "0 -30 10";
    }
    void legendPoints() {
        QFETCH(QStringList, entries);
        QFETCH(QString, family);
        std::vector<FoundCurveLabel> labels;
        for (const QString& entry : entries) {
            FoundCurveLabel label;
            label.text = entry.toStdString();
            label.label = CurveLabelValue(label.text).value();
            labels.push_back(label);
        }
        const std::optional<CurveLabels> read = FamilyInOrder(labels);
        const auto& grids = read ? read->grids.grids : std::nullopt;
        QCOMPARE(grids ? QString("%1 %2 %3").arg(grids->mostPositive).arg(grids->mostNegative).arg(grids->step) : "",
                 family);
    }

    // A zero read "00" lost its point; so may the others, unless every other shows its own.
    void zeroWithoutItsPoint_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("family"); // whether the labels gave one
        QTest::addColumn<bool>("refused");
        QTest::newRow("00 and another without a point") << QStringList{"00", "-1.0", "-20"} << true << true;
        QTest::newRow("00, every other with its point") << QStringList{"00", "-1.0", "-2.0"} << true << false;
        QTest::newRow("the zero with its point") << QStringList{"0.0", "-10", "-20"} << true << false;
        QTest::newRow("two digits not a zero's") << QStringList{"0.0", "-10", "-120"} << true << false;
        QTest::newRow("no family read") << QStringList{"00", "-1.0", "-20"} << false << false;
    }
    void zeroWithoutItsPoint() {
        QFETCH(QStringList, texts);
        QFETCH(bool, family);
        QFETCH(bool, refused);
        CurveLabels found;
        for (const QString& text : texts) {
            FoundCurveLabel label;
            label.text = text.toStdString();
            label.label = CurveLabelValue(label.text).value();
            found.labels.push_back(label);
        }
        if (family)
            found.grids.grids = GridVoltages{0, -2, 1, 0, 0};
        QCOMPARE(ZeroReadWithoutItsPoint(found), refused);
    }

    // A group of marks is one line of text up to 1.8 character heights thick, however turned.
    void oneTextLine() {
        const std::pair<cv::RotatedRect, bool> kGroups[] = {
            {{{50, 50}, {40, 10}, 0}, true},  {{{50, 50}, {40, 18}, 0}, true},   {{{50, 50}, {40, 19}, 0}, false},
            {{{50, 50}, {10, 40}, 45}, true}, {{{50, 50}, {23, 40}, 30}, false}, {{{50, 50}, {15, 15}, 0}, true}};
        for (const auto& [at, oneLine] : kGroups)
            QCOMPARE(IsOneTextLine(at, kHeight), oneLine);
    }

    // Of the pieces of ink left where the curves were taken out, those the size of a character
    // stay, characters run together among them (by a grid line's dots) up to 3.5 character
    // heights long and 1.9 across; straight stretches of curve go, from 1.3 character heights
    // long and three times as long as wide.
    void characterSized() {
        struct Piece {
            cv::Point from, to;
            int width;
            bool kept;
        };
        const Piece kPieces[] = {{{20, 40}, {29, 31}, 2, false}, {{20, 40}, {27, 33}, 2, true},
                                 {{20, 40}, {33, 40}, 4, false}, {{20, 40}, {25, 35}, 5, true},
                                 {{16, 30}, {24, 30}, 9, true},  {{20, 40}, {34, 40}, 1, false},
                                 {{10, 30}, {30, 30}, 14, true}, {{10, 30}, {34, 30}, 14, false},
                                 {{15, 30}, {25, 30}, 18, true}, {{15, 30}, {25, 30}, 21, false}};
        for (const Piece& piece : kPieces) {
            cv::Mat1b ink(60, 60, std::uint8_t(0));
            cv::line(ink, piece.from, piece.to, 255, piece.width, cv::LINE_8);
            QVERIFY2((cv::countNonZero(CharacterSized(ink, kHeight)) > 0) == piece.kept,
                     qPrintable(QString("%1 %2").arg(piece.to.x).arg(piece.width)));
        }
    }

    // A speck (up to a tenth of a square character height) joined to a line of text, up to a
    // quarter of a character height beyond the line's band, is part of the text; further off, it
    // is not. Beside a line shorter than one and a half character heights, or larger, it stays.
    void straySpecks() {
        struct Speck {
            int textWidth;
            cv::Rect speck;
            bool kept;
        };
        // clang-format off
        const Speck kSpecks[] = {{30, {30, 31, 2, 1}, true}, {30, {30, 32, 2, 2}, false}, {30, {30, 16, 2, 2}, false},
                                 {30, {30, 32, 3, 4}, true}, {30, {30, 32, 3, 3}, false},
                                 {15, {25, 32, 2, 2}, true}, {17, {25, 32, 2, 2}, false}};
        // clang-format on
        for (const Speck& speck : kSpecks) {
            cv::Mat1b ink(60, 80, std::uint8_t(0));
            ink(cv::Rect(20, 20, speck.textWidth, 10)).setTo(255);
            ink(speck.speck).setTo(255);
            const std::vector<Mark> marks = Groups(ink, kHeight, {-1, -1});
            QCOMPARE(marks.size(), std::size_t(1));
            QVERIFY2((marks[0].ink(speck.speck.tl()) != 0) == speck.kept, qPrintable(QString::number(speck.speck.y)));
            QVERIFY(std::abs(std::max(marks[0].at.size.width, marks[0].at.size.height) - speck.textWidth) < 2 ||
                    speck.kept);
        }
    }

    // A text left unread further along the family than the last label (below it at the right
    // edge, or right of it) leaves the end unknown; one before it, or a piece of it, does not.
    void unreadPastTheLast() {
        std::vector<FoundCurveLabel> labels{LabelOn(100, 0), LabelOn(160, -2), LabelOn(220, -4)};
        const cv::Point2f last = labels.back().at.center;
        const FamilyPlaces unmeasured(kBox, {});
        const std::pair<cv::Point2f, bool> kUnread[] = {
            {last + cv::Point2f(60, 0), true},   {last + cv::Point2f(0, 40), true},
            {last + cv::Point2f(-60, 0), false}, {last + cv::Point2f(0, -40), false},
            {last + cv::Point2f(28, 0), false},  {last + cv::Point2f(35, -20), false}};
        for (const auto& [at, past] : kUnread)
            QVERIFY2(UnreadPastTheLast(labels, {at}, unmeasured, kHeight) == past,
                     qPrintable(QString("%1 %2").arg(at.x).arg(at.y)));
        QVERIFY(!UnreadPastTheLast(labels, {}, unmeasured, kHeight));
        // Past the labels' spacing but within half a long last label and a character of it:
        // a piece of that label.
        labels.back().at.size.width = 80;
        QVERIFY(!UnreadPastTheLast(labels, {last + cv::Point2f(45, 0)}, unmeasured, kHeight));
        QVERIFY(UnreadPastTheLast(labels, {last + cv::Point2f(55, 0)}, unmeasured, kHeight));
    }

    // Labels at the curves' ends go in the family's order by the curves' own shape, however
    // high each curve stops; without curves, up and left first, which a curve stopping high
    // further right defeats. The curves follow a 1.3 power, each 70 px right of the last.
    void familyOrder_data() {
        QTest::addColumn<bool>("withCurves");
        QTest::addColumn<QList<double>>("ends"); // how high each curve stops, in box pixels
        QTest::addColumn<QList<int>>("order");   // the curves whose labels come first to last
        const QList<double> ends{200, 560, 330, 150, 140};
        QTest::newRow("by the shape") << true << ends << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("up and left, misled by a curve stopping high") << false << ends << QList<int>{1, 2, 0, 3, 4};
        QTest::newRow("by the shape, as high")
            << true << QList<double>{300, 300, 300, 300, 300} << QList<int>{0, 1, 2, 3, 4};
    }
    void familyOrder() {
        QFETCH(bool, withCurves);
        QFETCH(QList<double>, ends);
        QFETCH(QList<int>, order);
        std::vector<fit::PrintedTrace> curves;
        std::vector<cv::Point2f> labels;
        for (int n = 0; n < ends.size(); ++n) {
            fit::PrintedTrace curve;
            double x = 70 * n;
            for (double y = 0; y <= ends[n]; x += 1, y = 0.9 * std::pow(x - 70 * n, 1.3))
                curve.points.push_back({x, 0, y});
            curves.push_back(curve);
            const fit::ChartPoint& end = curve.points.back();
            labels.emplace_back(float(kBox.left + end.vp + 24), float(kBox.bottom - end.ip));
        }
        // A load line, which the shape must not follow.
        fit::PrintedTrace loadLine;
        for (double x = 0; x <= 600; x += 5)
            loadLine.points.push_back({x, 0, 600 - x});
        curves.push_back(loadLine);
        const FamilyPlaces places(kBox, withCurves ? curves : std::vector<fit::PrintedTrace>{});
        // Along each curve the place stays, 70 px on from the last curve's (to 5 px where only one
        // curve reaches and the shape runs on as measured below).
        for (std::size_t n = 0; withCurves && n < 5; ++n) {
            for (const std::size_t i : {std::size_t{20}, curves[n].points.size() - 1}) {
                const fit::ChartPoint& on = curves[n].points[i];
                const cv::Point2f at(float(kBox.left + on.vp), float(kBox.bottom - on.ip));
                QVERIFY2(std::abs(places.at(at) - 70.0 * double(n)) < 5,
                         qPrintable(QString("%1 %2").arg(on.ip).arg(places.at(at) - 70.0 * double(n))));
            }
        }
        QList<int> sorted{0, 1, 2, 3, 4};
        std::sort(sorted.begin(), sorted.end(),
                  [&](int a, int b) { return places.at(labels[std::size_t(a)]) < places.at(labels[std::size_t(b)]); });
        QCOMPARE(sorted, order);
    }

    // A legend's column of seven entries 10 px high, 14 px apart: the fourth made `taller` above
    // (negative) or below, as a curve across its text makes it, its middle off the step. It stays
    // in the column by its other edge.
    void legendColumnOfCrossedEntries_data() {
        QTest::addColumn<int>("taller");
        QTest::newRow("taller above") << -4;
        QTest::newRow("taller below") << 4;
    }
    void legendColumnOfCrossedEntries() {
        QFETCH(int, taller);
        std::vector<cv::Rect> lines;
        lines.reserve(7);
        for (int n = 0; n < 7; ++n)
            lines.emplace_back(500, 100 + 14 * n, 60, 10);
        lines[3].y += std::min(0, taller);
        lines[3].height += std::abs(taller);
        QCOMPARE(LegendColumn(lines, kHeight).size(), std::size_t{7});
    }
};

QTEST_APPLESS_MAIN(tst_LabelledFamily)
#include "tst_LabelledFamily.moc"
