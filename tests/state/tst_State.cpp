#include "state/AdjustValidation.h"
#include "state/DesignFile.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
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

constexpr float kInf = INFINITY;
QString Exact(double value) {
    return QString::number(value, 'g', 17);
}

// clang-format off
const std::pair<float, const char*> kGeneral[] = {
    {-0.0f, "0"}, {0.1f, "0.1"}, {-10, "-10"}, {1 / 3.0f, "0.3333333"}, {1234.5f, "1234.5"}, {9999999, "9999999"},
    {1e7f, "1E+07"}, {123456789.0f, "1.234568E+08"}, {1e-4f, "0.0001"}, {-1.2345e-4f, "-0.00012345"},
    {9.9e-5f, "9.9E-05"}, {1.5e-10f, "1.5E-10"}, {2e-9f, "2E-09"}, {1e-45f, "1E-45"}, {FLT_MAX, "3.402823E+38"},
    {NAN, "NaN"}, {kInf, "Inf"}, {-kInf, "-Inf"}};
const std::tuple<float, int, float> kRoundings[] = {
    {1.00005f, 4, 1.0001f}, {-1234.5f, 0, -1235}, {9.99995f, 4, 10}, {0.000125f, 5, 0.00013f}, {12.34549f, 3, 12.345f},
    {0.4f, 0, 0}, {0.6f, 0, 1}, {0.04f, 0, 0}, {2.5f, 3, 2.5f}, {kInf, 2, kInf}};
const std::pair<const char*, double> kPlain[] = {
    {"1 00", 100}, {"\t3\r\n4", 34}, {" - 5", -5}, {"--5", 0}, {"1.5k", 1.5}, {"abc", 0}, {".5", 0.5}, {"1.2.3", 1.2},
    {"000.000125", 0.000125}, {"0.1", 0.1}, {"1.06E3", 1060}, {"2.5d-3", 0.0025}, {"1D2", 100}, {"1E + 2", 100},
    {"7E", 7}, {"E5", 0}, {"1e400", kInf}, {"1e-400", 0}, {"-1e99999999999999999999", -kInf},
    {"123456789012345678901234567890123456789012345e-30", 123456789012345.678901234567890123}};
const std::pair<const char*, float> kParsed[] = {
    {"4.7k", 4700}, {"4k7", 4000}, {"1,5", 1.5f}, {"1.2.3", 1.23f}, {"1.5,3", 1.53f}, {"250m", 0.25f},
    {"250M", 250e6f}, {"2K", 2000}, {"2k", 2000}, {"2g", 2e9f}, {"2G", 2e9f}, {"4.7U", 4.7f * 1e-6f},
    {"4.7u", 4.7f * 1e-6f}, {"5n", 5 * 1e-9f}, {"5N", 5 * 1e-9f}, {"5p", 5 * 1e-12f}, {"5P", 5 * 1e-12f},
    {"1E3", 1000}, {"1e3", 1000}, {"1E3k", 1000}, {"2.5E-3", 0.0025f}, {"2E0.5k", 200000}, {"2.5E-1e", 0.25f},
    {"E5", 5}, {"k5", 5}, {"-m5", 0}, {"-12", -12}, {"+12", 12}, {"5-3", 53}, {"-5-3", -53}, {"  300 V ", 300},
    {"", 0}, {"volts", 0}, {"0.1", 0.1f}, {"1.0000000000k", 1}, {"1.000000000k", 1000},
    {"   1 2 3 4 5 6 7k  ", 123456}, {"ΩΩΩΩΩΩΩΩΩΩΩ5", 5}, {"10000001k", 1e10f}, {"9999999k", 9999999e3f},
    {"-99G", -1e10f}, {"-1E38", -1e10f}, {"-1E39", 1e10f}, {"9E38G", 1e10f}, {"1E-50p", 0}};
