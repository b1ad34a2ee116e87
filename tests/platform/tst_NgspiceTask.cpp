// The background runner with stand-ins for ngspice: a run that reads its file and leaves
// its result, a missing program, one that hangs, a folder that cannot be made, and a
// cancelled run. Whatever happens, nothing is left in the temporary folder.

#include "platform/NgspiceTask.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace valvix;

class tst_NgspiceTask final : public QObject {
    Q_OBJECT
private slots:
    void endsAndLeavesNothing() {
        // clang-format off
        const struct { const char* program; std::string script; int ending; std::string log; } rows[] = {
            {"sh", "cat in.txt > out.txt; echo said; exit 3", 0, "said\n"},
            {"valvix-no-such-ngspice", "", int(JobEnding::NotFound), ""},
            {"sh", "echo started; sleep 30", int(JobEnding::TimedOut), "started\n"},
            {"sh", "", int(JobEnding::NoFolder), ""},
            {"sh", "sleep 30", -1, ""}, // cancelled
        };
        // clang-format on
        for (const auto& row : rows) {
            QTemporaryDir base;
            QFile file(base.filePath("file")); // no folder can be made under a file
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QString folder = row.ending == int(JobEnding::NoFolder) ? file.fileName() : base.path();
            std::optional<SimulatorJobOutcome> outcome;
            QElapsedTimer clock;
            clock.start();
            NgspiceTask task({{{"in.txt", "bytes"}}, {{{"-c", row.script}, "out.txt"}}, 1500},
                             [&](const SimulatorJobOutcome& ended) { outcome = ended; }, {row.program, folder});
            task.start();
            QVERIFY(!outcome);
            if (row.ending < 0) {
                task.cancel();
            }
            QTest::qWait(row.ending < 0 ? 300 : 0);
            QTRY_COMPARE_WITH_TIMEOUT(outcome.has_value(), row.ending >= 0, 5000);
            QVERIFY(clock.elapsed() < 4000); // a hanging or cancelled run is killed
            QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList{"file"});
            QCOMPARE(outcome ? int(outcome->ending) : -1, row.ending);
            const SimulatorRunOutcome run =
                outcome && !outcome->runs.empty() ? outcome->runs[0] : SimulatorRunOutcome{};
            QCOMPARE(run.log, row.log);
            QCOMPARE(run.result.value_or(""), row.ending == 0 ? "bytes" : "");
            QCOMPARE(run.normalExit ? run.exitCode : -1, row.ending == 0 ? 3 : -1);
        }
    }
};

QTEST_GUILESS_MAIN(tst_NgspiceTask)
#include "tst_NgspiceTask.moc"
