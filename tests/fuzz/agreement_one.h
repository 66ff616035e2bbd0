// One input for the agreement between the commands that read chord rules:
// whatever bytes load, `info` (its warnings), the classic assembly, the
// assembly over any chord and the arranger either take a section as it is
// or refuse it with a reason in words, and every section an assembly
// refuses for its chord rules is named by one of the warnings `info` prints.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../playback/assembly_fuzz.h"
#include "arranger/style_patterns.h"
#include "chord/chord_rules.h"
#include "chord/rule_damage.h"
#include "model/shown_text.h"
#include "playback/any_chord_assembly.h"

namespace vambrio::fuzz {

// The procedures that failed, as the error reporter would have shown them.
class FailedProcedures final : public ErrorSink {
 public:
  void ReportError(std::string_view procedure, const VbError&) override { names.emplace_back(procedure); }
  bool Has(std::string_view procedure) const { return std::ranges::find(names, procedure) != names.end(); }
  std::vector<std::string> names;
};

inline bool WarnedAbout(const std::vector<std::string>& warnings, const std::string& section) {
  return std::ranges::any_of(warnings, [&](const std::string& w) { return w.find(ShownText(section, 40)) != std::string::npos; });
}

// Whether the section's chord rules send a channel to a part box that does
// not exist: the one refusal of the assembly that comes from the rules.
inline bool RulesRefuse(const StyleModel& m) {
  for (size_t channel = 1; channel <= 16; ++channel)
    if (m.Chord.CtabDestChannel[channel] > 16) return true;
  return false;
}

// What disagrees for one section after an assembly, or "".
inline std::string CheckRefusal(const StyleModel& m, const FailedProcedures& failed, const std::vector<std::string>& warnings,
                                const char* path) {
  if (!failed.Has("Store") || !RulesRefuse(m)) return "";
  if (m.Chord.Damage.empty()) return std::string(path) + " refused section " + m.CurrentSectionName + " without a reason";
  if (!WarnedAbout(warnings, m.CurrentSectionName))
    return std::string(path) + " refused section " + m.CurrentSectionName + " (" + m.Chord.Damage + "), info said nothing";
  return "";
}

inline std::string AgreementOneInput(const uint8_t* data, size_t size) {
  StyleModel m = test::ModelOfBytes(data, size);
  SilentErrorSink scanErrors;
  if (!ScanStyle(m, false, scanErrors)) return "";
  const std::vector<std::string> warnings = ChordRuleWarnings(m);
  const ChordRules rules = ReadChordRules(m);
  for (const std::string& w : RuleDamageWarnings(rules))
    if (std::ranges::find(warnings, w) == warnings.end()) return "info leaves out what the arranger says: " + w;
  for (const RuleGroup& g : rules.groups)
    for (const std::string& section : g.sections)
      if (!g.damage.empty() && !WarnedAbout(warnings, section)) return "info leaves out the damage to " + section;
  arranger::ReadStylePatterns(m, {});  // the arranger reads whatever loads
  const PlayChoices choices;
  const Chord chord{size > 0 ? data[0] % 12 : 0, size > 1 ? data[1] % kChordTypeCount : 0, -1};
  for (int16_t s = 0; s < SectionCount(m); ++s) {
    m.CurrentSectionName = m.SectionName[s];
    FailedProcedures classic;
    AssembleSingleTrack(m, s, choices, classic);
    if (std::string e = CheckRefusal(m, classic, warnings, "the classic assembly"); !e.empty()) return e;
    FailedProcedures anyChord;
    AssembleAnyChord(m, s, choices, rules, chord, anyChord);
    if (std::string e = CheckRefusal(m, anyChord, warnings, "the assembly over any chord"); !e.empty()) return e;
  }
  return "";
}

}  // namespace vambrio::fuzz
