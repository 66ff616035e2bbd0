// Damaged chord rules, as every path that reads them sees them: the
// complete reading (the arranger's, the assembly over any chord) and the
// classic reading behind the assembly, section by section.
#pragma once

#include <string>
#include <vector>

#include "model/style_model.h"

namespace vambrio {

// Why the classic reading of the section's chord rules cannot read them as
// written, in words, or "".
std::string ClassicRuleDamage(const StyleModel& m, const std::string& section);

// Every warning about damaged chord rules a loaded style deserves: those of
// the complete reading, then, for each section they do not name yet, the
// classic reading's.
std::vector<std::string> ChordRuleWarnings(const StyleModel& m);

}  // namespace vambrio
