// Helpers shared by the commands of vambrio-cli.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "model/play_choices.h"
#include "model/style_model.h"

namespace vambrio::cli {

// Prints "usage: vambrio-cli USAGE" and where the whole help is to standard
// error and returns kExitUsage. `usage` is a registered command's name (its
// usage line is printed) or the usage line itself.
int Usage(const std::string& usage);

// Splits args into options (beginning with "--") and positional arguments.
// Options that take a value ("-o", "--parts", ...) are named in withValue;
// a missing value makes the result empty.
struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for flags)
  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
};
std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                                    const std::vector<std::string>& withValue);
// The same with the options a command registered: those with a value's
// placeholder take a value, the others are flags.
std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args, const CommandHelp& help);

// The options of the window's playback choices, for the commands that assemble a section.
std::vector<OptionHelp> PlayChoiceOptions();
// The options of a command: its own, then the shared ones.
std::vector<OptionHelp> Options(std::vector<OptionHelp> own, const std::vector<OptionHelp>& shared);

// Fills the playback choices from --gm, --xg-on, --minor, --no-sysex and
// --parts BITS (eight characters 0/1). False when BITS is malformed.
bool ReadPlayChoices(const ParsedArgs& args, PlayChoices& choices);

// The index of the section with exactly this name among the sections the
// scan found, or -1.
int FindSection(const StyleModel& m, const std::string& name);

// SIGINT and SIGTERM blocked and delivered as a readable descriptor instead
// (one signalfd_siginfo record a signal), so that a command's event loop
// handles Ctrl-C like any other event. Call it before any thread starts (the
// synthesizer's too), so that no thread of theirs receives the signals.
// Whatever the command is waiting for, it ends within a second of the
// signal: a command that has not ended by then (a sound server that froze
// holds its output) is ended with status 1.
int BlockStopSignals();

// Ends the process at once with `status`, after writing out what standard
// output and standard error hold: for a command that must not wait for a
// thread stuck in a sound system.
[[noreturn]] void ExitNow(int status);

}  // namespace vambrio::cli
