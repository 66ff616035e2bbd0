// How the notes of one section follow the chord: the style's chord rules for
// the section's sixteen source channels, looked up once when the style is
// read, and the few questions the arranger asks of them while it plays.
// Every function here is pure and allocation-free.
#pragma once

#include <string_view>

#include "chord/chord_name.h"
#include "chord/chord_rules.h"
#include "chord/note_mapping.h"

namespace vambrio::arranger {

struct SectionHarmony {
  SectionRules rules;  // by source channel
};

inline SectionHarmony HarmonyFor(const ChordRules& rules, std::string_view section) {
  return SectionHarmony{rules.ForSection(section)};
}

inline const ChannelRule& RuleOf(const SectionHarmony& h, int channel) { return h.rules[static_cast<size_t>(channel & 15)]; }
// The part 8..15 whose switch mutes the channel, or kNoPart.
inline int PartOf(const SectionHarmony& h, int channel) { return RuleOf(h, channel).part; }
inline bool IsRhythm(const SectionHarmony& h, int channel) { return IsRhythmPart(PartOf(h, channel)); }
// Whether the channel sounds on the chord (its chord-type and root switches).
inline bool ChannelSounds(const SectionHarmony& h, int channel, const Chord& chord) {
  return vambrio::ChannelSounds(RuleOf(h, channel), chord);
}
// The note, 0..127, that `note` of the channel plays over the chord.
inline int FollowNote(const SectionHarmony& h, int channel, int note, const Chord& chord) {
  return MapNote(RuleOf(h, channel), note, chord);
}
inline Rtr RetriggerOf(const SectionHarmony& h, int channel, int note) {
  return RetriggerRule(RuleOf(h, channel), note);
}

}  // namespace vambrio::arranger
