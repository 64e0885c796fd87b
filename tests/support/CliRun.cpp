#include "CliRun.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace CliRun {

QString dataHome()
{
    static const QTemporaryDir folder;
    return folder.path();
}

CliProcess::CliProcess(const QStringList& arguments, const QString& portsDir, const QString& dataFolder,
                       const QString& program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataFolder.isEmpty() ? dataHome() : dataFolder);
    if (!portsDir.isEmpty())
        environment.insert(QStringLiteral("TAVRIN_PORTS_DIR"), portsDir);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
}

Run CliProcess::wait()
{
    process.waitForFinished(RUN_TIMEOUT_MS);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

Run cli(const QStringList& arguments, const QString& portsDir, const QString& dataFolder)
{
    return CliProcess(arguments, portsDir, dataFolder).wait();
}

} // namespace CliRun
