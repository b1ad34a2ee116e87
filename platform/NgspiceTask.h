#pragma once

#include "platform/SimulatorTask.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QProcess;
class QTemporaryDir;

namespace valvix {

// Runs a simulator job with ngspice through QProcess, without blocking: makes a private
// folder (owner-only) under the temporary folder, writes the job's files, starts every
// run at once with its own arguments, and when all have ended (or the job's time limit
// has passed and they were killed) reads the result files, removes the folder and calls
// done from the event loop.
class NgspiceTask final : public QObject, public SimulatorTask {
    Q_OBJECT
public:
    struct Setup {
        QString program = QStringLiteral("ngspice"); // a name on the PATH or a full path
        QString folderBase;                          // empty: the system's temporary folder
    };

    NgspiceTask(SimulatorJob job, SimulatorDone done, Setup setup);
    NgspiceTask(SimulatorJob job, SimulatorDone done);
    ~NgspiceTask() override;

    // Starts the job; done is called later, never from inside start().
    void start();
    void cancel() override;

private:
    struct Run;
    bool WriteFiles();
    void StartRun(Run& run, const QString& program);
    void RunEnded();
    void TimeLimitPassed();
    void Finish(JobEnding ending, const QString& detail);
    void TellDone();
    void StopAll();

    SimulatorJob m_job;
    SimulatorDone m_done;
    Setup m_setup;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::vector<std::unique_ptr<Run>> m_runs;
    QTimer m_timeLimit;
    QTimer m_tellDone;
    SimulatorJobOutcome m_outcome;
    bool m_over = false;
};

// Runs a job with ngspice and waits for it in a local event loop, for callers without a
// window (the command line, tests, benchmarks).
SimulatorJobOutcome RunJobAndWait(const SimulatorJob& job);

} // namespace valvix
