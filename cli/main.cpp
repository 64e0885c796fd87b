// tavrin-cli: the board operations of the windows, from a terminal.
#include "cli/CommandLine.h"
#include "cli/Fleet.h"
#include "cli/Interrupt.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// Standard output goes through the C library's buffer: a full disk or a closed
// pipe behind it shows only at the last flush, and output that never arrived
// is a failure, whatever the command itself did.
int withOutputChecked(int code)
{
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout))
        return code;
    // The system's reason is known only when this last flush failed; an earlier
    // failed write has left no reason behind.
    const QString reason =
        flushed ? QStringLiteral("part of it was refused") : QString::fromLocal8Bit(std::strerror(errno));
    Cli::PrintError(QStringLiteral("tavrin-cli: cannot write the output: %1").arg(reason));
    return code == Cli::Done ? Cli::Failed : code;
}
} // namespace

int main(int argc, char* argv[])
{
    Interrupt::installHandlers();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-cli"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return withOutputChecked(Cli::RunCommandLine(arguments));
}
