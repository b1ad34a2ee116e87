#include "export/NgspiceModel.h"
#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "state/DesignFile.h"
#include "support/FileContents.h"
#include "support/SampleDesign.h"

#include <QtTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace valvix;
using namespace valvix::test;

namespace {

// The four saved files, each with the message its failed save gives.
struct SavedKind {
    const char* file;
    const char* failure;
    FileResult (*write)(const std::string& path);
};
// clang-format off
const SavedKind kKinds[] = {
    {"a.VXF", "The Valvix file was not written correctly.",
     [](const std::string& path) { return WriteDesignFile(path, test::SampleDesign(), "now"); }},
    {"a.CKT", "The .CKT (circuit file) was not written",
     [](const std::string& path) { return WriteCircuitFile(path, test::SampleDesign(), "12AX7"); }},
    {"a.ASC", "The .ASC (schematic file) was not written",
     [](const std::string& path) { return WritePlotterFile(path, test::SampleDesign(), {}, "12AX7"); }},
    {"a.lib", "The .lib (ngspice model) was not written",
     [](const std::string& path) { return WriteNgspiceModelFile(path, test::SampleDesign(), "12AX7"); }},
};
// clang-format on

// Every new file is longer than this file-size limit, the old one shorter and other.
constexpr rlim_t kSizeLimit = 120;
const QByteArray kOld = QByteArray("old bytes\r\n").repeated(8);

bool SetMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path), mode) == 0;
}

// Saves the kind in a child process whose files may not grow past kSizeLimit, with
// SIGXFSZ handled as given and, when the test runs as root and asUser is set, as nobody.
// Tells what came of it.
QString SaveOverLimit(const SavedKind& kind, const QString& path, bool asUser, void (*onSizeSignal)(int)) {
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore{0, 0}, size{kSizeLimit, kSizeLimit};
        const bool ready = std::signal(SIGXFSZ, onSizeSignal) != SIG_ERR && ::setrlimit(RLIMIT_CORE, &noCore) == 0 &&
                           (!asUser || ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) &&
                           ::setrlimit(RLIMIT_FSIZE, &size) == 0;
        const FileResult result = ready ? kind.write(path.toStdString()) : FileResult{};
        ::_exit(!ready ? 1 : result.ok ? 2 : result.message == kind.failure ? 0 : 3);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return "no child";
    if (WIFSIGNALED(status))
        return "killed by signal " + QString::number(WTERMSIG(status));
    return QStringList{"failure reported", "not set up", "saved", "other message"}.value(WEXITSTATUS(status));
}

} // namespace

class tst_SafeFileFailures final : public QObject {
    Q_OBJECT
private slots:
    void failedSaveKeepsTheOldFile_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("signalKills");
        for (int kind = 0; kind < int(std::size(kKinds)); ++kind) {
            const QByteArray file = kKinds[kind].file;
            QTest::newRow(file + " beside") << kind << false << false;
            QTest::newRow(file + " in place, SIGXFSZ ignored") << kind << true << false;
            QTest::newRow(file + " in place, SIGXFSZ kills") << kind << true << true;
        }
    }

    // A save that stops at the file-size limit says so and leaves the old file byte for
    // byte and no temporary file. In a folder the user may write, the cut-short new file
    // is dropped, and a save that goes through puts a new file in the old one's place (a
    // hard link to the old one keeps its bytes). In a folder the user may not write, the
    // save in place is refused before the file is touched, even where the limit's signal
    // would end the program halfway.
    void failedSaveKeepsTheOldFile() {
        QFETCH(int, kind);
        QFETCH(bool, inPlace);
        QFETCH(bool, signalKills);
        const SavedKind& saved = kKinds[kind];
        QTemporaryDir dir;
        const QString file = dir.filePath(saved.file), link = dir.filePath("link");
        QVERIFY(WriteFile(file, kOld) && ::link(QFile::encodeName(file), QFile::encodeName(link)) == 0);
        QVERIFY(!inPlace || (SetMode(file, 0666) && SetMode(dir.path(), 0555)));
        const QString outcome = SaveOverLimit(saved, file, inPlace, signalKills ? SIG_DFL : SIG_IGN);
        QVERIFY(SetMode(dir.path(), 0700));
        QCOMPARE(outcome, "failure reported");
        QCOMPARE(Contents(file), kOld);
        QCOMPARE(Entries(dir.path()), saved.file + QString(" link"));
        if (!inPlace) {
            QVERIFY(saved.write(file.toStdString()).ok);
            QCOMPARE(Contents(link), kOld);
            QVERIFY(Contents(file).size() > qsizetype(kSizeLimit));
        }
    }
};

QTEST_APPLESS_MAIN(tst_SafeFileFailures)
#include "tst_SafeFileFailures.moc"
