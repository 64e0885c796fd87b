// The subcommands and what they share: the board choice (--port, --all), the
// output (--json, --quiet) and --help, each subcommand with its own options.
#pragma once

#include "cli/Fleet.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <optional>

namespace Cli {

struct Invocation {
    QCommandLineParser& parser;
    QStringList ports; // the boards chosen
    bool everyPort = false;
    OutputOptions output;
};

struct Command {
    const char* name;
    const char* arguments; // the usage line after "[options]", each argument named once
    const char* summary;
    std::function<void(QCommandLineParser&)> addOptions;
    std::function<int(Invocation&)> run;
    bool allMeansEveryPort = true;   // erase keeps --all for the whole sound memory
    bool everyPortByDefault = false; // ports looks at them all
};

// The program's name as it is typed: in usage lines and messages.
inline constexpr char PROGRAM_NAME[] = "tavrin-cli";

const QList<Command>& Commands();
// The options every command takes, then the command's own.
void AddCommandOptions(QCommandLineParser& parser, const Command& command);
// Each family adds its commands to the table.
void AddBoardCommands(QList<Command>& commands);
void AddParameterCommands(QList<Command>& commands);
void AddSoundCommands(QList<Command>& commands);
void AddMotionCommands(QList<Command>& commands);
void AddFirmwareCommands(QList<Command>& commands);
void AddProfileCommands(QList<Command>& commands);

// Runs the program on its arguments (without the program name); the exit code.
int RunCommandLine(const QStringList& arguments);

// Bad usage: the one-line error, exit code 2.
int UsageError(const QString& message);

} // namespace Cli
