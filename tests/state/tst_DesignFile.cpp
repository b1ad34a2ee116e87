#include "state/DesignFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <string>

#include <sys/stat.h>

using namespace valvix;

namespace {

// The fields a design file brings back, in file order.
using Values = std::array<float, 14>;
constexpr std::array<float DesignState::*, 14> kFields{&DesignState::Xleft,
                                                       &DesignState::Xright,
                                                       &DesignState::Ytop,
                                                       &DesignState::Ybottom,
                                                       &DesignState::PlateVoltageFullscale,
                                                       &DesignState::PlateCurrentFullscale,
                                                       &DesignState::GridVoltageMostPos,
                                                       &DesignState::GridVoltageMostNeg,
                                                       &DesignState::GridVoltageStep,
                                                       &DesignState::Mu,
                                                       &DesignState::Ex,
                                                       &DesignState::Kg1,
                                                       &DesignState::Kp,
                                                       &DesignState::Kvb};

constexpr float kOld = -7; // every field's value before a read
constexpr float kOldDissipation = 42;

DesignState Before() {
    DesignState design;
    for (auto field : kFields) {
        design.*field = kOld;
    }
    design.Dissipation = kOldDissipation;
    return design;
}

DesignState With(const Values& values, float dissipation) {
    DesignState design;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        design.*kFields[i] = values[i];
    }
    design.Dissipation = dissipation;
    return design;
}

// The first values in order; the rest keep their old value.
Values Expect(std::initializer_list<float> first) {
    Values values;
    values.fill(kOld);
    std::copy(first.begin(), first.end(), values.begin());
    return values;
}

// Names every field that differs from expected (beyond the relative tolerance), and a
// changed Dissipation; empty when all match.
QString Mismatches(const DesignState& design, const Values& expected, float tolerance = 0) {
    QString report;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const float got = design.*kFields[i];
        if (std::fabs(got - expected[i]) > tolerance * std::fabs(expected[i])) {
            report += QString("line %1: %2 not %3; ")
                          .arg(i + 3)
                          .arg(double(got), 0, 'g', 9)
                          .arg(double(expected[i]), 0, 'g', 9);
        }
    }
    if (design.Dissipation != kOldDissipation) {
        report += "Dissipation changed";
    }
    return report;
}

// Lines 1 to 17 of a file whose values are 1 to 15.
QList<QByteArray> NumberedLines() {
    return {"Filename: C:\\T\\A.VXF",
            "1/2/2024 3:04:05 PM",
            "Xleft: 1",
            "Xright: 2",
            "Ytop: 3",
            "Ybottom: 4",
            "Plot volts fullscale: 5",
            "Plot amps fullscale: 6",
            "Grid voltage most positive: 7",
            "Grid voltage most negative: 8",
            "Grid voltage step: 9",
            "Mu: 10",
            "Ex: 11",
            "Kg1: 12",
            "Kp: 13",
            "Kvb: 14",
            "Plate dissipation: 15"};
}
const Values kNumbered = Expect({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});

QByteArray Join(QList<QByteArray> lines, const QByteArray& end = "\r\n") {
    return lines.join(end) + end;
}
QList<QByteArray> Replaced(QList<QByteArray> lines, qsizetype index, const QByteArray& line) {
    lines[index] = line;
    return lines;
}

