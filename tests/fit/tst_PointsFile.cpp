// The points-file reader: the header names and units it accepts, and a clear message
// naming the line for everything it refuses.

#include "fit/PointsFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using namespace valvix::fit;

namespace {

const QString kRows = "100,-2,1.5\n200,-2,3\n300,-4,2\n400,-6,0\n0.5,0,1e-3\n";

} // namespace

class tst_PointsFile final : public QObject {
    Q_OBJECT

private slots:
    void reads_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("firstAmps");
        QTest::addColumn<double>("lastVolts");
        QTest::newRow("A, brackets, CR LF") << "Vp [V],Vg(V),Ip [A]\r\n" + kRows << 1.5 << 0.5;
        QTest::newRow("semicolons, names, quotes")
            << "\"Plate Voltage\";\"grid voltage\";\"PLATE CURRENT (mA)\"\n" + QString(kRows).replace(',', ';')
            << 0.0015 << 0.5;
        QTest::newRow("anode names, Eg") << "Anode voltage,Eg,Anode current (mA)\n" + kRows << 0.0015 << 0.5;
        QTest::newRow("any order, tabs, other column, comments")
            << "# by hand\n\nIb (A)\tnote\tEc\tEb\n1\tx\t-2\t100\n2\t\t0\t2\n3\t\t0\t3\n"
               "4\t\t0\t4\n5\t\t0\t5e1\n"
            << 1.0 << 50.0;
    }
    void reads() {
        QFETCH(QString, text);
        QFETCH(double, firstAmps);
        QFETCH(double, lastVolts);
        const PointsFile file = ReadPointsText(text.toStdString());
        QVERIFY2(file.ok, file.message.c_str());
        QCOMPARE(file.points.size(), std::size_t(5));
        QCOMPARE(file.points.front().ip, firstAmps);
        QCOMPARE(file.points.front().vg, -2.0);
        QCOMPARE(file.points.back().vp, lastVolts);
    }

    void refuses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // how it begins
        const QString line = "Line %1 of the points file: ";
        const QString head = "Vp,Vg,Ip (A)\n";
        const QString unit = line.arg(1) + "the plate current's unit must be A or mA";
        QTest::newRow("empty") << "\n# a comment\n"
                               << "The points file is empty.";
        QTest::newRow("no unit") << "Vp,Vg,Ip\n" + kRows << unit + ", as in Ip (mA).";
        QTest::newRow("kV") << "Vp (kV),Vg,Ip (mA)\n" << line.arg(1) + "the plate voltage must";
        QTest::newRow("no grid") << "Vp,Ip (mA)\n" << line.arg(1) + "the header names no grid";
        QTest::newRow("blanks") << "Vp Vg Ip\n" << line.arg(1) + "the header must name";
        QTest::newRow("word") << head + "\n1,2,abc\n" << line.arg(3) + "the plate current \"abc\" is not a number.";
        QTest::newRow("nan") << head + "nan,0,1\n" << line.arg(2) + "the plate voltage \"nan\" is";
        QTest::newRow("1e400") << head + "1,1e400,1\n" << line.arg(2) + "the grid voltage \"1e400\"";
        QTest::newRow("short row") << head + "1,2\n" << line.arg(2) + "it has no plate current.";
        QTest::newRow("below 0 A") << head + "1,2,-0.001\n" << line.arg(2) + "the plate current \"-0.001\" is out of";
        QTest::newRow("1000.5 V") << head + "1,-1000,0\n1,1000.5,0\n"
                                  << line.arg(3) + "the grid voltage \"1000.5\" is out of range.";
        QTest::newRow("4 points") << head + QString("1,0,0\n").repeated(4)
                                  << "The points file holds 4 points; at least 5 are needed.";
        QTest::newRow("20001 points") << head + QString("1,0,0\n").repeated(20001)
                                      << "The points file holds more than 20000 points.";
    }
    void refuses() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const PointsFile file = ReadPointsText(text.toStdString());
        QVERIFY(!file.ok);
        QVERIFY2(QString::fromStdString(file.message).startsWith(message), file.message.c_str());
    }

    void filesOnDisk() {
        QTemporaryDir dir;
        const std::string huge = dir.filePath("huge.csv").toStdString();
        std::ofstream(huge) << "Vp,Vg,Ip (A)\n" << std::string(4 << 20, '\n');
        QCOMPARE(ReadPointsFile(huge).message, "The points file is larger than 4 MB.");
        QVERIFY(ReadPointsFile(huge + "x").message.ends_with(") could not be opened."));
    }
};

QTEST_APPLESS_MAIN(tst_PointsFile)
#include "tst_PointsFile.moc"
