#include "cli/help.h"

#include <algorithm>
#include <iostream>

#include "cli/cli_common.h"

namespace vambrio::cli {
namespace {

constexpr const char* kHelpLine = "-h, --help";

std::string Column(const OptionHelp& o) { return o.value.empty() ? o.name : o.name + " " + o.value; }

void PrintTable(std::ostream& out, const char* title, const std::vector<OptionHelp>& rows, size_t width) {
  if (rows.empty()) return;
  out << "\n" << title << ":\n";
  for (const auto& row : rows) {
    const std::string left = Column(row);
    out << "  " << left << std::string(width + 2 - std::min(width, left.size()), ' ') << row.text << "\n";
  }
}

int RunHelp(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintOverview(std::cout);
    return kExitOk;
  }
  if (args.size() == 1 && Commands().count(args[0]) != 0) {
    PrintCommandHelp(std::cout, Help(args[0]));
    return kExitOk;
  }
  if (args.size() != 1) return Usage("help");
  std::cerr << "vambrio-cli: unknown command " << args[0] << "\n"
            << "usage: vambrio-cli " << Help("help").usage << "\n"
            << "Run \"vambrio-cli help\" for the list of commands.\n";
  return kExitUsage;
}

const CommandRegistration kHelp({.name = "help",
                                 .usage = "help [COMMAND]",
                                 .summary = "Shows this list, or one command's arguments, options and an example",
                                 .arguments = {{"COMMAND", "", "the command to explain; without it, the list"}},
                                 .examples = {"vambrio-cli help render"}},
                                RunHelp);

}  // namespace

void PrintOverview(std::ostream& out) {
  out << "usage: vambrio-cli COMMAND [ARGUMENTS]\n"
         "       vambrio-cli help [COMMAND]\n"
         "       vambrio-cli --version\n\n"
         "Vambrio's player and editor of accompaniment styles (.sty .pcs .sst .pst .prs .bcs .fps)\n"
         "for the terminal and for scripts. It reads styles exactly as the window does.\n\n"
         "Commands:\n";
  size_t width = 0;
  for (const auto& [name, info] : Commands()) width = std::max(width, name.size());
  for (const auto& [name, info] : Commands()) {
    const std::string& line = info.help.summary.empty() ? info.help.usage : info.help.summary;
    out << "  " << name << std::string(width + 2 - name.size(), ' ') << line << "\n";
  }
  out << "\nRun \"vambrio-cli help COMMAND\" or \"vambrio-cli COMMAND --help\" for a command's options.\n"
         "Exit status: 0 done, 1 a style could not be loaded or a step was refused, 2 wrong arguments,\n"
         "3 an error was reported.\n";
}

void PrintCommandHelp(std::ostream& out, const CommandHelp& help) {
  out << "usage: vambrio-cli " << help.usage << "\n";
  if (!help.summary.empty()) out << "\n" << help.summary << ".\n";
  size_t width = std::string(kHelpLine).size();
  for (const auto* rows : {&help.arguments, &help.options})
    for (const auto& row : *rows) width = std::max(width, Column(row).size());
  PrintTable(out, "Arguments", help.arguments, width);
  std::vector<OptionHelp> options = help.options;
  options.push_back({kHelpLine, "", "show this help"});
  PrintTable(out, "Options", options, width);
  if (!help.details.empty()) out << "\n" << help.details << "\n";
  if (!help.examples.empty()) {
    out << "\n" << (help.examples.size() == 1 ? "Example" : "Examples") << ":\n";
    for (const auto& e : help.examples) out << "  " << e << "\n";
  }
}

std::string VersionLine() { return std::string("vambrio-cli ") + VAMBRIO_VERSION; }

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

}  // namespace vambrio::cli
