#include "library/style_summary.h"

#include <algorithm>
#include <cstring>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "chord/chord_rules.h"
#include "loading/entry.h"
#include "model/error_reporter.h"

namespace vambrio::library {
namespace {

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string LoadError(const EntryResult& r, const CollectingErrorReporter& reporter) {
  if (r.outcome == EntryResult::Outcome::Reported) {
    return reporter.messages.empty() ? std::string("The program could not process this file")
                                     : reporter.messages.back();
  }
  return r.reason.empty() ? r.message : r.message + "\n" + r.reason;
}

// The parts the chord rules' entries give channels to, in any section group.
uint8_t PartsOf(const ChordRules& rules) {
  uint8_t parts = 0;
  for (const RuleGroup& group : rules.groups)
    for (const ChannelRule& rule : group.channels)
      if (rule.part >= kRhythmSub && rule.part <= kPhrase2Part) parts |= static_cast<uint8_t>(1u << (rule.part - kRhythmSub));
  return parts;
}

}  // namespace

std::string ContentHash(const uint8_t* data, size_t size) {
  XXH128_hash_t h = XXH3_128bits(data, size);
  static const char* const kHex = "0123456789abcdef";
  std::string out(32, '0');
  for (int i = 0; i < 16; ++i) {
    uint64_t word = i < 8 ? h.high64 : h.low64;
    auto byte = static_cast<uint8_t>(word >> (8 * (7 - i % 8)));
    out[static_cast<size_t>(2 * i)] = kHex[byte >> 4];
    out[static_cast<size_t>(2 * i + 1)] = kHex[byte & 15];
  }
  return out;
}

std::string FormatMarker(const std::vector<uint8_t>& bytes, int64_t setupEnd, const ChordRules& rules) {
  // The marker event FF 06 04 "SFF1" or "SFF2" among the setup events.
  static const uint8_t kMarker[] = {0xFF, 0x06, 0x04, 'S', 'F', 'F'};
  int64_t end = std::min<int64_t>(setupEnd, static_cast<int64_t>(bytes.size()));
  for (int64_t i = 22; i + 7 <= end; ++i) {
    if (std::memcmp(bytes.data() + i, kMarker, sizeof kMarker) != 0) continue;
    uint8_t digit = bytes[static_cast<size_t>(i + 6)];
    if (digit == '1' || digit == '2') return std::string("SFF") + static_cast<char>(digit);
  }
  // No marker: the kind of chord-rule entries tells.
  if (!rules.hasBlock) return "";
  const bool newer = std::ranges::any_of(rules.groups, [](const RuleGroup& group) {
    return std::ranges::any_of(group.channels, [](const ChannelRule& rule) { return rule.newLayout; });
  });
  return newer ? "SFF2" : "SFF1";
}

std::string PartList(uint8_t parts) {
  std::string out;
  for (size_t k = 0; k < kPartNames.size(); ++k) {
    if (!(parts & (1u << k))) continue;
    if (!out.empty()) out += ", ";
    out += kPartNames[k];
  }
  return out;
}

StyleSummary SummarizeStyleFile(const std::string& path) {
  StyleSummary s;
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter reporter;
  // A GM player: the scan then leaves the bytes exactly as the file holds them.
  EntryResult r = Entry(m, path, /*gmPlayer=*/true, reporter);
  bool read = r.outcome == EntryResult::Outcome::Loaded || r.outcome == EntryResult::Outcome::CouldNotProcess;
  if (read || !m.StyleData.empty()) {
    s.size = static_cast<int64_t>(m.StyleData.size());
    s.hash = ContentHash(m.StyleData.data(), m.StyleData.size());
  }
  if (r.outcome != EntryResult::Outcome::Loaded) {
    s.error = LoadError(r, reporter);
    return s;
  }
  s.name = Trimmed(m.StyleName);
  s.copyright = Trimmed(m.StyleCopyright);
  s.tempo = m.DisplayTempo;
  s.timeSignature = r.timeSignatureText;
  int count = SectionCount(m);
  for (int i = 0; i < count; ++i) s.sections.push_back(m.SectionName[i]);
  const int64_t trackEnd = int64_t{m.TrackLength} + 22;
  const ChordRules rules = ReadChordRules(m);
  s.format = FormatMarker(m.StyleData, count > 0 ? m.SectionStart[0] : trackEnd, rules);
  s.parts = PartsOf(rules);
  s.songs = ReadStageSettings(m).songs;
  return s;
}

}  // namespace vambrio::library
