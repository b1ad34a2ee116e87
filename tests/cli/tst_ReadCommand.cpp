// valvix-cli read, run as the built program on the shipped examples' pictures alone.

#include "cli/CliRun.h"
#include "plot/ChartGeometry.h"
#include "state/DesignFile.h"
#include "support/FileContents.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace valvix;
using test::RunCli;

class tst_ReadCommand final : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    const QString to = dir.filePath("read.VXF");

private slots:
    // The frame within 0.5 % of the box of the design made with the chart, the full scales
    // and the grid voltages exactly, a line on each; a value not read said to be left to
    // the user.
    void readsTheExamples_data() {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("said");
        QTest::addColumn<double>("lean"); // the picture turned so far clockwise first
        const QString sn7 = "Plate voltage full scale: 500 V|Plate current full scale: 0.03 A|numbered in mA as the "
                            "axis title says|Grid voltages: 0 V to "
                            "-20 V in steps of 2 V, from ";
        QTest::newRow("12AX7")
            << "example-12AX7"
            << "Plate voltage full scale: 300 V|Plate current full scale: 0.004 A|Grid voltages: 0 V to "
               "-4 V in steps of 0.5 V, from 8 of 8 curve labels read (7 read without the minus or "
               "point they must have)"
            << 0.0;
        QTest::newRow("6SN7") << "example-6SN7" << sn7 << 0.0;
        QTest::newRow("6SN7, leaning") << "example-6SN7"
                                       << sn7 + "|The picture leans 0.3|degrees: the frame lies on the axes once"
                                       << 0.3;
    }
    void readsTheExamples() {
        QFETCH(QString, example);
        QFETCH(QString, said);
        QFETCH(double, lean);
        const QString name = VALVIX_EXAMPLES_DIR "/" + example;
        QString picture = name + ".jpg";
        if (lean != 0) { // turned about its centre, as a scan leans
            const QImage upright(picture);
            QImage turned(upright.size(), QImage::Format_RGB32);
            turned.fill(Qt::white);
            QPainter turning(&turned);
            turning.setRenderHint(QPainter::SmoothPixmapTransform);
            turning.translate(upright.width() / 2.0, upright.height() / 2.0);
            turning.rotate(lean);
            turning.translate(-upright.width() / 2.0, -upright.height() / 2.0);
            turning.drawImage(0, 0, upright);
            turning.end();
            picture = dir.filePath("leaning.png");
            QVERIFY(turned.save(picture));
        }
        const auto run = RunCli({"read", "--picture", picture, "--out", to});
        QVERIFY2(run.status == 0 && run.err.empty(), run.err.c_str());
        for (const QString& line : said.split('|'))
            QVERIFY2(run.out.find(line.toStdString()) != std::string::npos, run.out.c_str());
        QVERIFY((run.out.find("The picture leans") != std::string::npos) == (lean != 0));
        Design read, made;
        QVERIFY(ReadDesignFile(to.toStdString(), read).ok && ReadDesignFile((name + ".VXF").toStdString(), made).ok);
        const double dx = 0.005 * (made.Xright - made.Xleft), dy = 0.005 * (made.Ybottom - made.Ytop);
        QVERIFY(std::abs(read.Xleft - made.Xleft) <= dx && std::abs(read.Xright - made.Xright) <= dx);
        QVERIFY(std::abs(read.Ytop - made.Ytop) <= dy && std::abs(read.Ybottom - made.Ybottom) <= dy);
        QVERIFY(read.PlateVoltageFullscale == made.PlateVoltageFullscale &&
                read.PlateCurrentFullscale == made.PlateCurrentFullscale);
        QVERIFY(read.GridVoltageMostPos == made.GridVoltageMostPos &&
                read.GridVoltageMostNeg == made.GridVoltageMostNeg && read.GridVoltageStep == made.GridVoltageStep);
    }

    // Charts a plotting program drew (Matplotlib: its fonts, legends, colours and margins;
    // curves by another tube law), read whole: the frame within 0.5 % of the axes' box as
    // the program placed it (picture pixels), every value and unit.
    void readsPlottedCharts_data() {
        QTest::addColumn<QString>("chart");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QRectF>("box"); // none where the reading is left unfinished
        const QString mA = " numbers read left of the box, numbered in mA as the axis title says.";
        // Tick numbers one digit wide bring the current axis's title close to them.
        QTest::newRow("legend, one-digit current numbers")
            << "small-signal-legend"
            << "full scale: 400 V, from 7 of 9|full scale: 0.005 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 7 of 7 curve labels read."
            << QRectF(QPointF(125, 84), QPointF(900, 623));
        QTest::newRow("labels at the curves' ends")
            << "medium-mu-end-labels"
            << "full scale: 400 V, from 7 of 9|full scale: 0.02 A, from 9 of 9" + mA +
                   "|Grid voltages: 0 V to -16 V in steps of 2 V, from 9 of 9 curve labels read."
            << QRectF(QPointF(112.5, 78), QPointF(810, 578.5));
        QTest::newRow("amperes, titled, legend below")
            << "power-triode-amperes"
            << "full scale: 500 V, from 5 of 6|full scale: 0.25 A, from 6 of 6 numbers read left of the box, "
               "numbered in A as the axis title says.|Grid voltages: 0 V to -90 V in steps of 10 V, from 10 of 10"
            << QRectF(QPointF(137.5, 96), QPointF(990, 712));
        // The top labels' '=' read as a dash ("Ec-0V"); the last ticks short of the far edge.
        QTest::newRow("serif, ticks inside, unlabelled far edge")
            << "ticks-in-serif"
            << "full scale: 450 V, from 9 of 9|full scale: 0.025 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -18 V in steps of 2 V, from 8 of 9 curve labels read."
            << QRectF(QPointF(112.5, 81), QPointF(810, 600.75));
        // A curve tracer's plots at 640 x 480, their legends' entries one below another.
        QTest::newRow("legend in the box, 11 entries")
            << "traced-legend-classic"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(100, 60), QPointF(720, 540));
        QTest::newRow("legend in the box, steps of 10.0")
            << "traced-tens-classic"
            << "full scale: 500 V, from 6 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 10 of 10 curve labels read."
            << QRectF(QPointF(100, 60), QPointF(720, 540));
        // Entries of 9 px read at three sizes: "Vg = 0.0 V" reads "Vg=00V" once and "Vg=0.0V" twice.
        QTest::newRow("legend, points lost at one size") << "traced-points-lost"
                                                         << "full scale: 300 V, from 7 of 7|Grid voltages: 0 V to -6 V "
                                                            "in steps of 1 V, from 7 of 7 curve labels read."
                                                         << QRectF(QPointF(80, 57.6), QPointF(576, 427.2));
        // Small one-decimal labels at the curves, most read without their points ("Vg=-40V"): those showing
        // theirs say how many digits follow it.
        QTest::newRow("labels at the curves, points lost")
            << "end-labels-points-lost"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 5 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 8 of 12 curve labels read"
            << QRectF(QPointF(49.25, 16), QPointF(567.16, 433));
        // The lowest curves' labels right of the box touch the x axis's line: it is cut where the box's side
        // stands (before, the line ran on through them and no box was found).
        QTest::newRow("labels at the curves on the x axis past the box")
            << "end-labels-on-the-axis"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 7 of 9" + mA << QRectF();
        // Labels of 10 px in half volts lose their points ("Vg=-15V"): they step evenly as printed.
        QTest::newRow("labels at the curves, half volts")
            << "end-labels-half-volts"
            << "full scale: 400 V, from 8 of 9|full scale: 0.005 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 7 of 7 curve labels read (3 read "
                   "without the minus or point they must have)"
            << QRectF(QPointF(54.15, 20.5), QPointF(1122.57, 740.72));
        // Matplotlib's light looks: a frame and grid too faint for the dark lines' threshold (alone, they
        // would box the chart where the curves' tails end on the x axis), a grey panel with no frame.
        const QRectF lightLook(QPointF(80, 57.6), QPointF(576, 427.2));
        QTest::newRow("light grey frame on a grey panel")
            << "traced-no-frame"
            << "full scale: 400 V, from 9 of 9|full scale: 0.005 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 7 of 7 curve labels read."
            << lightLook;
        QTest::newRow("light grey frame on white")
            << "faint-frame"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 9 of 9" + mA +
                   "|Grid voltages: 0 V to -6 V in steps of 1 V, from 7 of 7 curve labels read."
            << lightLook;
        QTest::newRow("grey panel, no frame")
            << "panel-ggplot"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << lightLook;
        // "-60 V" reads with Tesseract's confidence 0.
        QTest::newRow("legend, an entry read unsure")
            << "legend-entry-unsure"
            << "full scale: 500 V, from 6 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 10 of 10 curve labels read"
            << lightLook;
        // "-60 V" smudged past reading: mended by the others' even step, not read 0 V to -50 V.
        QTest::newRow("legend, an entry smudged")
            << "legend-entry-smudged"
            << "full scale: 500 V, from 6 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 9 of 9 curve labels read"
            << QRectF(QPointF(80, 57.6), QPointF(576, 427.2));
        // Entries of 10 px losing their points, put back where two entries, or the zero, show theirs.
        QTest::newRow("legend, two entries show their points")
            << "legend-points-shown-by-two"
            << "full scale: 400 V, from 9 of 9|full scale: 0.005 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 7 of 7 curve labels read."
            << lightLook;
        QTest::newRow("legend, the zero shows its point")
            << "legend-points-shown-by-zero"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 9 of 9" + mA +
                   "|Grid voltages: 0 V to -6 V in steps of 1 V, from 7 of 7 curve labels read."
            << lightLook;
        // A black curve runs through the last entry on to the box's right edge: taken out up to the edge, it
        // leaves the entry to read (it was refused, its sample saying that the legend runs on past -18 V).
        QTest::newRow("legend, its last entry crossed")
            << "legend-last-entry-crossed"
            << "full scale: 500 V, from 5 of 6|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels"
            << QRectF(QPointF(58.17, 20.5), QPointF(1171.69, 745.58));
        // A grid line below the last entry, where the next entry's sample would stand, is no sample.
        QTest::newRow("legend, a grid line below its last entry")
            << "legend-grid-line-below"
            << "full scale: 500 V, from 6 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 10 of 10 curve labels read."
            << QRectF(QPointF(48.71, 16), QPointF(618.81, 439.67));
        // Each "Ec = -2" groups as two words that overlap at the "=", one bar in each: joined, as they share their
        // height (the legend could not be read whole).
        QTest::newRow("legend, its entries split at the equals sign")
            << "legend-entries-split-at-the-equals"
            << "full scale: 500 V, from 5 of 6|full scale: 0.03 A, from 6 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(62.03, 20.5), QPointF(1171.69, 741.72));
        // Curves cross the entries below the third, which stay in the column by their other edges (without them,
        // it read 0 V to -1 V until the sample below the third said that the legend runs on). "-1.5" and "-2.5"
        // read as nothing, mended by the step; "-2" and "-3", each the second in a row, read as printed.
        QTest::newRow("legend, crossed below its third entry")
            << "legend-crossed-below-the-third"
            << "full scale: 400 V, from 6 of 9|full scale: 0.005 A, from 5 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 5 of 5 curve labels read (1 read without"
            << QRectF(QPointF(47.17, 20.5), QPointF(1173.38, 746.58));
        // A black curve runs through "-4V", which reads as nothing with the curve taken out: the others' even step
        // mends it. Through the top of "-2V", it leaves the entry's foot in line with the others'.
        QTest::newRow("legend, an entry crossed and unread")
            << "legend-entry-crossed-unread"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 7 of 9" + mA +
                   "|Grid voltages: 0 V to -6 V in steps of 1 V, from 6 of 6 curve labels read (2 read without"
            << QRectF(QPointF(58.37, 16), QPointF(618.81, 433));
        QTest::newRow("legend, entries crossed one after another")
            << "legend-entries-crossed-in-a-row"
            << "full scale: 500 V, from 5 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 9 of 9 curve labels read (1 read without"
            << QRectF(QPointF(54.92, 20.5), QPointF(1173.38, 746.58));
        QTest::newRow("legend, an entry crossed at its top")
            << "legend-entry-crossed-taller"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 9 of 9" + mA +
                   "|Grid voltages: 0 V to -6 V in steps of 1 V, from 7 of 7 curve labels read (1 read without"
            << QRectF(QPointF(59.21, 16), QPointF(617.31, 435.67));
        // A legend right of the box running past the margin where labels are looked for, read whole.
        QTest::newRow("legend right of the box, wider than the margin")
            << "legend-outside-small"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(52.47, 16), QPointF(506.61, 431.78));
        QTest::newRow("legend right of the box, its characters' gaps in line")
            << "legend-outside-tens"
            << "full scale: 500 V, from 6 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 10 of 10 curve labels read."
            << QRectF(QPointF(55.71, 16), QPointF(506.61, 435.67));
        // The box's top edge runs through the labels; "-60 V" loses its minus to it.
        QTest::newRow("labels across the top edge")
            << "labels-across-the-top"
            << "full scale: 500 V, from 5 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 7 of 8 curve labels read."
            << QRectF(QPointF(125, 84), QPointF(900, 623));
        QTest::newRow("labels across the top edge, small")
            << "labels-across-the-top-small"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7|Grid voltages: 0 V to -20 V in steps "
               "of 2 V, from 7 of 8 curve labels read (1 read without"
            << QRectF(QPointF(80, 57.6), QPointF(576, 427.2));
        // Small heavy labels above the top edge, "-4V" to "-8V" with their minus signs run into the digits: as
        // printed they give nothing, with their strokes thinned they read (the family did not reach 0 V).
        QTest::newRow("labels above the top edge, minus signs joined")
            << "labels-on-top-joined-minus"
            << "full scale: 500 V, from 6 of 6|Grid voltages: 0 V to -20 V in steps of 2 V, from 9 of 9 curve labels"
            << QRectF(QPointF(49.25, 22), QPointF(601.79, 433));
        // The lowest label's white box covers the x axis's line near its end: the top edge's line says
        // how far the box reaches (cut short at the 350 V grid line, the scale would read 350 V). Its
        // curve is traced only above the last label read, "Vg = -9 V", which stands lower, by the axis:
        // the family is left open there (taken as it crosses that height, it would end at -9 V).
        QTest::newRow("a label's box over the x axis")
            << "labels-along-over-the-axis"
            << "full scale: 400 V, from 9 of 9|full scale: 0.016 A, from 9 of 9" + mA +
                   "|curve labels: curves past the last label read are not labelled."
            << QRectF();
        // A data sheet's labels along steep curves, grid lines through them: most lie square or
        // are turned by a stub joined to them, and read only turned as their curves run.
        QTest::newRow("labels along steep curves, a data sheet's grid")
            << "labels-along-data-sheet"
            << "full scale: 300 V, from 5 of 7|full scale: 0.01 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -4 V in steps of 0.5 V, from 6 of 7 curve labels read"
            << QRectF(QPointF(62.03, 20.5), QPointF(971.69, 641.72));
        // Plots by gnuplot: legends flush right before their line samples.
        QTest::newRow("legend flush right, boxed")
            << "gnuplot-key-boxed"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(73.62, 19.63), QPointF(1168.99, 740.4));
        QTest::newRow("legend flush right, gridded")
            << "gnuplot-key-left-gridded"
            << "full scale: 500 V, from 6 of 6|full scale: 0.25 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -90 V in steps of 10 V, from 10 of 10 curve labels read."
            << QRectF(QPointF(83.62, 19.63), QPointF(1168.99, 740.4));
        QTest::newRow("legend right of the box")
            << "gnuplot-key-outside"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(73.62, 19.63), QPointF(981.54, 740.4));
        QTest::newRow("legend right of the box, dashed and dotted samples")
            << "gnuplot-key-outside-dashed"
            << "full scale: 400 V, from 9 of 9|full scale: 0.016 A, from 9 of 9" + mA +
                   "|Grid voltages: 0 V to -10 V in steps of 1 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(73.62, 19.63), QPointF(831.54, 640.4));
        // Curves cross the legend: a dashed black one runs into the last entries (read with the curves
        // taken out), coloured ones through black entries (read from the darkest ink).
        QTest::newRow("legend crossed by a black curve")
            << "gnuplot-key-dashed"
            << "full scale: 400 V, from 9 of 9|full scale: 0.005 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 7 of 7 curve labels read."
            << QRectF(QPointF(63.62, 19.63), QPointF(1168.99, 740.4));
        QTest::newRow("legend crossed by coloured curves")
            << "gnuplot-key-crossed"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 5 of 5" + mA +
                   "|Grid voltages: 0 V to -6 V in steps of 1 V, from 7 of 7 curve labels read."
            << QRectF(QPointF(73.62, 19.63), QPointF(769, 540.4));
        // Coloured curves cut most entries of the legend: read from the ink that is not coloured, one entry still
        // read as nothing and mended by the others' step. The big chart is read shrunk, its colours alike.
        QTest::newRow("legend cut by coloured curves")
            << "gnuplot-key-bottom-crossed"
            << "full scale: 300 V, from 7 of 7|full scale: 0.02 A, from 5 of 5" + mA +
                   "|Grid voltages: 0 V to -6 V in steps of 1 V, from 6 of 6 curve labels read."
            << QRectF(QPointF(73.62, 19.63), QPointF(769, 540.4));
        QTest::newRow("legend cut by coloured curves, big")
            << "gnuplot-key-bottom-crossed-big"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7|Grid voltages: 0 V to -20 V in steps "
               "of 2 V, from 10 of 10 curve labels read."
            << QRectF(QPointF(87.73, 22.74), QPointF(1562.99, 930.47));
        // Curves run through the last entries: samples of lines, or texts as printed, where the next entry
        // would stand say that the legend runs on (read without them, 0 V to -18 V, -8 V, -5 V).
        QTest::newRow("legend, curves through its last entries")
            << "gnuplot-key-crossed-last"
            << "full scale: 500 V, from 6 of 6|full scale: 0.03 A, from 7 of 7" + mA +
                   "|Grid voltages: 0 V to -20 V in steps of 2 V, from 11 of 11 curve labels read."
            << QRectF(QPointF(73.62, 19.63), QPointF(1168.99, 740.4));
        QTest::newRow("legend, its last entries cut short")
            << "gnuplot-key-cut-short"
            << "full scale: 400 V, from 9 of 9|The grid voltages could not be read from the curve labels" << QRectF();
        QTest::newRow("legend, its last entry taken out with the curves")
            << "gnuplot-key-bottom-dashed"
            << "full scale: 300 V, from 7 of 7|The grid voltages could not be read from the curve labels" << QRectF();
        // "Vg = 0.0 V" reads "Vg=00V", every other entry with its point: none of theirs was lost.
        QTest::newRow("legend, the zero's point lost alone")
            << "gnuplot-key-zero-pointless"
            << "full scale: 400 V, from 9 of 9|full scale: 0.005 A, from 6 of 6" + mA +
                   "|Grid voltages: 0 V to -3 V in steps of 0.5 V, from 7 of 7 curve labels read."
            << QRectF(QPointF(63.62, 19.63), QPointF(769, 540.4));
    }
    void readsPlottedCharts() {
        QFETCH(QString, chart);
        QFETCH(QString, said);
        QFETCH(QRectF, box);
        const QString picture = VALVIX_PLOTTED_DIR "/" + chart + ".png";
        const auto run = RunCli({"read", "--picture", picture, "--out", to});
        QVERIFY2(run.status == (box.isNull() ? 1 : 0) && run.err.empty(), run.err.c_str());
        for (const QString& line : said.split('|'))
            QVERIFY2(run.out.find(line.toStdString()) != std::string::npos, run.out.c_str());
        Design read;
        QVERIFY(ReadDesignFile(to.toStdString(), read).ok);
        if (box.isNull())
            return;
        const QSize size = QImage(picture).size();
        const auto layout = [&](QPointF at) {
            return FromPicturePixels({float(at.x()), float(at.y())}, size.width(), size.height());
        };
        const PointF topLeft = layout(box.topLeft()), bottomRight = layout(box.bottomRight());
        const double dx = 0.005 * (bottomRight.x - topLeft.x), dy = 0.005 * (bottomRight.y - topLeft.y);
        QVERIFY(std::abs(read.Xleft - topLeft.x) <= dx && std::abs(read.Xright - bottomRight.x) <= dx);
        QVERIFY(std::abs(read.Ytop - topLeft.y) <= dy && std::abs(read.Ybottom - bottomRight.y) <= dy);
    }

    // No box, no picture, a misused line: a clear word and no design written.
    void refuses() {
        QImage blank(600, 400, QImage::Format_RGB32);
        blank.fill(Qt::white);
        const QString white = dir.filePath("white.png"), missing = dir.filePath("none.jpg");
        QVERIFY(blank.save(white) && (!QFile::exists(to) || QFile::remove(to)));
        // clang-format off
        const std::tuple<QStringList, int, std::string> rows[] = {
            {{"read", "--picture", white, "--out", to}, 1, "read: " + white.toStdString() + ": No plot box was found: no box of long lines"},
            {{"read", "--picture", missing, "--out", to}, 1, "read: --picture " + missing.toStdString() + ": the file does not exist."},
            {{"read", "--picture", white}, 2, "read: --picture and --out must name files.\nUsage: valvix-cli read --picture"}};
        // clang-format on
        for (const auto& [arguments, status, said] : rows) {
            const auto run = RunCli(arguments);
            QVERIFY2(run.status == status && run.err.starts_with(said) && run.out.empty(), run.err.c_str());
            QVERIFY(!QFile::exists(to));
        }
    }
};

QTEST_MAIN(tst_ReadCommand)
#include "tst_ReadCommand.moc"
