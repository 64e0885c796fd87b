#include "cli/CommandLine.h"
#include "cli/Help.h"

#include "comm/ComPort.h"
#include "params/ParameterHelp.h"

#include <QTextStream>

namespace Cli {

namespace {
const QString PROGRAM = QString::fromLatin1(PROGRAM_NAME);
const QString PORTS_FOLDER_VARIABLE = QStringLiteral("TAVRIN_PORTS_DIR");
const QString HELP = QStringLiteral("help");
} // namespace

void AddCommandOptions(QCommandLineParser& parser, const Command& command)
{
    // The parser's own help option would add --help-all, for options of Qt's
    // that this program does not take.
    parser.addOption({{QStringLiteral("h"), HELP}, QStringLiteral("Shows this help.")});
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("The board's serial port (repeat for several boards)."),
                      QStringLiteral("PATH")});
    parser.addOption(
        {command.allMeansEveryPort ? QStringList{QStringLiteral("all"), QStringLiteral("all-boards")}
                                   : QStringList{QStringLiteral("all-boards")},
         QStringLiteral("Every board's port: USB serial devices (ttyACM, ttyUSB) and simulated "
                        "boards. A port held by another program is named, and the exit code is 1.")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("Machine-readable output on stdout.")});
    parser.addOption({QStringLiteral("quiet"), QStringLiteral("No progress and no output but errors.")});
    parser.addOption({QStringLiteral("verbose"),
                      QStringLiteral("Tells on stderr of every answer a board sent that was not asked for, "
                                     "and dropped.")});
    if (command.addOptions)
        command.addOptions(parser);
}

int UsageError(const QString& message)
{
    PrintError(QStringLiteral("%1: %2 (see %1 --help)").arg(PROGRAM, message));
    return BadUsage;
}

const QList<Command>& Commands()
{
    static const QList<Command> table = [] {
        QList<Command> commands;
        AddBoardCommands(commands);
        AddParameterCommands(commands);
        AddSoundCommands(commands);
        AddMotionCommands(commands);
        AddFirmwareCommands(commands);
        AddProfileCommands(commands);
        return commands;
    }();
    return table;
}

int RunCommandLine(const QStringList& arguments)
{
    QTextStream out(stdout);
    if (arguments.isEmpty())
        return UsageError(QStringLiteral("a command is needed"));
    const QString name = arguments.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        out << Overview();
        return Done;
    }
    if (name == QLatin1String("--man")) {
        out << ManPage();
        return Done;
    }
    // Not in the overview: scripts/parameter-reference.sh puts it into the README.
    if (name == QLatin1String("--parameter-reference")) {
        out << Params::parameterReference();
        return Done;
    }
    const auto found = std::find_if(Commands().begin(), Commands().end(),
                                    [&name](const Command& c) { return name == QLatin1String(c.name); });
    if (found == Commands().end())
        return UsageError(QStringLiteral("unknown command '%1'").arg(name));
    const Command& command = *found;

    QCommandLineParser parser;
    AddCommandOptions(parser, command);
    QStringList withProgram = arguments;
    withProgram.first() = PROGRAM; // the command takes the program's place
    if (!parser.parse(withProgram))
        return UsageError(parser.errorText());
    if (parser.isSet(HELP)) {
        out << CommandHelp(command);
        return Done;
    }

    const QString portsFolder = qEnvironmentVariable(PORTS_FOLDER_VARIABLE.toLatin1().constData());
    if (!portsFolder.isEmpty())
        setPublishedPortsFolder(portsFolder);
    Invocation invocation{parser,
                          parser.values(QStringLiteral("port")),
                          parser.isSet(QStringLiteral("all-boards")) || command.everyPortByDefault,
                          {parser.isSet(QStringLiteral("json")), parser.isSet(QStringLiteral("quiet")),
                           parser.isSet(QStringLiteral("verbose"))}};
    if (invocation.everyPort) {
        if (!invocation.ports.isEmpty())
            return UsageError(QStringLiteral("--port and --all exclude each other"));
        invocation.ports = BoardPortCandidates();
    } else if (invocation.ports.isEmpty()) {
        const QStringList listed = BoardPortCandidates();
        if (listed.size() > 1)
            return UsageError(
                QStringLiteral("several ports are there: choose one with --port, or use --all"));
        invocation.ports = listed;
    }
    invocation.ports.removeDuplicates();
    return command.run(invocation);
}

} // namespace Cli
