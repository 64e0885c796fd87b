// tavrin-cli: the board operations of the windows, from a terminal.
#include "cli/CommandLine.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-cli"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return Cli::RunCommandLine(arguments);
}
