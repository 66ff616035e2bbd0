// vambrio-cli: the core of Vambrio for scripts and batch work over style collections.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/help.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  using namespace vambrio::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    PrintOverview(std::cout);
    return kExitOk;
  }
  if (!args.empty() && args[0] == "--version") {
    std::cout << VersionLine() << "\n";
    return kExitOk;
  }
  if (args.empty() || Commands().find(args[0]) == Commands().end()) {
    if (!args.empty()) std::cerr << "vambrio-cli: unknown command " << args[0] << "\n";
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  const CommandInfo& command = Commands().at(args[0]);
  args.erase(args.begin());
  if (AsksForHelp(args)) {
    PrintCommandHelp(std::cout, command.help);
    return kExitOk;
  }
  return command.run(args);
}
