#include "state/DesignFile.h"
#include "support/DesignFileChecks.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cfloat>
#include <string>

#include <sys/stat.h>

using namespace valvix;
using namespace valvix::checks;

namespace {

const Values kExample{465, 5820, 390, 3630, 500, 0.006f, 0, -4, 0.5f, 100, 1.4f, 1060, 600, 300};
constexpr const char* kExampleBody =
    "3/14/2024 9:26:53 AM\r\nXleft: 465\r\nXright: 5820\r\nYtop: 390\r\nYbottom: 3630\r\n"
    "Plot volts fullscale: 500\r\nPlot amps fullscale: 0.006\r\n"
    "Grid voltage most positive: 0\r\nGrid voltage most negative: -4\r\n"
    "Grid voltage step: 0.5\r\nMu: 100\r\nEx: 1.4\r\nKg1: 1060\r\nKp: 600\r\nKvb: 300\r\n"
    "Plate dissipation: 1.25\r\n\r\n";

constexpr auto kListing = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;

} // namespace

class tst_DesignFile final : public QObject {
    Q_OBJECT
private slots:
    // Saving writes the exact bytes and leaves no temporary file. Saving over a file
    // keeps its permissions; saving through a link updates the linked file and keeps
    // the link.
    void write_data() {
        QTest::addColumn<QString>("over"); // what stands at the path before the save
        QTest::newRow("new file") << QString();
        QTest::newRow("over an older file") << QString("file");
        QTest::newRow("through a link") << QString("link");
    }
    void write() {
        QFETCH(QString, over);
        QTemporaryDir dir;
        const QString real = dir.filePath("12AX7.VXF");
        const QString path = over == "link" ? dir.filePath("link.VXF") : real;
        QStringList names{"12AX7.VXF"};
        if (!over.isEmpty()) {
            QVERIFY(WriteFile(real, NumberedText()));
            QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
        }
        if (over == "link") {
            QVERIFY(QFile::link(real, path));
            names << "link.VXF";
        }
        QVERIFY(
            WriteDesignFile(path.toStdString(), With(kExample, 1.25f), "3/14/2024 9:26:53 AM").ok);
        QCOMPARE(Contents(real), "Filename: " + path.toUtf8() + "\r\n" + kExampleBody);
        QCOMPARE(QDir(dir.path()).entryList(kListing), names);
        QCOMPARE(QFileInfo(path).isSymLink(), over == "link");
        if (!over.isEmpty()) {
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(real).constData(), &info), 0);
            QCOMPARE(info.st_mode & 07777, 0640u);
        }
    }

    // Line 1 and 2 are read as values too, so they must stay one counted line each.
    void headerLinesKeepReaderInStep_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("date");
        QTest::newRow("empty date") << QByteArray("/d/a.VXF") << QByteArray();
        QTest::newRow("date like a comment") << QByteArray("/d/a.VXF") << QByteArray("*14 March");
        QTest::newRow("line breaks in date") << QByteArray("/d/a") << QByteArray("\n\r\n*1\r2");
        QTest::newRow("line breaks in path") << QByteArray("/d/\r\n\n5\r.VXF") << QByteArray("x");
    }
    void headerLinesKeepReaderInStep() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, date);
        const QByteArray text = QByteArray::fromStdString(
            DesignFileText(With(kExample, 1), path.toStdString(), date.toStdString()));
        QCOMPARE(text.count("\r\n"), 18);
        QCOMPARE(text.count('\r'), 18);
        QCOMPARE(text.count('\n'), 18);
        DesignState design = Sentinel();
        QVERIFY(ReadDesignText(text.toStdString(), design));
        QCOMPARE(QMismatches(design, kExample), QString());
    }

    void roundTrip_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("seven digits") << Values{
            1234567,        7654321,   0.1234567f, 9999999,   1.000001e7f, -123.4567f, 3.333333f,
            -0.0001234567f, 2.718282f, 65.43211f,  1.999999f, 0.9999999f,  10000000,   0.3333333f};
        QTest::newRow("magnitudes")
            << Values{FLT_MAX, -FLT_MAX, FLT_MIN, 1e10f, -1e10f, 1.2e-5f, 1e-30f,
                      -3e-8f,  1e-45f,   0,       -0.0f, 1,      -1,      0.02f};
    }
    void roundTrip() {
        QFETCH(Values, values);
        QTemporaryDir dir;
        const std::string path = dir.filePath("round.VXF").toStdString();
        QVERIFY(WriteDesignFile(path, With(values, 3), "today").ok);
        DesignState design = Sentinel();
        const FileResult result = ReadDesignFile(path, design);
        QVERIFY(result.ok);
        QCOMPARE(result.message, std::string());
        // Seven significant digits, plus the rounding back to a Single.
        QCOMPARE(QMismatches(design, values, 6e-7f), QString());
    }

    void readText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Values>("expected");
        QTest::addColumn<bool>("ok");
        const QList<QByteArray> all = NumberedLines();
        QTest::newRow("whole file") << Join(all + QList<QByteArray>{""}) << kNumbered << true;
        QTest::newRow("empty text") << QByteArray() << Expect({}) << true;
        QTest::newRow("lines 1 to 8 only")
            << Join(all.mid(0, 8)) << Expect({1, 2, 3, 4, 5, 6}) << true;
        QTest::newRow("comments and blank lines anywhere")
            << "* Kvb: 99\r\n\r\n*\r\n" + Join(all.mid(0, 1)) + "\r\n**: 5\r\n" +
                   Join(all.mid(1, 8)) + "*9\r\n\r\n\r\n" + Join(all.mid(9))
            << kNumbered << true;
        QTest::newRow("date line missing")
            << Join(all.mid(0, 1) + all.mid(2))
            << Expect({2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}) << true;
        QTest::newRow("CR CR LF is a blank line") << Join(all, "\r\r\n") << kNumbered << true;
        QTest::newRow("no line end at the end") << all.join("\n\r") << kNumbered << true;

        QTest::newRow("Mu not a number")
            << NumberedText(11, "Mu:abc") << NumberedWith(9, 0) << true;
        QTest::newRow("blank inside Mu")
            << NumberedText(11, "Mu: 1 00") << NumberedWith(9, 100) << true;
        QTest::newRow("Kg1 exponent")
            << NumberedText(13, "Kg1: 1.06E3") << NumberedWith(11, 1060) << true;
        QTest::newRow("line without colon")
            << NumberedText(2, " 42") << NumberedWith(0, 42) << true;
        QTest::newRow("second colon")
            << NumberedText(2, "Xleft: 12:30") << NumberedWith(0, 12) << true;
        QTest::newRow("largest Single")
            << NumberedText(11, "Mu: 3.4028235E+38") << NumberedWith(9, FLT_MAX) << true;
        QTest::newRow("skipped values are not checked")
            << NumberedText(1, "1E99999") << kNumbered << true;

        QTest::newRow("just above the largest Single")
            << NumberedText(11, "Mu: 3.4028236E+38") << Expect({1, 2, 3, 4, 5, 6, 7, 8, 9})
            << false;
        QTest::newRow("too negative for a Single")
            << NumberedText(15, "Kvb: -1D39") << Expect({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13})
            << false;
        QTest::newRow("beyond a double") << NumberedText(2, "Xleft: 1E999") << Expect({}) << false;
    }
    void readText() {
        QFETCH(QByteArray, text);
        QFETCH(Values, expected);
        QFETCH(bool, ok);
        DesignState design = Sentinel();
        QCOMPARE(ReadDesignText(std::string_view(text.constData(), text.size()), design), ok);
        QCOMPARE(QMismatches(design, expected), QString());
    }

    // A file that cannot be read, or holds a value too large, fails with the message
    // and keeps what was read before the failure.
    void readFailure_data() {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<Values>("expected");
        QTest::newRow("FIFO") << true << Expect({});
        QTest::newRow("value too large") << false << Expect({1, 2});
    }
    void readFailure() {
        QFETCH(bool, fifo);
        QFETCH(Values, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("old design.VXF");
        if (fifo) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QVERIFY(WriteFile(path, NumberedText(4, "Ytop: 1E39")));
        }
        DesignState design = Sentinel();
        const FileResult result = ReadDesignFile(path.toStdString(), design);
        QVERIFY(!result.ok);
        QCOMPARE(result.message,
                 "The chosen file (" + path.toStdString() + ") was not read correctly.");
        QCOMPARE(QMismatches(design, expected), QString());
    }

    void emptyPathDoesNothing() {
        DesignState design = Sentinel();
        const FileResult read = ReadDesignFile("", design);
        QVERIFY(read.ok);
        QCOMPARE(read.message, std::string());
        QCOMPARE(QMismatches(design, Expect({})), QString());
        const FileResult written = WriteDesignFile("", design, "today");
        QVERIFY(written.ok);
        QCOMPARE(written.message, std::string());
    }

    // A failed write leaves the folder exactly as it was: no new file, no temporary
    // file, and whatever stood at the path untouched.
    void writeFailure_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder does not exist") << QString("missing/a.VXF");
        QTest::newRow("target is a folder") << QString("folder");
        QTest::newRow("NUL inside the name") << QString("keep.txt") + QChar(0) + "x";
    }
    void writeFailure() {
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("folder"));
        QVERIFY(WriteFile(dir.filePath("keep.txt"), "old"));
        QVERIFY(WriteFile(dir.filePath("folder/keep.txt"), "old"));
        const FileResult result =
            WriteDesignFile(dir.filePath(target).toStdString(), With(kExample, 0), "today");
        QVERIFY(!result.ok);
        QCOMPARE(result.message, std::string("The Valvix file was not written correctly."));
        QCOMPARE(QDir(dir.path()).entryList(kListing), (QStringList{"folder", "keep.txt"}));
        QCOMPARE(QDir(dir.filePath("folder")).entryList(kListing), QStringList{"keep.txt"});
        QCOMPARE(Contents(dir.filePath("keep.txt")), QByteArray("old"));
        QCOMPARE(Contents(dir.filePath("folder/keep.txt")), QByteArray("old"));
    }
};

QTEST_APPLESS_MAIN(tst_DesignFile)
#include "tst_DesignFile.moc"
