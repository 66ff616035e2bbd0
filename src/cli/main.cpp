// vambrio-cli: the core of Vambrio for scripts and batch work over style collections.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  using vambrio::cli::Commands;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || Commands().find(args[0]) == Commands().end()) {
    if (!args.empty() && args[0] != "--help" && args[0] != "-h") std::cerr << "vambrio-cli: unknown command " << args[0] << "\n";
    std::cerr << "usage:\n";
    for (const auto& [name, info] : Commands()) std::cerr << "  vambrio-cli " << info.usage << "\n";
    return vambrio::cli::kExitUsage;
  }
  const auto& info = Commands().at(args[0]);
  args.erase(args.begin());
  return info.run(args);
}
