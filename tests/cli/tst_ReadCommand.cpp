// valvix-cli read, run as the built program on the shipped examples' pictures alone.

#include "cli/CliRun.h"
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
