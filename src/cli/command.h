// Commands of vambrio-cli. Each cmd_*.cpp file registers one command with a
// static CommandRegistration; main() dispatches on the first argument.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vambrio::cli {

using CommandFn = std::function<int(const std::vector<std::string>& args)>;

struct CommandInfo {
  CommandFn run;
  std::string usage;  // one line: "info [--json] [--gm] STYLE..."
};

std::map<std::string, CommandInfo>& Commands();

struct CommandRegistration {
  CommandRegistration(const std::string& name, std::string usage, CommandFn fn) {
    Commands()[name] = CommandInfo{std::move(fn), std::move(usage)};
  }
};

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // a load failed, a step was refused
inline constexpr int kExitUsage = 2;    // missing or unknown arguments
inline constexpr int kExitReported = 3; // the error reporter showed a message

}  // namespace vambrio::cli