const Values kExample{465, 5820, 390, 3630, 500, 0.006f, 0, -4, 0.5f, 100, 1.4f, 1060, 600, 300};
constexpr const char* kExampleBody = "3/14/2024 9:26:53 AM\r\n"
                                     "Xleft: 465\r\n"
                                     "Xright: 5820\r\n"
                                     "Ytop: 390\r\n"
                                     "Ybottom: 3630\r\n"
                                     "Plot volts fullscale: 500\r\n"
                                     "Plot amps fullscale: 0.006\r\n"
                                     "Grid voltage most positive: 0\r\n"
                                     "Grid voltage most negative: -4\r\n"
                                     "Grid voltage step: 0.5\r\n"
                                     "Mu: 100\r\n"
                                     "Ex: 1.4\r\n"
                                     "Kg1: 1060\r\n"
                                     "Kp: 600\r\n"
                                     "Kvb: 300\r\n"
                                     "Plate dissipation: 1.25\r\n"
                                     "\r\n";

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class tst_DesignFile final : public QObject {
    Q_OBJECT
private slots:
    void writesExactBytes() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("12AX7.VXF").toStdString();
        const FileResult result =
            WriteDesignFile(path, With(kExample, 1.25f), "3/14/2024 9:26:53 AM");
        QVERIFY(result.ok);
        QCOMPARE(Contents(QString::fromStdString(path)),
                 QByteArray("Filename: ") + path.c_str() + "\r\n" + kExampleBody);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"12AX7.VXF"});
    }

    // Line 1 and 2 are read as values too, so they must stay one counted line each.
    void headerLinesKeepReaderInStep_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("date");
        QTest::newRow("ordinary") << QByteArray("/d/a.VXF") << QByteArray("3/14/2024 9:26 AM");
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
        const QByteArray line2 = text.split('\n').at(1);
        QVERIFY(line2.size() > 1 && !line2.startsWith('*'));
        DesignState design = Before();
        QVERIFY(ReadDesignText(text.toStdString(), design));
        QCOMPARE(Mismatches(design, kExample), QString());
    }

    void roundTrip_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("example") << kExample;
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
        DesignState design = Before();
        const FileResult result = ReadDesignFile(path, design);
        QVERIFY(result.ok);
        QCOMPARE(result.message, std::string());
        // Seven significant digits, plus the rounding back to a Single.
        QCOMPARE(Mismatches(design, values, 6e-7f), QString());
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
        QTest::newRow("LF line ends") << Join(all, "\n") << kNumbered << true;
        QTest::newRow("CR line ends") << Join(all, "\r") << kNumbered << true;
        QTest::newRow("CR CR LF is a blank line") << Join(all, "\r\r\n") << kNumbered << true;
        QTest::newRow("no line end at the end") << all.join("\n\r") << kNumbered << true;

        Values mu = kNumbered;
        mu[9] = 0;
        QTest::newRow("Mu not a number") << Join(Replaced(all, 11, "Mu:abc")) << mu << true;
        mu[9] = 100;
        QTest::newRow("blank inside Mu") << Join(Replaced(all, 11, "Mu: 1 00")) << mu << true;
        Values kg1 = kNumbered;
        kg1[11] = 1060;
        QTest::newRow("Kg1 exponent") << Join(Replaced(all, 13, "Kg1: 1.06E3")) << kg1 << true;
        Values xleft = kNumbered;
        xleft[0] = 42;
        QTest::newRow("line without colon") << Join(Replaced(all, 2, " 42")) << xleft << true;
        xleft[0] = 12;
        QTest::newRow("second colon") << Join(Replaced(all, 2, "Xleft: 12:30")) << xleft << true;
        xleft[0] = 5;
        QTest::newRow("million-character line")
            << Join(Replaced(all, 2, "Xleft:" + QByteArray(1'000'000, ' ') + "5")) << xleft << true;
        QTest::newRow("megabytes of comments") << "*" + QByteArray(8 << 20, '\xff') + "\n*" +
                                                      QByteArray(1 << 20, '\0') + "\n" + Join(all)
                                               << kNumbered << true;
        QTest::newRow("NUL and high bytes in header")
            << Join(Replaced(all, 0, QByteArray("Filename: /\xe9\0\xff", 14))) << kNumbered << true;
        Values largest = kNumbered;
        largest[9] = FLT_MAX;
        QTest::newRow("largest Single")
            << Join(Replaced(all, 11, "Mu: 3.4028235E+38")) << largest << true;
        QTest::newRow("skipped values are not checked")
            << Join(Replaced(all, 1, "1E99999")) << kNumbered << true;

        QTest::newRow("too large for a Single")
            << Join(Replaced(all, 4, "Ytop: 1E39")) << Expect({1, 2}) << false;
        QTest::newRow("just above the largest Single")
            << Join(Replaced(all, 11, "Mu: 3.4028236E+38")) << Expect({1, 2, 3, 4, 5, 6, 7, 8, 9})
            << false;
        QTest::newRow("too negative for a Single")
            << Join(Replaced(all, 15, "Kvb: -1D39"))
            << Expect({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}) << false;
        QTest::newRow("beyond a double")
            << Join(Replaced(all, 2, "Xleft: 1E999")) << Expect({}) << false;
    }
    void readText() {
        QFETCH(QByteArray, text);
        QFETCH(Values, expected);
        QFETCH(bool, ok);
        DesignState design = Before();
        design.TubeName = "12AX7";
        QCOMPARE(ReadDesignText(std::string_view(text.constData(), text.size()), design), ok);
        QCOMPARE(Mismatches(design, expected), QString());
        QCOMPARE(design.TubeName, std::string("12AX7"));
    }

    void readFailure_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Values>("expected");
        QTest::newRow("missing file") << QString("missing") << Expect({});
        QTest::newRow("folder") << QString("folder") << Expect({});
        QTest::newRow("FIFO") << QString("fifo") << Expect({});
        QTest::newRow("value too large") << QString("file") << Expect({1, 2});
    }
    void readFailure() {
        QFETCH(QString, kind);
        QFETCH(Values, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("old design.VXF");
        if (kind == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("old design.VXF"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Join(Replaced(NumberedLines(), 4, "Ytop: 1E39")));
        }
        DesignState design = Before();
        const FileResult result = ReadDesignFile(path.toStdString(), design);
        QVERIFY(!result.ok);
        QCOMPARE(result.message,
                 "The chosen file (" + path.toStdString() + ") was not read correctly.");
        QCOMPARE(Mismatches(design, expected), QString());
    }

    void emptyPathDoesNothing() {
        DesignState design = Before();
        const FileResult read = ReadDesignFile("", design);
        QVERIFY(read.ok);
        QCOMPARE(read.message, std::string());
        QCOMPARE(Mismatches(design, Expect({})), QString());
        const FileResult written = WriteDesignFile("", design, "today");
        QVERIFY(written.ok);
        QCOMPARE(written.message, std::string());
    }

    void writeReplacesFile() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("a.VXF").toStdString();
        QVERIFY(WriteDesignFile(path, With(kNumbered, 1), "first").ok);
        QVERIFY(WriteDesignFile(path, With(kExample, 2), "second").ok);
        QCOMPARE(Contents(QString::fromStdString(path)).toStdString(),
                 DesignFileText(With(kExample, 2), path, "second"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"a.VXF"});
    }

    // Saving over a file keeps its permissions; saving through a link updates the
    // linked file and keeps the link.
    void writeKeepsModeAndLink() {
        QTemporaryDir dir;
        const QString real = dir.filePath("real.VXF");
        const QString link = dir.filePath("link.VXF");
        QVERIFY(WriteDesignFile(real.toStdString(), With(kNumbered, 1), "first").ok);
        QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
        QVERIFY(QFile::link(real, link));
        QVERIFY(WriteDesignFile(link.toStdString(), With(kExample, 2), "second").ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(Contents(real).toStdString(),
                 DesignFileText(With(kExample, 2), link.toStdString(), "second"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, 0640u);
    }

    // A failed write leaves the folder exactly as it was: no new file, no temporary
    // file, and whatever stood at the path untouched.
    void writeFailure_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder does not exist") << QString("missing/a.VXF");
        QTest::newRow("target is a folder") << QString("folder");
        QTest::newRow("parent is a file") << QString("keep.txt/a.VXF");
        QTest::newRow("NUL inside the name") << QString("keep.txt") + QChar(0) + "x";
    }
    void writeFailure() {
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("folder"));
        for (const QString& name : {QString("keep.txt"), QString("folder/keep.txt")}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        const FileResult result =
            WriteDesignFile(dir.filePath(target).toStdString(), With(kExample, 0), "today");
        QVERIFY(!result.ok);
        QCOMPARE(result.message, std::string("The Valvix file was not written correctly."));
        const auto listing = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(dir.path()).entryList(listing), (QStringList{"folder", "keep.txt"}));
        QCOMPARE(QDir(dir.filePath("folder")).entryList(listing), QStringList{"keep.txt"});
        QCOMPARE(Contents(dir.filePath("keep.txt")), QByteArray("old"));
        QCOMPARE(Contents(dir.filePath("folder/keep.txt")), QByteArray("old"));
    }
};

QTEST_APPLESS_MAIN(tst_DesignFile)
#include "tst_DesignFile.moc"
