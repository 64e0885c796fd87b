// What the program says of itself: the overview, each command's help and the
// manual page, all made of the same texts so that they never disagree.
#pragma once

#include "cli/CommandLine.h"

#include <QString>

namespace Cli {

// "tavrin-cli upload [options] --bank N --slot NAME [--trim] FILE": the
// command, then its arguments, each named once.
QString UsageLine(const Command& command);

// The overview --help shows: the commands with their summaries.
QString Overview();

// A command's --help: its usage line, its summary, then its options and
// arguments as the parser lists them.
QString CommandHelp(const Command& command);

// The manual page in man(7) macros: a section for each command, made of what
// its --help says.
QString ManPage();

} // namespace Cli
