#include "state/DesignFile.h"
#include "support/FileContents.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <cfloat>
#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace valvix;
using namespace valvix::test;

namespace {

// A design file's 15 read values as text (the 14 of kFileFields, then the dissipation),
// old ones -7.
QString Shown(const Design& design) {
    QStringList texts;
    for (const float value : ValuesOf(design))
        texts << QString::number(value, 'g', 9);
    return texts.join(' ') + " " + QString::number(design.Dissipation, 'g', 9);
}
Design Old() {
    Design d = DesignOf({-7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7});
    d.Dissipation = -7;
    return d;
}
// The values 1 to 15 (from + 1 on), the first `count` of them read, with changes.
QString Read(int count, std::initializer_list<std::pair<int, float>> changes = {}, int from = 0) {
    Design d = Old();
    for (int i = 0; i < std::min(count, 14); ++i)
        d.*kFileFields[std::size_t(i)] = float(from + i + 1);
    if (count == 15)
        d.Dissipation = float(from + 15);
    for (const auto& [index, value] : changes)
        d.*kFileFields[std::size_t(index)] = value;
    return Shown(d);
}
// Lines 1 to 17 of a file whose values are 1 to 15, line `index` (from 0) replaced.
QByteArray Numbered(qsizetype index = -1, const QByteArray& line = {}, const char* end = "\r\n") {
    QByteArrayList lines{"Filename: C:\\T\\A.VXF", "1/2/2024 3:04:05 PM"};
    for (const char* label : {"Xleft", "Xright", "Ytop", "Ybottom", "Plot volts fullscale", "Plot amps fullscale",
                              "Grid voltage most positive", "Grid voltage most negative", "Grid voltage step", "Mu",
                              "Ex", "Kg1", "Kp", "Kvb", "Plate dissipation"})
        lines << label + QByteArray(": ") + QByteArray::number(lines.size() - 1);
    if (index >= 0)
        lines[index] = line;
    return lines.join(end) + end;
}
// A file's text as read over old values: the values, and whether it was refused.
QString ReadText(const QByteArray& text) {
    Design d = Old();
    const bool ok = ReadDesignText(text.toStdString(), d);
    return Shown(d) + (ok ? "" : " refused");
}

int Mode(const QString& path, int mode = -1) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    return (mode < 0 || ::chmod(name, mode_t(mode)) == 0) && ::stat(name, &info) == 0 ? int(info.st_mode & 07777) : -1;
}
// Runs the action as a user without root's powers: as nobody in a child process when
// the test runs as root.
bool AsUser(const std::function<bool()>& action) {
    if (::geteuid() != 0)
        return action();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && action() ? 0 : 1);
    int status = 1;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class tst_DesignFile final : public QObject {
    Q_OBJECT
private slots:
    // Writing replaces a file whole, keeps its permission bits, updates a linked file
    // through its link and leaves no temporary file; every value is read back.
    void writesAndReadsBack() {
        for (const QString& over : QStringList{"", "file", "link"}) {
            QTemporaryDir dir;
            const QString file = dir.filePath("a.VXF");
            const QString target = over == "link" ? dir.filePath("link.VXF") : file;
            QVERIFY(over.isEmpty() || (WriteFile(file, Numbered() + Numbered()) && Mode(file, 0640) == 0640));
            QVERIFY(over != "link" || QFile::link(file, target));
            Design sample = SampleDesign();
            sample.Dissipation = 1.25f;
            QVERIFY(WriteDesignFile(target.toStdString(), sample, "06.12.2026 10:00").ok);
            QCOMPARE(Contents(file), "Filename: " + target.toUtf8() +
                                         "\r\n06.12.2026 10:00\r\nXleft: 600\r\nXright: 6600\r\nYtop: 300\r\n"
                                         "Ybottom: 4800\r\nPlot volts fullscale: 250\r\nPlot amps fullscale: 0.005\r\n"
                                         "Grid voltage most positive: 0\r\nGrid voltage most negative: -10\r\n"
                                         "Grid voltage step: 1\r\nMu: 100\r\nEx: 1.4\r\nKg1: 1060\r\nKp: 600\r\n"
                                         "Kvb: 300\r\nPlate dissipation: 1.25\r\n\r\n");
            QCOMPARE(Entries(dir.path()), over == "link" ? "a.VXF link.VXF" : "a.VXF");
            const mode_t mask = ::umask(0);
            ::umask(mask);
            QCOMPARE(Mode(file), over.isEmpty() ? int(0666 & ~mask) : 0640);
            QCOMPARE(ReadText(Contents(target)), Shown(sample));
        }
    }

    void readsByPosition() {
        const QByteArray all = Numbered();
        // clang-format off
        const std::pair<QByteArray, QString> kTexts[] = {
            {all, Read(15)}, {"", Read(0)}, {all.left(all.indexOf("Grid")), Read(6)},
            {all.left(all.indexOf("Plate dissipation")), Read(14)},
            {"* Kvb: 9\r\n\r\n" + QByteArray(all).replace("Ytop", "**: 9\r\n\r\n*\r\nYtop"), Read(15)},
            {Numbered(1, ""), Read(14, {}, 1)}, {Numbered(11, "Mu:abc"), Read(15, {{9, 0}})},
            {Numbered(11, "Mu: 1 00"), Read(15, {{9, 100}})}, {Numbered(13, "Kg1: 1.06E3"), Read(15, {{11, 1060}})},
            {Numbered(2, " 42"), Read(15, {{0, 42}})}, {Numbered(2, "X: 12:30"), Read(15, {{0, 12}})},
            {Numbered(-1, {}, "\r"), Read(15)}, {Numbered(-1, {}, "\n"), Read(15)},
            {Numbered(11, "Mu: 3.4028235E+38"), Read(15, {{9, FLT_MAX}})}, {Numbered(1, "1E99999"), Read(15)}};
        // clang-format on
        for (const auto& [text, values] : kTexts)
            QCOMPARE(ReadText(text), values);
        QCOMPARE(ReadText(Numbered(11, "Mu: 3.4028236E+38")), Read(9) + " refused");
        QCOMPARE(ReadText(Numbered(15, "Kvb: -1D39")), Read(13) + " refused");
        QCOMPARE(ReadText(Numbered(16, "Plate dissipation: 1E39")), Read(14) + " refused");
    }

    // A failed write says so and leaves the folder as it was; a file the user may not
    // write is never replaced, even where the folder would allow it.
    void writeFailures() {
        for (const QString& target :
             QStringList{"missing/a.VXF", "folder", "keep.txt" + QString(QChar(0)) + "x", "keep.txt"}) {
            QTemporaryDir dir;
            QVERIFY(QDir(dir.path()).mkdir("folder") && WriteFile(dir.filePath("keep.txt"), "old"));
            QVERIFY(Mode(dir.filePath("keep.txt"), target == "keep.txt" ? 0444 : 0644) > 0);
            const FileResult result = WriteDesignFile((dir.path() + "/" + target).toStdString(), SampleDesign(), "now");
            QVERIFY(!result.ok && result.message == "The Valvix file was not written correctly.");
            QCOMPARE(Entries(dir.path()) + Entries(dir.filePath("folder")), "folder keep.txt");
            QCOMPARE(Contents(dir.filePath("keep.txt")), QByteArray("old"));
        }
        Design design = Old();
        QVERIFY(ReadDesignFile("", design).ok && WriteDesignFile("", design, "now").ok);
    }

    // Where no temporary file can be made beside it, a writable file is saved in place.
    void savesInPlaceInAFolderTheUserMayNotWrite() {
        QTemporaryDir dir;
        const std::string file = dir.filePath("a.VXF").toStdString();
        QVERIFY(WriteFile(dir.filePath("a.VXF"), Numbered() + Numbered()));
        QVERIFY(Mode(dir.filePath("a.VXF"), 0666) == 0666 && Mode(dir.path(), 0555) == 0555);
        QVERIFY(AsUser([&] { return WriteDesignFile(file, SampleDesign(), "now").ok; }));
        QVERIFY(!AsUser([&] { return WriteDesignFile(file + "2", SampleDesign(), "now").ok; }));
        Mode(dir.path(), 0700);
        QCOMPARE(Entries(dir.path()), "a.VXF");
        QCOMPARE(ReadText(Contents(dir.filePath("a.VXF"))), Shown(SampleDesign()));
    }

    void readFailures() {
        for (const QString& kind : QStringList{"fifo", "folder", "missing", "nul", "/dev/zero"}) {
            QTemporaryDir dir;
            std::string file = kind.startsWith('/') ? kind.toStdString() : dir.filePath("a.VXF").toStdString();
            QVERIFY(kind != "fifo" || ::mkfifo(file.c_str(), 0600) == 0);
            QVERIFY(kind != "folder" || QDir(dir.path()).mkdir("a.VXF"));
            if (kind == "nul") {
                QVERIFY(WriteFile(dir.filePath("a.VXF"), Numbered()));
                file += std::string(1, '\0') + "x";
            }
            Design design = Old();
            const FileResult result = ReadDesignFile(file, design);
            QVERIFY(!result.ok && result.message == "The chosen file (" + file + ") was not read correctly.");
            QCOMPARE(Shown(design), Read(0));
        }
    }
};

QTEST_APPLESS_MAIN(tst_DesignFile)
#include "tst_DesignFile.moc"
