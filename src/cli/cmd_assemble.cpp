// vambrio-cli assemble STYLE SECTION -o OUT [options]: writes the file the
// player would play for one section of a style, as a standard MIDI file that
// any other sequencer can open.
#include <algorithm>
#include <iostream>

#include "cli/chord_cli.h"
#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/voices_cli.h"
#include "chord/chord_rules.h"
#include "loading/entry.h"
#include "model/shown_text.h"
#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"
#include "model/error_reporter.h"

namespace vambrio::cli {
namespace {

int RunAssemble(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, Help("assemble"));
  if (!parsed || parsed->positional.size() != 2 || !parsed->Value("-o")) return Usage("assemble");
  PlayChoices choices;
  std::optional<Chord> chord;
  VoiceOptions voiceOptions;
  if (!ReadPlayChoices(*parsed, choices) || !ReadChordOption(*parsed, chord) || !ReadVoiceOptions(*parsed, voiceOptions))
    return Usage("assemble");
  const std::string& style = parsed->positional[0];
  const std::string& section = parsed->positional[1];

  // A freshly started program: chord tables at their start-up values.
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter reporter;
  EntryResult r = Entry(m, style, choices.GmPlayer, reporter);
  if (r.outcome != EntryResult::Outcome::Loaded) {
    if (!r.message.empty()) std::cerr << ShownText(style) << ": " << r.message << "\n";
    for (const auto& msg : reporter.messages) std::cerr << ShownText(style) << ": " << msg << "\n";
    return kExitFailed;
  }
  const int16_t s = static_cast<int16_t>(FindSection(m, section));
  if (s < 0) {
    std::cerr << ShownText(style) << ": no section named " << ShownText(section) << "\n";
    return kExitFailed;
  }
  m.CurrentSectionName = m.SectionName[s];
  std::vector<std::string> said;
  if (chord) {
    const ChordRules rules = ReadChordRules(m);
    said = RuleDamageWarnings(rules);
    for (const auto& warning : said) std::cerr << ShownText(style) << ": warning: " << warning << "\n";
    MakeAnyChordTrack(m, s, choices, rules, *chord, reporter, *parsed->Value("-o"), {});
  } else {
    MakeSingleTrack(m, s, choices, reporter, *parsed->Value("-o"), {});
  }
  for (const auto& msg : reporter.messages) std::cerr << ShownText(style) << ": " << msg << "\n";
  // The error of a block the assembly could not read, in words.
  const std::string damage = RuleDamageWarning({m.CurrentSectionName}, m.Chord.Damage, 0);
  if (!reporter.messages.empty() && !m.Chord.Damage.empty() && std::ranges::find(said, damage) == said.end())
    std::cerr << ShownText(style) << ": " << damage << "\n";
  if (voiceOptions.voices == VoicesChoice::GeneralMidi && !MapFileForGeneralMidi(*parsed->Value("-o"), m, voiceOptions))
    return kExitFailed;
  return reporter.messages.empty() ? kExitOk : kExitReported;
}

const CommandRegistration kAssemble(
    {.name = "assemble",
     .usage = "assemble STYLE SECTION -o OUT [--gm] [--xg-on] [--minor | --chord NAME] [--no-sysex] [--parts BITS] [--voices gm|written] [--noise play|leave-out]",
     .summary = "Writes the file Play would hear for one section, as a standard MIDI file",
     .arguments = {{"STYLE", "", "the style file"},
                   {"SECTION", "", "the section's name as the window lists it, such as \"Main A\""}},
     .options = Options(Options({{"-o", "OUT", "the MIDI file to write"}}, PlayChoiceOptions()), VoiceOptionHelp()),
     .examples = {"vambrio-cli assemble examples/Demo.sty \"Main A\" -o main-a.mid --minor",
                  "vambrio-cli assemble examples/Demo.sty \"Main A\" -o main-a-gm.mid --voices gm"},
     .details = "Without --voices the file holds the voices as the style wrote them."},
    RunAssemble);

}  // namespace
}  // namespace vambrio::cli
