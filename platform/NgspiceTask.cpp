#include "platform/NgspiceTask.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <utility>

namespace valvix {

namespace {

// The most of ngspice's printed output that is kept: its end tells what went wrong.
constexpr qsizetype kLogKept = qsizetype{64} * 1024;

bool PlainFileName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\\');
}

} // namespace

struct NgspiceTask::Run {
    const SimulatorRunRequest* request = nullptr;
    QProcess process;
    QElapsedTimer clock;
    QByteArray log;
    SimulatorRunOutcome outcome;
    bool ended = false;
};

NgspiceTask::NgspiceTask(SimulatorJob job, SimulatorDone done, Setup setup)
    : m_job(std::move(job)), m_done(std::move(done)), m_setup(std::move(setup)) {
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, &NgspiceTask::TimeLimitPassed);
    // done is told from the event loop, so that it may destroy this task.
    m_tellDone.setSingleShot(true);
    m_tellDone.setInterval(0);
    connect(&m_tellDone, &QTimer::timeout, this, &NgspiceTask::TellDone);
}

NgspiceTask::NgspiceTask(SimulatorJob job, SimulatorDone done)
    : NgspiceTask(std::move(job), std::move(done), Setup{}) {}

NgspiceTask::~NgspiceTask() {
    cancel();
}

void NgspiceTask::start() {
    const QString base = m_setup.folderBase.isEmpty() ? QDir::tempPath() : m_setup.folderBase;
    m_folder = std::make_unique<QTemporaryDir>(QDir(base).filePath("valvix-check-XXXXXX"));
    if (!m_folder->isValid() || !WriteFiles()) {
        Finish(JobEnding::NoFolder, QDir::toNativeSeparators(base));
        return;
    }
    const QString program = QStandardPaths::findExecutable(m_setup.program);
    if (program.isEmpty()) {
        Finish(JobEnding::NotFound, m_setup.program);
        return;
    }
    for (const SimulatorRunRequest& request : m_job.runs) {
        auto run = std::make_unique<Run>();
        run->request = &request;
        m_runs.push_back(std::move(run));
    }
    for (const std::unique_ptr<Run>& run : m_runs) {
        StartRun(*run, program);
    }
    m_timeLimit.start(m_job.timeLimitMs);
    if (m_runs.empty()) {
        RunEnded();
    }
}

bool NgspiceTask::WriteFiles() {
    const QDir folder(m_folder->path());
    for (const SimulatorFile& file : m_job.files) {
        const QString name = QString::fromStdString(file.name);
        QFile out(folder.filePath(name));
        const auto size = static_cast<qint64>(file.bytes.size());
        if (!PlainFileName(name) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            out.write(file.bytes.data(), size) != size || !out.flush()) {
            return false;
        }
    }
    return true;
}

void NgspiceTask::StartRun(Run& run, const QString& program) {
    QProcess& process = run.process;
    process.setWorkingDirectory(m_folder->path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C"); // numbers with a decimal point
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&process, &QProcess::readyRead, this, [&run] {
        run.log += run.process.readAll();
        if (run.log.size() > kLogKept) {
            run.log.remove(0, run.log.size() - kLogKept);
        }
    });
    connect(&process, &QProcess::finished, this, [this, &run](int code, QProcess::ExitStatus how) {
        run.log += run.process.readAll();
        run.outcome.normalExit = how == QProcess::NormalExit;
        run.outcome.exitCode = code;
        run.outcome.seconds = static_cast<double>(run.clock.nsecsElapsed()) / 1e9;
        QFile result(
            QDir(m_folder->path()).filePath(QString::fromStdString(run.request->resultFile)));
        if (result.open(QIODevice::ReadOnly)) {
            run.outcome.result = result.readAll().toStdString();
        }
        run.ended = true;
        RunEnded();
    });
    connect(&process, &QProcess::errorOccurred, this, [this, &run](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            run.log += "ngspice could not be started: " + run.process.errorString().toUtf8();
            run.ended = true;
            RunEnded();
        }
    });
    QStringList arguments;
    for (const std::string& argument : run.request->arguments) {
        arguments << QString::fromStdString(argument);
    }
    run.clock.start();
    process.start(program, arguments, QIODevice::ReadOnly);
}

void NgspiceTask::RunEnded() {
    for (const std::unique_ptr<Run>& run : m_runs) {
        if (!run->ended) {
            return;
        }
    }
    Finish(JobEnding::Finished, {});
}

void NgspiceTask::TimeLimitPassed() {
    for (const std::unique_ptr<Run>& run : m_runs) {
        run->log += run->process.readAll();
    }
    Finish(JobEnding::TimedOut, {});
}

void NgspiceTask::Finish(JobEnding ending, const QString& detail) {
    if (m_over) {
        return;
    }
    SimulatorJobOutcome outcome{ending, detail.toStdString(), {}};
    for (const std::unique_ptr<Run>& run : m_runs) {
        run->outcome.log = run->log.toStdString();
        outcome.runs.push_back(run->outcome);
    }
    StopAll();
    m_outcome = std::move(outcome);
    m_tellDone.start();
}

void NgspiceTask::TellDone() {
    if (SimulatorDone done = std::exchange(m_done, nullptr)) {
        const SimulatorJobOutcome outcome = std::move(m_outcome);
        done(outcome);
    }
}

void NgspiceTask::cancel() {
    m_done = nullptr;
    m_tellDone.stop();
    StopAll();
}

void NgspiceTask::StopAll() {
    m_over = true;
    m_timeLimit.stop();
    for (const std::unique_ptr<Run>& run : m_runs) {
        run->process.disconnect(this);
        if (run->process.state() != QProcess::NotRunning) {
            run->process.kill();
            run->process.waitForFinished(5000);
        }
    }
    m_folder.reset(); // removes the folder with everything in it
}

SimulatorJobOutcome RunJobAndWait(const SimulatorJob& job) {
    SimulatorJobOutcome outcome;
    QEventLoop loop;
    NgspiceTask task(job, [&](const SimulatorJobOutcome& ended) {
        outcome = ended;
        loop.quit();
    });
    task.start();
    loop.exec();
    return outcome;
}

} // namespace valvix
