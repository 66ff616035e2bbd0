// The complete chord rules of a style: the CASM block behind the track, read
// once per loaded style into its section groups and, per group, one rule per
// source channel.
//
// The block is found where the track chunk's length says the track ends (or,
// for a wrong length, just behind the End of Track event) and walked chunk by
// chunk by the chunks' own length fields: "CSEG" groups, each with an "Sdec"
// list of section names, "Ctab" (older) or "Ctb2" (newer) entries and
// "Cntt" chunks that replace a "Ctab" entry's transposition table. Unknown
// chunks are stepped over; an entry shorter than the bytes it needs, or for
// a channel above 15, is left out; a block or group cut short keeps the
// entries it holds in full. Any bytes at all are read without fault.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chord/channel_rule.h"

namespace vambrio {

struct StyleModel;

// Shortest entries that are read: a "Ctab" entry up to its RTR byte, a
// "Ctb2" entry up to the high range's RTR byte.
inline constexpr uint32_t kCtabRuleLength = 26;
inline constexpr uint32_t kCtb2RuleLength = 40;

struct RuleGroup {
  std::vector<std::string> sections;  // the "Sdec" names, spaces trimmed
  std::vector<ChannelRule> channels;  // in file order, "Cntt" applied
  // Why the group could not be read as written, in words ("" when it could),
  // and how many of its entries were left out for it.
  std::string damage;
  int skippedEntries = 0;
};

// The 16 rules in force for one section, indexed by source channel.
using SectionRules = std::array<ChannelRule, 16>;

struct ChordRules {
  bool hasBlock = false;  // a CASM block was found
  std::vector<RuleGroup> groups;
  std::string blockDamage;  // what is wrong with the block outside its groups, or ""

  // The rules for the section with this name (compared exactly, spaces
  // around either name trimmed; "Main A" does not match "Main AB"): the
  // defaults, then the entries of every group that lists the section, in
  // file order, so that a later entry for a channel replaces an earlier one.
  SectionRules ForSection(std::string_view section) const;
};

// Reads the chord rules of a style file's bytes. eventStart, when known, is
// the index of the End of Track event's delta time (the scan's EventStart).
ChordRules ReadChordRules(std::span<const uint8_t> file, int64_t eventStart = -1);

// The same for a loaded style.
ChordRules ReadChordRules(const StyleModel& m);

// One warning in words per kind of damage to the block and its groups,
// naming the sections it touches and the entries left out:
// "the chord rules of section Main A are damaged: an entry runs past the end
// of its block (1 entry skipped)". None for a block read as written.
std::vector<std::string> RuleDamageWarnings(const ChordRules& rules);

// The same words for a list of sections that share one kind of damage.
std::string RuleDamageWarning(const std::vector<std::string>& sections, const std::string& damage, int skipped);

}  // namespace vambrio
