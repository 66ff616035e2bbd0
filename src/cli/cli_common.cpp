#include "cli/cli_common.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "cli/command.h"

namespace vambrio::cli {

std::map<std::string, CommandInfo>& Commands() {
  static std::map<std::string, CommandInfo> commands;
  return commands;
}

const CommandHelp& Help(const std::string& name) {
  static const CommandHelp none;
  auto it = Commands().find(name);
  return it == Commands().end() ? none : it->second.help;
}

int Usage(const std::string& usage) {
  auto it = Commands().find(usage);
  const std::string name = it != Commands().end() ? usage : usage.substr(0, usage.find(' '));
  std::cerr << "usage: vambrio-cli " << (it != Commands().end() ? it->second.help.usage : usage) << "\n";
  if (Commands().count(name) != 0) std::cerr << "Run \"vambrio-cli help " << name << "\" for every option.\n";
  return kExitUsage;
}

bool ParsedArgs::Has(const std::string& name) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
  std::optional<std::string> v;
  for (const auto& o : options)
    if (o.first == name) v = o.second;
  return v;
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                                    const std::vector<std::string>& withValue) {
  auto in = [](const std::vector<std::string>& list, const std::string& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
  };
  ParsedArgs out;
  bool onlyPositional = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositional || a.empty() || a[0] != '-' || a == "-") {
      out.positional.push_back(a);
    } else if (a == "--") {
      onlyPositional = true;
    } else if (in(flags, a)) {
      out.options.emplace_back(a, "");
    } else if (in(withValue, a)) {
      if (i + 1 >= args.size()) {
        std::cerr << "vambrio-cli: " << a << " needs a value\n";
        return std::nullopt;
      }
      out.options.emplace_back(a, args[++i]);
    } else {
      std::cerr << "vambrio-cli: unknown option " << a << "\n";
      return std::nullopt;
    }
  }
  return out;
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args, const CommandHelp& help) {
  std::vector<std::string> flags, withValue;
  for (const auto& o : help.options) (o.value.empty() ? flags : withValue).push_back(o.name);
  return ParseArgs(args, flags, withValue);
}

std::vector<OptionHelp> PlayChoiceOptions() {
  return {
      {"--gm", "", "read and play the style for a GM player (the window's player box at \"GM\"); without it, XG"},
      {"--xg-on", "", "send the XG System On message first (\"Use XG Voices\")"},
      {"--minor", "", "move the notes onto C minor (without it: C major)"},
      {"--chord", "NAME", "play over this chord instead, by the style's complete chord rules: F#m7, Bb, C/E (see chords)"},
      {"--no-sysex", "", "leave out the style's system-exclusive events (\"Include Sysex\" cleared)"},
      {"--parts", "BITS", "the eight parts from Rhythm Sub to Phrase 2 as digits 0 or 1 (01100000: Rhythm Main, Bass)"},
  };
}

std::vector<OptionHelp> Options(std::vector<OptionHelp> own, const std::vector<OptionHelp>& shared) {
  own.insert(own.end(), shared.begin(), shared.end());
  return own;
}

bool ReadPlayChoices(const ParsedArgs& args, PlayChoices& choices) {
  choices.GmPlayer = args.Has("--gm");
  choices.XgSystemOn = args.Has("--xg-on");
  choices.Minor = args.Has("--minor");
  choices.IncludeSysex = !args.Has("--no-sysex");
  if (auto bits = args.Value("--parts")) {
    const bool ok = bits->size() == 8 && bits->find_first_not_of("01") == std::string::npos;
    if (!ok) {
      std::cerr << "vambrio-cli: --parts " << *bits << ": eight digits 0 or 1 are wanted, one for each part\n";
      return false;
    }
    for (size_t k = 0; k < 8; ++k) choices.Parts[k] = (*bits)[k] - '0';
  }
  return true;
}

int FindSection(const StyleModel& m, const std::string& name) {
  for (int i = 0; i < SectionCount(m); ++i)
    if (m.SectionName[i] == name) return i;
  return -1;
}

void ExitNow(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  _exit(status);
}

namespace {

constexpr auto kStopDeadline = std::chrono::milliseconds(900);  // so that a stop always ends the command within 1 s

// Waits for the stop signals on a thread of its own: each is handed to the
// command as a record on `to`; the first also starts the deadline.
void WatchStopSignals(sigset_t set, int to) {
  bool deadlineStarted = false;
  for (;;) {
    siginfo_t info;
    const int signal = sigwaitinfo(&set, &info);
    if (signal < 0) continue;
    signalfd_siginfo record{};
    record.ssi_signo = static_cast<uint32_t>(signal);
    (void)!send(to, &record, sizeof record, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (deadlineStarted) continue;
    deadlineStarted = true;
    std::thread([] {
      std::this_thread::sleep_for(kStopDeadline);
      std::cerr << "vambrio-cli: stopped without waiting for the sound output, which does not answer\n";
      ExitNow(kExitFailed);
    }).detach();
  }
}

}  // namespace

int BlockStopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) return -1;
  std::thread(WatchStopSignals, set, ends[1]).detach();
  return ends[0];
}

}  // namespace vambrio::cli
