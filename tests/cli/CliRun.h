#pragma once

#include <QProcess>
#include <QStringList>

namespace valvix::test {

// One run of the built valvix-cli: its exit status (-1 when it crashed or hung) and
// what it printed.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun RunCli(const QStringList& arguments, const QString& folder = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(VALVIX_CLI, arguments);
    const bool ended = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

} // namespace valvix::test