const std::pair<double, const char*> kFormatted[] = {
    {2200000, "2.2M"}, {12345, "12.345k"}, {1000, "1k"}, {999999.7, "1000k"}, {999.9999, "1000 "}, {250, "250 "},
    {12.34567, "12.346 "}, {1.5, "1.5 "}, {0.0123456, "0.01235 "}, {-3.5, "-3.5 "}, {0.000011, "1E-05 "}, {0, "0  "},
    {0.00001, "0  "}, {-0.000001, "0  "}, {1e9, "1G"}, {-1.23456e9, "-1.235G"}, {1e12, "1000G"}, {1e6, "1M"},
    {1.23456e6, "1.235M"}, {999999999, "1000M"}, {-1234.5, "-1.235k"}, {100, "100 "}, {99.123456, "99.123 "},
    {123.456, "123.46 "}, {99.9995, "100 "}, {10, "10 "}, {12.3455, "12.346 "}, {1, "1 "}, {1.234567, "1.2346 "},
    {9.99999, "10 "}, {0.99999, "0.99999 "}, {0.000125, "0.00013 "}, {-0.000015, "-2E-05 "}, {NAN, "0  "},
    {kInf, "InfG"}};
// clang-format on

// A design file's 14 read values as text, old ones -7.
QString Shown(const DesignState& design) {
    QStringList texts;
    for (const float value : ValuesOf(design))
        texts << QString::number(value, 'g', 9);
    return texts.join(' ');
}
DesignState Old() {
    DesignState d = Design({-7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7});
    d.Dissipation = -7;
    return d;
}
// The values 1 to 14 (from + 1 on), the first `count` of them read, with changes.
QString Read(int count, std::initializer_list<std::pair<int, float>> changes = {}, int from = 0) {
    DesignState d = Old();
    for (int i = 0; i < count; ++i)
        d.*kFileFields[std::size_t(i)] = float(from + i + 1);
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
// A file's text as read over old values: the values, whether it was refused, and whether
// the dissipation was read (never).
QString ReadText(const QByteArray& text) {
    DesignState d = Old();
    const bool ok = ReadDesignText(text.toStdString(), d);
    return Shown(d) + (ok ? "" : " refused") + (d.Dissipation == -7 ? "" : " dissipation");
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
}
bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
QString Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ');
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

class tst_State final : public QObject {
    Q_OBJECT
private slots:
    void numberTexts() {
        for (const auto& [value, text] : kGeneral) {
            QCOMPARE(QString::fromStdString(FormatSingleGeneral(value)), QString(text));
            QCOMPARE(QString::fromStdString(FormatPlainNumber(value)), text[0] == '-' ? text : " " + QString(text));
        }
        for (const auto& [value, decimals, rounded] : kRoundings)
            QCOMPARE(Exact(RoundToDecimals(value, decimals)), Exact(rounded));
        for (const auto& [text, value] : kPlain)
            QCOMPARE(Exact(ReadPlainNumber(text)), Exact(value));
        const QString zeros(999'999, '0');
        QCOMPARE(ReadPlainNumber(("1" + zeros + "E-999999").toStdString()), 1.0);
        QCOMPARE(ReadPlainNumber(("0." + zeros + "25E999999").toStdString()), 0.25);
    }

    void engineeringTexts() {
        for (const auto& [text, value] : kParsed) {
            float destination = -1;
            ParseEngineering(text, destination);
            QVERIFY2(Exact(destination) == Exact(value), text);
        }
        const QString blanks(500'000, ' ');
        QCOMPARE(ParseEngineering((blanks + "2k" + blanks).toStdString()), 2000.0f);
        for (const auto& [value, text] : kFormatted) {
            std::string destination = "old";
            FormatEngineering(value, destination);
            QCOMPARE(QString::fromStdString(destination), QString(text));
        }
    }

    // The Adjust window's rules in order: field, message, both ends of the accepted range
    // with the Singles just outside them.
    void adjustRules() {
        // clang-format off
        const std::tuple<float D::*, float, float, const char*> kRules[] = {
            {&D::Dissipation, -kInf, kInf, ""},
            {&D::Ex, 1, 100, "The value of the exponent must be between 1 and 100; typical value is 1.3"},
            {&D::GridVoltageMostPos, -1000, 1000, "Most positive grid voltage must be between -1000 and +1000"},
            {&D::GridVoltageMostNeg, -1000, 5, "Most negative grid voltage must be more negative than the most "
                                               "positive grid voltage but greater than -1000"},
            {&D::GridVoltageStep, 0.1f, 1000, "The grid voltage step must be greater than .1 and less than 1000"},
            {&D::Kg1, 0.001f, 100000, "The value for Kg1 must be greater than .001 and less than 100000"},
            {&D::Kp, 1, 10000, "The value for Kp must be between 1 and 10000"},
            {&D::Kvb, 1e-45f, 1e7f, "The value for Kvb must be greater than 0 and less than 10000000"},
            {&D::Mu, 1, 100000, "The value for Mu must be greater than 1 and less than 100000"},
            {&D::PlateVoltageFullscale, 1, 1e6f,
             "The value for Plate voltage full scale must be greater than 1 and less than 1000000"},
            {&D::PlateCurrentFullscale, 0.001f, 10000,
             "The value for Plate current full scale must be greater than 1mA and less than 10000 amperes"}};
        // clang-format on
        QCOMPARE(AdjustRules().size(), std::size(kRules));
        for (std::size_t row = 0; row < std::size(kRules); ++row) {
            const auto& [field, low, high, message] = kRules[row];
            QVERIFY(AdjustRules()[row].value == field);
            QCOMPARE(std::string(AdjustRules()[row].message), std::string(message));
            DesignState d = SampleDesign();
            d.GridVoltageMostPos = 5;
            const auto accepted = [&, f = field](float value) {
                d.*f = value;
                return AdjustValueAccepted(row, d);
            };
            const bool outside = accepted(std::nextafter(low, -kInf)) || accepted(std::nextafter(high, kInf));
            QVERIFY2(accepted(low) && accepted(high) && !accepted(NAN) == (row != 0) && outside == (row == 0), message);
        }
    }

    // Writing replaces a file whole, keeps its permission bits, updates a linked file
    // through its link and leaves no temporary file; line 17 is never read back.
    void writesAndReadsBack() {
        for (const QString& over : QStringList{"", "file", "link"}) {
            QTemporaryDir dir;
            const QString file = dir.filePath("a.VXF");
            const QString target = over == "link" ? dir.filePath("link.VXF") : file;
            QVERIFY(over.isEmpty() || (WriteFile(file, Numbered() + Numbered()) && Mode(file, 0640) == 0640));
            QVERIFY(over != "link" || QFile::link(file, target));
            DesignState sample = SampleDesign();
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
            {all, Read(14)}, {"", Read(0)}, {all.left(all.indexOf("Grid")), Read(6)},
            {"* Kvb: 9\r\n\r\n" + QByteArray(all).replace("Ytop", "**: 9\r\n\r\n*\r\nYtop"), Read(14)},
            {Numbered(1, ""), Read(14, {}, 1)}, {Numbered(11, "Mu:abc"), Read(14, {{9, 0}})},
            {Numbered(11, "Mu: 1 00"), Read(14, {{9, 100}})}, {Numbered(13, "Kg1: 1.06E3"), Read(14, {{11, 1060}})},
            {Numbered(2, " 42"), Read(14, {{0, 42}})}, {Numbered(2, "X: 12:30"), Read(14, {{0, 12}})},
            {Numbered(-1, {}, "\r"), Read(14)}, {Numbered(-1, {}, "\n"), Read(14)},
            {Numbered(11, "Mu: 3.4028235E+38"), Read(14, {{9, FLT_MAX}})}, {Numbered(1, "1E99999"), Read(14)}};
        // clang-format on
        for (const auto& [text, values] : kTexts)
            QCOMPARE(ReadText(text), values);
        QCOMPARE(ReadText(Numbered(11, "Mu: 3.4028236E+38")), Read(9) + " refused");
        QCOMPARE(ReadText(Numbered(15, "Kvb: -1D39")), Read(13) + " refused");
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
        DesignState design = Old();
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
            DesignState design = Old();
            const FileResult result = ReadDesignFile(file, design);
            QVERIFY(!result.ok && result.message == "The chosen file (" + file + ") was not read correctly.");
            QCOMPARE(Shown(design), Read(0));
        }
    }
};

QTEST_APPLESS_MAIN(tst_State)
#include "tst_State.moc"
