// Commands of vambrio-cli. Each cmd_*.cpp file registers one command with a
// static CommandRegistration; main() dispatches on the first argument and
// prints the help ("vambrio-cli help", "vambrio-cli help NAME",
// "vambrio-cli NAME --help") from what the command registered.
//
// A command describes itself once, and its options drive its parsing too:
//
//   int RunChords(const std::vector<std::string>& args);
//
//   const CommandRegistration kChords(
//       {.name = "chords",
//        .usage = "chords STYLE [--json]",
//        .summary = "Lists the chord rules of each section",
//        .arguments = {{"STYLE", "the style file"}},
//        .options = {{"--json", "", "one JSON object per line instead of text"}},
//        .examples = {"vambrio-cli chords Pop.sty --json"}},
//       RunChords);
//
//   int RunChords(const std::vector<std::string>& args) {
//     auto parsed = ParseArgs(args, Help("chords"));    // options as registered
//     if (!parsed || parsed->positional.size() != 1) return Usage("chords");
//     ...
//   }
//
// An option whose `value` is not empty takes a value ("-o", "OUT"); the
// others are flags. "--help" and "-h" need not be registered: every command
// has them. The older form CommandRegistration(name, usage, fn) still works
// and gives a help of the usage line only.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vambrio::cli {

using CommandFn = std::function<int(const std::vector<std::string>& args)>;

// One argument or option and its explanation, one line of the help.
struct OptionHelp {
  std::string name{};   // "-o", "--parts", or a positional argument "STYLE"
  std::string value{};  // the value's placeholder ("OUT", "BITS"); empty for a flag
  std::string text{};   // what it does, one line
};

// Every field has a default, so a registration names only what it has.
struct CommandHelp {
  std::string name{};                   // "render"
  std::string usage{};                  // one line after "vambrio-cli ": "render STYLE SECTION -o OUT.wav [...]"
  std::string summary{};                // one line for the list of commands
  std::vector<OptionHelp> arguments{};  // positional arguments, in order
  std::vector<OptionHelp> options{};    // every option the command takes
  std::vector<std::string> examples{};  // whole command lines
  std::string details{};                // optional paragraph after the options
};

struct CommandInfo {
  CommandFn run;
  CommandHelp help;
};

std::map<std::string, CommandInfo>& Commands();

struct CommandRegistration {
  CommandRegistration(CommandHelp help, CommandFn fn) {
    std::string name = help.name;
    Commands()[name] = CommandInfo{std::move(fn), std::move(help)};
  }
  // The usage line alone, without explanations.
  CommandRegistration(const std::string& name, std::string usage, CommandFn fn)
      : CommandRegistration(CommandHelp{.name = name, .usage = std::move(usage)}, std::move(fn)) {}
};

// The registered help of a command (an empty one for an unknown name).
const CommandHelp& Help(const std::string& name);

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // a load failed, a step was refused
inline constexpr int kExitUsage = 2;    // missing or unknown arguments
inline constexpr int kExitReported = 3; // the error reporter showed a message

}  // namespace vambrio::cli
