// Design files and paths that no Valvix ever wrote: huge files, endless lines, binary
// bytes, odd line ends, and paths that are not readable files at all. Each read either
// succeeds with the values a reader by position finds, or fails with the read-failure
// message, without hanging and without touching fields it did not get to.

#include "state/DesignFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <string>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

using namespace valvix;

namespace {

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
    design.DesignFileName = "old.VXF";
    return design;
}

// The first values in order; the rest keep their old value.
Values Expect(std::initializer_list<float> first) {
    Values values;
    values.fill(kOld);
    std::copy(first.begin(), first.end(), values.begin());
    return values;
}

// Names every field that differs from expected, and any other field that changed;
// empty when all match.
QString Mismatches(const DesignState& design, const Values& expected) {
    QString report;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const float got = design.*kFields[i];
        if (!(got == expected[i])) {
            report += QString("line %1: %2 not %3; ")
                          .arg(i + 3)
                          .arg(double(got), 0, 'g', 9)
                          .arg(double(expected[i]), 0, 'g', 9);
        }
    }
    if (design.Dissipation != kOldDissipation) {
        report += "Dissipation changed; ";
    }
    if (design.DesignFileName != "old.VXF") {
        report += "DesignFileName changed; ";
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

QByteArray Join(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    return lines.join(end) + end;
}
QList<QByteArray> Replaced(QList<QByteArray> lines, qsizetype index, const QByteArray& line) {
    lines[index] = line;
    return lines;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::string FailureMessage(const std::string& path) {
    return "The chosen file (" + path + ") was not read correctly.";
}

// How a path that is not an ordinary readable file comes about.
enum class Hostile {
    FolderWithSlash,
    LinkToFolder,
    DanglingLink,
    LinkLoop,
    ThroughFile,
    NameTooLong,
    PathTooLong,
    NulInPath,
    NoReadPermission,
    RemovedBeforeRead,
    FolderBeforeRead,
    EndlessDevice,
    OpensButCannotRead,
};

} // namespace

Q_DECLARE_METATYPE(Hostile)

class tst_HostileFiles final : public QObject {
    Q_OBJECT
private slots:
    // Files on disk with odd contents: each is read to the end (or to its 16th value)
    // and gives the values a reader by position finds.
    void readsOddContents_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<qint64>("sparseSize"); // file size after extending it with holes
        QTest::addColumn<Values>("expected");
        QTest::addColumn<bool>("ok");
        const QList<QByteArray> all = NumberedLines();

        QByteArray padded;
        const QByteArray comment = "*" + QByteArray(1000, 'x') + "\r\n";
        for (const QByteArray& line : all) {
            padded += comment.repeated(200) + line + "\r\n";
        }
        QTest::newRow("3 MB of comment lines between the values")
            << padded << qint64(0) << kNumbered << true;
        QTest::newRow("100 MB sparse file, design at its start")
            << Join(all) << qint64(100) * 1024 * 1024 << kNumbered << true;

        Values xleft = kNumbered;
        xleft[0] = 5;
        QTest::newRow("million leading zeros")
            << Join(Replaced(all, 2, "Xleft: " + QByteArray(1'000'000, '0') + "5")) << qint64(0)
            << xleft << true;
        xleft[0] = 0;
        QTest::newRow("million zeros after the point")
            << Join(Replaced(all, 2, "Xleft: 0." + QByteArray(1'000'000, '0') + "5")) << qint64(0)
            << xleft << true;
        QTest::newRow("million-digit value")
            << Join(Replaced(all, 2, "Xleft: " + QByteArray(1'000'000, '7'))) << qint64(0)
            << Expect({}) << false;
        QTest::newRow("million-character line without a line end")
            << Join(all.mid(0, 3)) + QByteArray(1'000'000, '\xa0') << qint64(0) << Expect({1, 0})
            << true;

        xleft[0] = 4;
        QTest::newRow("NUL inside a value") << Join(Replaced(all, 2,
                                                             QByteArray("Xleft: 4\0"
                                                                        "65",
                                                                        11)))
                                            << qint64(0) << xleft << true;
        xleft[0] = 0;
        QTest::newRow("NUL before a value")
            << Join(Replaced(all, 2, QByteArray("Xleft:\0 5", 9))) << qint64(0) << xleft << true;
        Values high = kNumbered;
        high[0] = 0;
        high[2] = 3;
        QTest::newRow("bytes above 127 in values")
            << Join(Replaced(Replaced(all, 2, "Xleft: \xb5 12"), 4, "Ytop: 3\xe9\xff")) << qint64(0)
            << high << true;
        QTest::newRow("UTF-8 byte order mark")
            << "\xef\xbb\xbf" + Join(all) << qint64(0) << kNumbered << true;
        // Every line holds NULs between its characters, so no value starts with a digit.
        const QString wide = QString::fromLatin1(Join(all));
        Values zeros;
        zeros.fill(0);
        QTest::newRow("UTF-16 file")
            << "\xff\xfe" + QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2)
            << qint64(0) << zeros << true;

        QTest::newRow("CR-only line ends") << Join(all, "\r") << qint64(0) << kNumbered << true;
        QTest::newRow("LF-only line ends, none after the last")
            << all.join("\n") << qint64(0) << kNumbered << true;
        QByteArray mixed;
        const QByteArray ends[] = {"\r", "\n", "\r\n", "\n\r", "\r\r\n", "\n\n"};
        for (qsizetype i = 0; i < all.size(); ++i) {
            mixed += all[i] + ends[i % 6];
        }
        QTest::newRow("mixed line ends") << mixed << qint64(0) << kNumbered << true;

        QTest::newRow("empty file") << QByteArray() << qint64(0) << Expect({}) << true;
        QTest::newRow("megabyte of line ends only")
            << QByteArray("\r\n").repeated(500'000) << qint64(0) << Expect({}) << true;
        QTest::newRow("megabyte of NUL bytes")
            << QByteArray(1 << 20, '\0') << qint64(0) << Expect({}) << true;
    }
    void readsOddContents() {
        QFETCH(QByteArray, contents);
        QFETCH(qint64, sparseSize);
        QFETCH(Values, expected);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QString path = dir.filePath("odd.VXF");
        QVERIFY(WriteFile(path, contents));
        if (sparseSize > 0) {
            QVERIFY(QFile::resize(path, sparseSize));
        }
        DesignState design = Before();
        const FileResult result = ReadDesignFile(path.toStdString(), design);
        QCOMPARE(result.ok, ok);
        QCOMPARE(result.message, ok ? std::string() : FailureMessage(path.toStdString()));
        QCOMPARE(Mismatches(design, expected), QString());
    }

    // Paths that name no readable regular file: every one fails with the message and
    // changes nothing; none of them hangs.
    void refusesHostilePaths_data() {
        QTest::addColumn<Hostile>("hostile");
        QTest::newRow("folder, with a trailing slash") << Hostile::FolderWithSlash;
        QTest::newRow("link to a folder") << Hostile::LinkToFolder;
        QTest::newRow("dangling link") << Hostile::DanglingLink;
        QTest::newRow("link loop") << Hostile::LinkLoop;
        QTest::newRow("path through a file") << Hostile::ThroughFile;
        QTest::newRow("name longer than the system allows") << Hostile::NameTooLong;
        QTest::newRow("path longer than the system allows") << Hostile::PathTooLong;
        QTest::newRow("NUL inside the path") << Hostile::NulInPath;
        QTest::newRow("no read permission") << Hostile::NoReadPermission;
        QTest::newRow("file removed before the read") << Hostile::RemovedBeforeRead;
        QTest::newRow("file replaced by a folder") << Hostile::FolderBeforeRead;
        QTest::newRow("endless device") << Hostile::EndlessDevice;
        QTest::newRow("file that opens but cannot be read") << Hostile::OpensButCannotRead;
    }
    void refusesHostilePaths() {
        QFETCH(Hostile, hostile);
        QTemporaryDir dir;
        const QByteArray design = Join(NumberedLines());
        const QString file = dir.filePath("design.VXF");
        QVERIFY(WriteFile(file, design));
        QVERIFY(QDir(dir.path()).mkdir("folder.VXF"));
        const QString folder = dir.filePath("folder.VXF");

        std::string path;
        switch (hostile) {
        case Hostile::FolderWithSlash:
            path = folder.toStdString() + "/";
            break;
        case Hostile::LinkToFolder:
            path = dir.filePath("link.VXF").toStdString();
            QVERIFY(QFile::link(folder, dir.filePath("link.VXF")));
            break;
        case Hostile::DanglingLink:
            path = dir.filePath("dangling.VXF").toStdString();
            QVERIFY(QFile::link(dir.filePath("gone.VXF"), dir.filePath("dangling.VXF")));
            break;
        case Hostile::LinkLoop:
            path = dir.filePath("a.VXF").toStdString();
            QVERIFY(QFile::link(dir.filePath("b.VXF"), dir.filePath("a.VXF")));
            QVERIFY(QFile::link(dir.filePath("a.VXF"), dir.filePath("b.VXF")));
            break;
        case Hostile::ThroughFile:
            path = file.toStdString() + "/design.VXF";
            break;
        case Hostile::NameTooLong:
            path = dir.filePath(QString(NAME_MAX + 1, 'n')).toStdString();
            break;
        case Hostile::PathTooLong:
            path = file.toStdString();
            while (path.size() <= PATH_MAX) {
                path.insert(dir.path().size(), "/.");
            }
            break;
        case Hostile::NulInPath:
            // The part before the NUL names a good design file.
            path = file.toStdString() + std::string(1, '\0') + "x";
            break;
        case Hostile::NoReadPermission:
            if (::geteuid() == 0) {
                QSKIP("running as root, which reads a file whatever its permissions");
            }
            path = file.toStdString();
            QVERIFY(QFile::setPermissions(file, {}));
            break;
        case Hostile::RemovedBeforeRead:
            path = file.toStdString();
            QVERIFY(QFile::remove(file));
            break;
        case Hostile::FolderBeforeRead:
            path = file.toStdString();
            QVERIFY(QFile::remove(file));
            QVERIFY(QDir(dir.path()).mkdir("design.VXF"));
            break;
        case Hostile::EndlessDevice:
            path = "/dev/zero";
            if (!QFileInfo::exists("/dev/zero")) {
                QSKIP("no /dev/zero here");
            }
            break;
        case Hostile::OpensButCannotRead:
            // A regular file whose first bytes (the process memory at address 0) can
            // never be read.
            path = "/proc/self/mem";
            if (!QFileInfo::exists("/proc/self/mem")) {
                QSKIP("no /proc here");
            }
            break;
        }

        DesignState state = Before();
        const FileResult result = ReadDesignFile(path, state);
        QVERIFY(!result.ok);
        QCOMPARE(result.message, FailureMessage(path));
        QCOMPARE(Mismatches(state, Expect({})), QString());
    }
};

QTEST_APPLESS_MAIN(tst_HostileFiles)
#include "tst_HostileFiles.moc"
