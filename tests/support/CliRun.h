// The command-line program run as a process, as the end-to-end tests run it:
// its journals in a data folder of the tests' own, optionally a folder of
// simulated boards' ports to list.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace CliRun {
inline constexpr int RUN_TIMEOUT_MS = 60000;
// Bank 1 Clash red, the byte at 24 + 15: the parameter the runs write and read back.
inline constexpr int CLASH_RED_ADDRESS = 39;

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The user's data folder of every run: the journals stay away from the user's own.
QString dataHome();

class CliProcess {
public:
    // `dataFolder`: the run's data folder in place of dataHome(); `program`:
    // another one that runs the command-line program, such as a shell.
    explicit CliProcess(const QStringList& arguments, const QString& portsDir = {}, const QString& dataFolder = {},
                        const QString& program = QStringLiteral(TAVRIN_CLI_PROGRAM));
    Run wait();
    QProcess process;
};

Run cli(const QStringList& arguments, const QString& portsDir = {}, const QString& dataFolder = {});
} // namespace CliRun
