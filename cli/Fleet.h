// Runs one subcommand on every chosen board at once, one link each, and turns
// the outcomes into the output, the summary and the exit code.
#pragma once

#include "cli/BoardSession.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace Cli {

enum ExitCode { Done = 0, Failed = 1, BadUsage = 2, NoBoard = 3 };

struct BoardResult {
    QString port;
    bool answered = false;
    bool held = false; // another program holds the port: the board was skipped
    bool ok = false;
    QString message;  // why it failed, or what it has to say
    QString text;     // what the board gave, for a person
    QJsonObject data; // the same, for --json
    bool textWhenFailed = false; // text is the answer even when the board fails (the differences of diff)
};

struct OutputOptions {
    bool json = false;
    bool quiet = false;
    bool verbose = false; // tells on stderr of every board answer dropped as not asked for
};

// The work on one board once it has answered; it fills result and calls done.
using BoardJob =
    std::function<void(BoardSession& board, BoardResult& result, const BoardSession::Done& done)>;

// Whether the board needs to be in SetUp for the work (everything but a mode
// change), in SetUp and afterwards back in the mode it was found in (a look that
// should leave no trace), only to answer, or is on its loader, which takes no
// status frame.
enum class Connect { SetUp, SetUpAndBack, AnswerOnly, Loader };

// What a port where no board answers means: a failure (a port named on the
// command line), nothing worth showing (--all: left out of the output unless no
// board answered at all), or an answer that is shown but fails nothing (the
// list of ports). A port held by another program is always shown and fails.
enum class EmptyPorts { Fail, LeaveOut, Shown };
inline EmptyPorts EmptyPortsFor(bool everyPort)
{
    return everyPort ? EmptyPorts::LeaveOut : EmptyPorts::Fail;
}

// Every board's result as it is about to be shown, in the order of the ports,
// whether or not its job ran: a command that reports on every board completes
// here the results of those that failed before it (their port could not be
// opened, no board answered).
using BoardShown = std::function<void(BoardResult& result)>;

int RunOnBoards(const QStringList& ports, const OutputOptions& output, Connect connect, const BoardJob& job,
                EmptyPorts emptyPorts = EmptyPorts::Fail, const BoardShown& shown = {});

// A one-line error on the error stream.
void PrintError(const QString& message);

} // namespace Cli
