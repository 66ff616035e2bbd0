// Damaged chord rules, as every path that reads them sees them: the
// complete reading (the arranger's, the assembly over any chord) and the
// classic reading behind the assembly, section by section.
#pragma once

#include <string>
#include <vector>

#include "model/style_model.h"

namespace vambrio {

// What can be wrong with an entry of the chord rules, in the words both
// readings use (so that one kind of damage reads the same from either).
inline constexpr char kEntryTooShort[] = "an entry is too short to hold its rule";
inline constexpr char kEntryRunsPast[] = "an entry runs past the end of its block";
inline constexpr char kEntryChannelAbove16[] = "an entry names a channel above 16";
inline constexpr char kEntryPartWithoutChannel[] = "an entry names a part that no channel has";

// Why the classic reading of the section's chord rules cannot read them as
// written, in words, or "".
std::string ClassicRuleDamage(const StyleModel& m, const std::string& section);

// Every warning about damaged chord rules a loaded style deserves: those of
// the complete reading, then, for each section they do not name yet, the
// classic reading's.
std::vector<std::string> ChordRuleWarnings(const StyleModel& m);

}  // namespace vambrio
