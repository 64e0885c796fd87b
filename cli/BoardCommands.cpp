// The board itself: which ports have one, and its status.
#include "cli/CommandLine.h"

#include "common/Define.h"

#include <array>

namespace Cli {

namespace {
struct ModeName {
    const char* name;
    int status;
};
constexpr std::array<ModeName, 3> MODES = {{
    {"active", Define::STATO_TAVRIN_ACTIVE},
    {"setup", Define::STATO_TAVRIN_COMMAND_MODE_NOTX},
    {"tx", Define::STATO_TAVRIN_COMMAND_MODE_TX},
}};

int listPorts(Invocation& call)
{
    // A port without a board is an answer here, not a failure; a look at a board
    // leaves it in the mode it was in.
    return RunOnBoards(
        call.ports, call.output, Connect::SetUpAndBack,
        [](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            board.readParameters([&board, &result, done](bool ok, const QString& message) {
                result.data.insert(QStringLiteral("release"), board.model().release());
                result.data.insert(QStringLiteral("serialNumber"), board.model().serialNumber());
                result.text = QStringLiteral("%1  release %2  serial number %3\n")
                                  .arg(board.port(), board.model().release(), board.model().serialNumber());
                done(ok, message);
            });
        },
        EmptyPorts::Shown);
}

int setMode(Invocation& call)
{
    const QStringList words = call.parser.positionalArguments();
    const auto mode = std::find_if(MODES.begin(), MODES.end(), [&words](const ModeName& m) {
        return words.size() == 1 && words.first() == QLatin1String(m.name);
    });
    if (mode == MODES.end())
        return UsageError(QStringLiteral("mode takes one of active, setup, tx"));
    return RunOnBoards(
        call.ports, call.output, Connect::AnswerOnly,
        [status = mode->status](BoardSession& board, BoardResult&, const BoardSession::Done& done) {
            board.setMode(status, done);
        },
        EmptyPortsFor(call.everyPort));
}
} // namespace

void AddBoardCommands(QList<Command>& commands)
{
    Command ports{"ports", "",
                  "The boards' serial ports (USB serial devices and simulated boards), and the release and "
                  "serial number of each board that answers, left in the mode it was found in.",
                  nullptr, listPorts};
    ports.everyPortByDefault = true;
    commands.append(ports);
    commands.append({"mode", "active|setup|tx", "Puts the board into Active, SetUp or TX.",
                     [](QCommandLineParser& parser) {
                         parser.addPositionalArgument(QStringLiteral("active|setup|tx"),
                                                      QStringLiteral("The mode to put the board into."));
                     },
                     setMode});
}

} // namespace Cli
