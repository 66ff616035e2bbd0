// The help of vambrio-cli: the list of commands, one command's arguments and
// options with an example, and the version line.
#pragma once

#include <ostream>
#include <string>

#include "cli/command.h"

namespace vambrio::cli {

// "usage: vambrio-cli COMMAND ...", what the program does and every registered command.
void PrintOverview(std::ostream& out);

// One command: its usage line, summary, arguments, options (each explained
// in a line) and examples.
void PrintCommandHelp(std::ostream& out, const CommandHelp& help);

// "vambrio-cli 1.6.0"
std::string VersionLine();

// True when args (before a "--") ask for the help: "--help" or "-h".
bool AsksForHelp(const std::vector<std::string>& args);

}  // namespace vambrio::cli
