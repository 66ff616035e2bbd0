// What the commands of vambrio-cli share for "Any chord": the --chord option
// and the chord rules printed by info --rules (defined in cmd_chords.cpp).
#pragma once

#include <optional>
#include <ostream>

#include <nlohmann/json.hpp>

#include "chord/chord_name.h"
#include "chord/chord_rules.h"
#include "cli/cli_common.h"

namespace vambrio::cli {

// --chord NAME: false, after saying why on standard error, when NAME is no
// chord or comes with --minor (the classic C minor). Without the option the
// chord stays empty: the classic Major/Minor playback.
bool ReadChordOption(const ParsedArgs& args, std::optional<Chord>& chord);

// The chord rules as info --json --rules reports them: per group its
// sections and per channel every field, the masks as chord-type and root names.
nlohmann::ordered_json RulesJson(const ChordRules& rules);

// The same, readable: one line per channel.
void PrintRules(std::ostream& out, const ChordRules& rules);

}  // namespace vambrio::cli
