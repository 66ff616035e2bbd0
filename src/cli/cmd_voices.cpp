// vambrio-cli voices STYLE [--json] [--soundfont FILE]: which preset of the
// SoundFont plays each voice the style asks for, and how it was found.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/voices_cli.h"
#include "loading/entry.h"
#include "model/error_reporter.h"

namespace vambrio::cli {
namespace {

int RunVoices(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, Help("voices"));
  if (!parsed || parsed->positional.size() != 1) return Usage("voices");
  VoiceOptions options;
  if (!ReadVoiceOptions(*parsed, options)) return Usage("voices");
  const std::string& style = parsed->positional[0];
  std::string note;
  auto catalog = CatalogFor(parsed->Value("--soundfont").value_or(""), note);
  if (!note.empty()) std::cerr << note << "\n";
  if (!catalog) return kExitFailed;

  StyleModel m = MakeStartupModel();
  CollectingErrorReporter reporter;
  const EntryResult r = Entry(m, style, false, reporter);
  if (r.outcome != EntryResult::Outcome::Loaded) {
    if (!r.message.empty()) std::cerr << style << ": " << r.message << "\n";
    for (const auto& msg : reporter.messages) std::cerr << style << ": " << msg << "\n";
    return kExitFailed;
  }
  voices::VoiceMapSettings settings;
  settings.soundFontHasKeyboardBanks = parsed->Has("--keyboard-banks");
  settings.noise = options.noise;
  const voices::VoiceMap map(voices::GatherVoiceUse(m), catalog, settings);
  if (parsed->Has("--json")) {
    std::cout << nlohmann::ordered_json{{"file", style}, {"voices", VoicesJson(map)}}.dump(
                     -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << "\n";
  } else {
    std::cout << style << "\n";
    PrintVoices(std::cout, map);
  }
  return kExitOk;
}

const CommandRegistration kVoices(
    {.name = "voices",
     .usage = "voices STYLE [--json] [--soundfont FILE] [--keyboard-banks] [--noise play|leave-out]",
     .summary = "Shows which SoundFont preset plays each voice of a style, how it was found, and its articulations",
     .arguments = {{"STYLE", "", "the style file"}},
     .options = {{"--json", "", "one JSON object: the file and its \"voices\", one per channel and voice"},
                 {"--soundfont", "FILE", "the SoundFont to map to (without it: the one the synthesizer would use)"},
                 {"--keyboard-banks", "", "the SoundFont has the keyboards' own voice banks: use them where it has them"},
                 {"--noise", "play|leave-out", "noise notes (96 and up) played as effects (play, the default) or left out"}},
     .examples = {"vambrio-cli voices Pop.sty", "vambrio-cli voices Pop.sty --json --soundfont /usr/share/sounds/sf2/TimGM6mb.sf2"},
     .details = "Per channel that plays: its part, the bank MSB/LSB and program it asks for and the voice's name where "
                "known, the SoundFont's bank, program and preset that play it and how they were found, the "
                "articulations its velocities pick, and for drum kits the keys the kit lacks and where they go."},
    RunVoices);

}  // namespace
}  // namespace vambrio::cli
