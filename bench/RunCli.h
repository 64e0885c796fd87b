// tavrin-cli run to its end against the simulated boards of one ports folder,
// for the benchmarks that time the program itself.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace BenchCli {
constexpr int RUN_TIMEOUT_MS = 120000;

// Runs tavrin-cli to its end; why it did not succeed, empty when it did.
inline QString runCli(const QStringList& arguments, const QString& portsDir, int timeoutMs = RUN_TIMEOUT_MS)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVRIN_PORTS_DIR"), portsDir);
    // The slot journals of the simulated boards stay with them, out of the user's own.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), portsDir);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVRIN_CLI_PROGRAM), arguments);
    const QString command = QStringLiteral("tavrin-cli ") + arguments.join(u' ');
    if (!process.waitForFinished(timeoutMs)) {
        const bool started = process.state() != QProcess::NotRunning;
        process.kill();
        process.waitForFinished();
        return started ? QStringLiteral("%1 did not end within %2 s").arg(command).arg(timeoutMs / 1000)
                       : QStringLiteral("%1 did not start: %2").arg(command, process.errorString());
    }
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("%1 crashed: %2").arg(command, said);
    if (process.exitCode() != 0)
        return QStringLiteral("%1 ended with %2: %3").arg(command).arg(process.exitCode()).arg(said);
    return {};
}

} // namespace BenchCli
