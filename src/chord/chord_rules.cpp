#include "chord/chord_rules.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "chord/rule_damage.h"
#include "model/shown_text.h"
#include "model/style_model.h"

namespace vambrio {
namespace {

// A stretch of the file's bytes; every read is checked against its end.
class Bytes {
 public:
  Bytes(std::span<const uint8_t> file, uint64_t begin, uint64_t end)
      : file_(file), begin_(std::min<uint64_t>(begin, file.size())), end_(std::min<uint64_t>(end, file.size())) {}
  uint64_t Begin() const { return begin_; }
  uint64_t End() const { return end_; }
  bool Has(uint64_t p, uint64_t n) const { return p >= begin_ && p <= end_ && n <= end_ - p; }
  uint8_t At(uint64_t p) const { return file_[p]; }
  bool IdIs(uint64_t p, std::string_view id) const {
    return Has(p, 4) && std::equal(id.begin(), id.end(), file_.begin() + static_cast<std::ptrdiff_t>(p));
  }
  uint32_t BE32(uint64_t p) const {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 8) | file_[p + static_cast<uint64_t>(k)];
    return v;
  }
  std::span<const uint8_t> Data(uint64_t p, uint64_t n) const { return file_.subspan(p, n); }
  Bytes Sub(uint64_t begin, uint64_t end) const { return Bytes(file_, begin, std::min(end, end_)); }

