// The family's ends from the digitizer's curves where labels are missing: curves before the
// first label counted where they carry the family to 0 V, curves after the last counted where
// they are spaced as the family is, anything else refused; and a text left unread past the
// last label. The pieces of ink taken for characters.

#include "read/LabelInk.h"
#include "read/LabelMarks.h"
#include "read/LabelledFamily.h"

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

// A label along the curve through (x, 0), at 300 px up the box, named with its grid voltage.
FoundCurveLabel LabelOn(double x, double volts) {
    FoundCurveLabel label;
    label.at =
        cv::RotatedRect(cv::Point2f(float(kBox.left + x + 150 - 4), float(kBox.bottom - 300)), cv::Size2f(40, 10), 0);
    label.label = {volts, volts != 0, true};
    return label;
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
        QCOMPARE(
            read.grids
                ? QString("%1 %2 %3").arg(read.grids->mostPositive).arg(read.grids->mostNegative).arg(read.grids->step)
                : QString::fromStdString(read.problem),
            family);
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
    // stay, characters run together among them; straight stretches of curve go, from 1.3
    // character heights long and three times as long as wide.
    void characterSized() {
        struct Piece {
            cv::Point from, to;
            int width;
            bool kept;
        };
        const Piece kPieces[] = {{{20, 40}, {29, 31}, 2, false}, {{20, 40}, {27, 33}, 2, true},
                                 {{20, 40}, {33, 40}, 4, false}, {{20, 40}, {25, 35}, 5, true},
                                 {{16, 30}, {24, 30}, 9, true},  {{20, 40}, {34, 40}, 1, false}};
        for (const Piece& piece : kPieces) {
            cv::Mat1b ink(60, 60, std::uint8_t(0));
            cv::line(ink, piece.from, piece.to, 255, piece.width, cv::LINE_8);
            QVERIFY2((cv::countNonZero(CharacterSized(ink, kHeight)) > 0) == piece.kept,
                     qPrintable(QString("%1 %2").arg(piece.to.x).arg(piece.width)));
        }
    }

    // A text left unread further along the family than the last label (below it at the right
    // edge, or right of it) leaves the end unknown; one before it, or a piece of it, does not.
    void unreadPastTheLast() {
        std::vector<FoundCurveLabel> labels{LabelOn(100, 0), LabelOn(160, -2), LabelOn(220, -4)};
        const cv::Point2f last = labels.back().at.center;
        const std::pair<cv::Point2f, bool> kUnread[] = {{last + cv::Point2f(60, 0), true},
                                                        {last + cv::Point2f(0, 40), true},
                                                        {last + cv::Point2f(-60, 0), false},
                                                        {last + cv::Point2f(0, -40), false},
                                                        {last + cv::Point2f(28, 0), false}};
        for (const auto& [at, past] : kUnread)
            QVERIFY2(UnreadPastTheLast(labels, {at}, kBox, kHeight) == past, qPrintable(QString::number(at.x)));
        QVERIFY(!UnreadPastTheLast(labels, {}, kBox, kHeight));
    }
};

QTEST_APPLESS_MAIN(tst_LabelledFamily)
#include "tst_LabelledFamily.moc"
