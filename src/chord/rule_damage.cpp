#include "chord/rule_damage.h"

#include <algorithm>
#include <map>

#include "chord/chord_rules.h"
#include "chord/get_channels.h"

namespace vambrio {

std::string ClassicRuleDamage(const StyleModel& m, const std::string& section) {
  StyleModel reading;
  reading.StyleData = m.StyleData;
  reading.EventStart = m.EventStart;
  reading.TrackLength = m.TrackLength;
  reading.CurrentSectionName = section;
  GetChannels(reading);
  return reading.Chord.Damage;
}

std::vector<std::string> ChordRuleWarnings(const StyleModel& m) {
  const ChordRules rules = ReadChordRules(m);
  std::vector<std::string> warnings = RuleDamageWarnings(rules);
  std::vector<std::string> named;
  for (const RuleGroup& g : rules.groups)
    if (!g.damage.empty()) named.insert(named.end(), g.sections.begin(), g.sections.end());
  std::map<std::string, std::vector<std::string>> sectionsByDamage;
  for (int i = 0; i < SectionCount(m); ++i) {
    const std::string& section = m.SectionName[static_cast<size_t>(i)];
    if (std::find(named.begin(), named.end(), section) != named.end()) continue;
    if (std::string damage = ClassicRuleDamage(m, section); !damage.empty())
      sectionsByDamage[damage].push_back(section);
  }
  for (const auto& [damage, sections] : sectionsByDamage) warnings.push_back(RuleDamageWarning(sections, damage, 0));
  return warnings;
}

}  // namespace vambrio