 private:
  std::span<const uint8_t> file_;
  uint64_t begin_, end_;
};

// A chunk inside a stretch: its identifier, where its data starts and ends.
struct Chunk {
  uint64_t at, data, end;
  uint32_t length;
};

// The chunk at p, or nothing when its header or its data do not fit. A
// container (the block, a group) cut short keeps what it holds.
std::optional<Chunk> ChunkAt(const Bytes& in, uint64_t p, bool container = false) {
  if (!in.Has(p, 8)) return std::nullopt;
  uint32_t length = in.BE32(p + 4);
  if (!in.Has(p + 8, length)) {
    if (!container) return std::nullopt;
    length = static_cast<uint32_t>(in.End() - (p + 8));
  }
  return Chunk{p, p + 8, p + 8 + length, length};
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

std::vector<std::string> SectionList(std::span<const uint8_t> text) {
  std::vector<std::string> names;
  std::string_view all(reinterpret_cast<const char*>(text.data()), text.size());
  for (size_t start = 0;;) {
    const size_t comma = all.find(',', start);
    std::string name = Trimmed(all.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (!name.empty()) names.push_back(std::move(name));
    if (comma == std::string_view::npos) return names;
    start = comma + 1;
  }
}

uint8_t ValidOr(uint8_t value, int count, uint8_t fallback) { return value < count ? value : fallback; }

// The older layout's table numbers, in the newer numbering.
void SetOlderNtt(RangeRule& r, uint8_t value) {
  switch (value) {
    case 0: r.ntt = Ntt::Bypass; break;
    case 1: r.ntt = Ntt::Melody; break;
    case 2: r.ntt = Ntt::Chord; break;
    case 3: r.ntt = Ntt::Melody, r.bassOn = true; break;  // the bass table
    case 4: r.ntt = Ntt::MelodicMinor; break;
    case 5: r.ntt = Ntt::HarmonicMinor; break;
    default: r.ntt = Ntt::Bypass; break;
  }
}

// A table byte of the newer numbering: bit 7 bass on; with the guitar NTR the
// rest is the guitar mode and the notes follow the chord table.
void SetNewerNtt(RangeRule& r, uint8_t value) {
  r.bassOn = (value & 0x80) != 0;
  const uint8_t table = value & 0x7F;
  if (r.ntr == Ntr::Guitar) {
    r.guitarMode = ValidOr(table, 3, 0);
    r.ntt = Ntt::Chord;
  } else {
    r.ntt = static_cast<Ntt>(ValidOr(table, kNttCount, 0));
  }
}

// NTR, NTT, high key, low limit, high limit, RTR at d[0..5].
RangeRule ReadRange(std::span<const uint8_t> d, bool newLayout) {
  RangeRule r;
  r.ntr = static_cast<Ntr>(ValidOr(d[0], 3, 0));
  if (newLayout) SetNewerNtt(r, d[1]);
  else SetOlderNtt(r, d[1]);
  r.highKey = ValidOr(d[2], 12, 5);
  r.low = d[3];
  r.high = d[4];
  r.rtr = static_cast<Rtr>(ValidOr(d[5], kRtrCount, static_cast<uint8_t>(Rtr::PitchShift)));
  return r;
}

std::optional<ChannelRule> ReadEntry(std::span<const uint8_t> d, bool newLayout) {
  if (d.size() < (newLayout ? kCtb2RuleLength : kCtabRuleLength) || d[0] > 15) return std::nullopt;
  ChannelRule c;
  c.sourceChannel = d[0];
  for (size_t k = 0; k < 8; ++k) c.name[k] = d[1 + k] >= 0x20 && d[1 + k] < 0x7F ? static_cast<char>(d[1 + k]) : '?';
  c.name[8] = '\0';
  c.part = d[9] >= kRhythmSub && d[9] <= kPhrase2Part ? static_cast<int8_t>(d[9]) : kNoPart;
  c.noteMute = static_cast<uint16_t>(((d[11] << 8) | d[12]) & kAllRoots);
  uint64_t mute = 0;
  for (size_t k = 13; k <= 17; ++k) mute = (mute << 8) | d[k];
  c.chordMute = mute & kAllChordTypes;
  c.autoStart = (d[13] & 0x04) != 0;
  c.sourceRoot = ValidOr(d[18], 12, 0);
  c.sourceType = ValidOr(d[19], 34, 2);
  c.newLayout = newLayout;
  c.fromEntry = true;
  if (newLayout) {
    c.middleLow = d[20];
    c.middleHigh = d[21];
    for (size_t r = 0; r < 3; ++r) c.ranges[r] = ReadRange(d.subspan(22 + 6 * r, 6), true);
  } else {
    c.ranges.fill(ReadRange(d.subspan(20, 6), false));
  }
  return c;
}

// A "Cntt" chunk: the channel's "Ctab" entry in this group takes this table.
void ApplyCntt(RuleGroup& g, std::span<const uint8_t> d) {
  if (d.size() < 2) return;
  for (ChannelRule& c : g.channels) {
    if (c.sourceChannel != d[0] || c.newLayout) continue;
    for (RangeRule& r : c.ranges) SetNewerNtt(r, d[1]);
  }
}

bool IsEntryId(const Bytes& in, uint64_t p) { return in.IdIs(p, "Ctab") || in.IdIs(p, "Ctb2"); }

bool IsChunkId(const Bytes& in, uint64_t p) {
  return IsEntryId(in, p) || in.IdIs(p, "Sdec") || in.IdIs(p, "Cntt") || in.IdIs(p, "CSEG");
}

// Where in [from, to) the header of another chunk stands, or `to`.
uint64_t NextChunkId(const Bytes& in, uint64_t from, uint64_t to) {
  for (uint64_t p = from; p + 4 <= to; ++p)
    if (IsChunkId(in, p)) return p;
  return to;
}

// Entry headers in [from, to): the entries a reading that stops at `from` leaves out.
int EntriesIn(const Bytes& in, uint64_t from, uint64_t to) {
  int count = 0;
  for (uint64_t p = from; p + 4 <= to; ++p) count += IsEntryId(in, p) ? 1 : 0;
  return count;
}

// An identifier of four letters, digits or spaces, as every chunk has.
bool LooksLikeId(const Bytes& in, uint64_t p) {
  for (uint64_t k = 0; k < 4; ++k) {
    const uint8_t c = in.At(p + k);
    if (!std::isalnum(c) && c != ' ') return false;
  }
  return true;
}

void NoteDamage(RuleGroup& g, const char* what, int skipped) {
  if (g.damage.empty()) g.damage = what;
  g.skippedEntries += skipped;
}

// What is wrong with an entry chunk as written, or nothing.
const char* EntryDamage(const Bytes& in, const Chunk& chunk) {
  const bool newLayout = in.IdIs(chunk.at, "Ctb2");
  if (chunk.length < (newLayout ? kCtb2RuleLength : kCtabRuleLength)) return kEntryTooShort;
  // Bytes removed from the entry or added to it: its length runs into the
  // chunk behind it, or ends where no chunk starts.
  if (NextChunkId(in, chunk.data, chunk.end) != chunk.end) return kEntryRunsPast;
  if (chunk.end < in.End() && !IsChunkId(in, chunk.end)) return kEntryRunsPast;
  if (in.At(chunk.data) > 15) return kEntryChannelAbove16;
  if (in.At(chunk.data + 9) > 15) return kEntryPartWithoutChannel;
  return nullptr;
}

RuleGroup ReadGroup(const Bytes& in) {
  RuleGroup g;
  std::vector<std::span<const uint8_t>> cntt;
  uint64_t next = in.Begin();
  for (std::optional<Chunk> chunk = ChunkAt(in, next); chunk; chunk = ChunkAt(in, next)) {
    next = chunk->end;
    const uint64_t p = chunk->at;
    const auto data = in.Data(chunk->data, chunk->length);
    if (in.IdIs(p, "Sdec")) {
      for (std::string& name : SectionList(data)) g.sections.push_back(std::move(name));
    } else if (IsEntryId(in, p)) {
      if (const char* damage = EntryDamage(in, *chunk)) NoteDamage(g, damage, 0);
      if (auto c = ReadEntry(data, in.IdIs(p, "Ctb2"))) g.channels.push_back(*c);
      else g.skippedEntries++;
    } else if (in.IdIs(p, "Cntt")) {
      cntt.push_back(data);
    } else if (!LooksLikeId(in, p)) {
      NoteDamage(g, kEntryRunsPast, EntriesIn(in, chunk->data, chunk->end));  // the chunks stepped over
    }
  }
  // Bytes the reading cannot step through: the entries they hold are lost,
  // at least one when they could hold a header.
  if (next < in.End())
    NoteDamage(g, kEntryRunsPast, std::max(EntriesIn(in, next, in.End()), in.End() - next >= 8 ? 1 : 0));
  for (auto d : cntt) ApplyCntt(g, d);
  return g;
}

void ReadBlock(ChordRules& rules, const Bytes& file, const Chunk& casm) {
  rules.hasBlock = true;
  const Bytes block = file.Sub(casm.data, casm.end);
  if (!file.Has(casm.data, casm.length)) rules.blockDamage = "the block runs past the end of the file";
  for (auto chunk = ChunkAt(block, block.Begin(), true); chunk; chunk = ChunkAt(block, chunk->end, true)) {
    if (!block.IdIs(chunk->at, "CSEG")) continue;
    rules.groups.push_back(ReadGroup(block.Sub(chunk->data, chunk->end)));
    if (!block.Has(chunk->data, file.BE32(chunk->at + 4)) && rules.groups.back().damage.empty())
      rules.groups.back().damage = "a group of entries runs past the end of the block";
  }
}

// The CASM chunk among the chunks that follow the track chunk.
std::optional<Chunk> CasmBehindTrack(const Bytes& file) {
  if (!file.Has(14, 8) || !file.IdIs(14, "MTrk")) return std::nullopt;
  for (auto chunk = ChunkAt(file, 22 + uint64_t{file.BE32(18)}, true); chunk; chunk = ChunkAt(file, chunk->end, true))
    if (file.IdIs(chunk->at, "CASM")) return chunk;
  return std::nullopt;
}

// A CASM chunk a few bytes behind the End of Track event.
std::optional<Chunk> CasmNearEndOfTrack(const Bytes& file, int64_t eventStart) {
  if (eventStart < 0) return std::nullopt;
  for (uint64_t p = static_cast<uint64_t>(eventStart); p <= static_cast<uint64_t>(eventStart) + 10; ++p)
    if (file.IdIs(p, "CASM")) return ChunkAt(file, p, true);
  return std::nullopt;
}

}  // namespace

ChannelRule DefaultChannelRule(int sourceChannel) {
  ChannelRule c;
  c.sourceChannel = static_cast<uint8_t>(sourceChannel & 0x0F);
  RangeRule r;
  if (c.sourceChannel >= kRhythmSub) {
    c.part = static_cast<int8_t>(c.sourceChannel);
    c.autoStart = IsRhythmPart(c.part);
    switch (c.part) {
      case kBassPart: r.ntt = Ntt::Melody, r.bassOn = true, r.rtr = Rtr::PitchShiftToRoot; break;
      case kChord1Part:
      case kChord2Part:
      case kPadPart: r.ntt = Ntt::Chord; break;
      case kPhrase1Part:
      case kPhrase2Part: r.ntt = Ntt::Melody; break;
      default: r.ntt = Ntt::Bypass; break;  // rhythm: never transposed
    }
  } else {
    r.ntt = Ntt::Bypass;
  }
  c.ranges.fill(r);
  return c;
}

SectionRules ChordRules::ForSection(std::string_view section) const {
  SectionRules rules;
  for (int ch = 0; ch < 16; ++ch) rules[static_cast<size_t>(ch)] = DefaultChannelRule(ch);
  const std::string name = Trimmed(section);
  for (const RuleGroup& g : groups) {
    if (std::find(g.sections.begin(), g.sections.end(), name) == g.sections.end()) continue;
    for (const ChannelRule& c : g.channels) rules[c.sourceChannel] = c;
  }
  return rules;
}

ChordRules ReadChordRules(std::span<const uint8_t> file, int64_t eventStart) {
  ChordRules rules;
  const Bytes all(file, 0, file.size());
  std::optional<Chunk> casm = CasmBehindTrack(all);
  if (!casm) casm = CasmNearEndOfTrack(all, eventStart);
  if (casm) ReadBlock(rules, all, *casm);
  return rules;
}

ChordRules ReadChordRules(const StyleModel& m) { return ReadChordRules(m.StyleData, m.EventStart); }

std::string RuleDamageWarning(const std::vector<std::string>& sections, const std::string& damage, int skipped) {
  std::string names;
  for (const std::string& s : sections) names += (names.empty() ? "" : ", ") + ShownText(s, 40);
  std::string text = sections.empty() ? "the chord rules of a group that names no section are damaged: "
                                      : std::string("the chord rules of section") + (sections.size() > 1 ? "s " : " ") +
                                            names + " are damaged: ";
  text += damage;
  if (skipped > 0) text += " (" + std::to_string(skipped) + (skipped == 1 ? " entry" : " entries") + " skipped)";
  return text;
}

std::vector<std::string> RuleDamageWarnings(const ChordRules& rules) {
  std::vector<std::string> warnings;
  if (!rules.blockDamage.empty()) warnings.push_back("the chord rules are damaged: " + rules.blockDamage);
  for (const RuleGroup& g : rules.groups)
    if (!g.damage.empty()) warnings.push_back(RuleDamageWarning(g.sections, g.damage, g.skippedEntries));
  return warnings;
}

}  // namespace vambrio
