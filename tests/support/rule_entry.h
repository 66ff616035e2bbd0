// Complete chord-rule entries for test styles: every field of a "Ctab"
// (older) or "Ctb2" (newer) entry, with the values a real style would hold
// unless a test says otherwise. Add them to a group with
// CasmBuilder::RawInGroup(CtabChunk(entry)).
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "style_builder.h"

namespace vambrio::test {

struct RuleRange {
  int ntr = 0;       // 0 root transpose, 1 root fixed, 2 guitar
  int ntt = 1;       // the entry's byte (the newer layout's bit 7: bass on)
  int highKey = 5;   // F
  int low = 0;
  int high = 127;
  int rtr = 1;       // pitch shift
};

struct RuleEntry {
  int channel = 10;
  std::string name = "Part    ";
  int dest = 10;
  int noteMute = 0x0FFF;                        // every root
  uint64_t chordMute = (uint64_t{1} << 34) - 1; // every chord type
  bool autoStart = false;
  int sourceRoot = 0;
  int sourceType = 2;  // CMaj7
  RuleRange range;     // the only range of a Ctab entry, the middle range of a Ctb2 entry
  int middleLow = 0;   // Ctb2 only
  int middleHigh = 127;
  RuleRange low, high;
  int length = -1;     // data bytes; -1: 27 for Ctab, 41 for Ctb2
};

inline Bytes RuleChunk(const char* id, const RuleEntry& e, int defaultLength) {
  const int length = e.length < 0 ? defaultLength : e.length;
  Bytes d(static_cast<size_t>(std::max(length, 42)), 0);
  d[0] = static_cast<uint8_t>(e.channel);
  for (size_t k = 0; k < 8; ++k) d[1 + k] = static_cast<uint8_t>(k < e.name.size() ? e.name[k] : ' ');
  d[9] = static_cast<uint8_t>(e.dest);
  d[10] = 1;
  d[11] = static_cast<uint8_t>(e.noteMute >> 8);
  d[12] = static_cast<uint8_t>(e.noteMute);
  const uint64_t mute = e.chordMute | (e.autoStart ? uint64_t{1} << 34 : 0);
  for (size_t k = 0; k < 5; ++k) d[13 + k] = static_cast<uint8_t>(mute >> (8 * (4 - k)));
  d[18] = static_cast<uint8_t>(e.sourceRoot);
  d[19] = static_cast<uint8_t>(e.sourceType);
  auto put = [&](size_t at, const RuleRange& r) {
    const int values[6] = {r.ntr, r.ntt, r.highKey, r.low, r.high, r.rtr};
    for (size_t k = 0; k < 6; ++k) d[at + k] = static_cast<uint8_t>(values[k]);
  };
  if (std::string(id) == "Ctab") {
    put(20, e.range);
  } else {
    d[20] = static_cast<uint8_t>(e.middleLow);
    d[21] = static_cast<uint8_t>(e.middleHigh);
    put(22, e.low);
    put(28, e.range);
    put(34, e.high);
  }
  d.resize(static_cast<size_t>(length));
  Bytes out;
  AppendText(out, id);
  AppendBE32(out, static_cast<uint32_t>(length));
  out.insert(out.end(), d.begin(), d.end());
  return out;
}

inline Bytes CtabChunk(const RuleEntry& e) { return RuleChunk("Ctab", e, 27); }
inline Bytes Ctb2Chunk(const RuleEntry& e) { return RuleChunk("Ctb2", e, 41); }

// A "Cntt" chunk: the channel's Ctab entry takes this table (newer numbering, bit 7 bass on).
inline Bytes CnttChunk(int channel, int table) {
  Bytes out;
  AppendText(out, "Cntt");
  AppendBE32(out, 2);
  out.push_back(static_cast<uint8_t>(channel));
  out.push_back(static_cast<uint8_t>(table));
  return out;
}

}  // namespace vambrio::test

namespace vambrio::test {

// The same style with another block behind its track chunk (whatever stood
// there before is dropped).
inline Bytes WithBlock(const Bytes& style, const Bytes& block) {
  const size_t trackEnd = 22 + ((size_t{style[18]} << 24) | (size_t{style[19]} << 16) | (size_t{style[20]} << 8) | style[21]);
  Bytes out(style.begin(), style.begin() + static_cast<std::ptrdiff_t>(trackEnd));
  out.insert(out.end(), block.begin(), block.end());
  return out;
}

// Chord rules as real styles hold them, for channels 9-16 and two groups
// (the Main sections with intros and endings, the fills): drums fixed, the
// bass on the melody table with bass on, chord parts and pad on the chord
// table (the chord parts in place), phrases on the melody table. In the newer
// layout each channel has three ranges; in the older one "Cntt" chunks set
// the tables of the bass and the phrases.
inline Bytes RealisticRules(bool newLayout, const std::string& mains, const std::string& fills) {
  CasmBuilder casm;
  for (const std::string& group : {mains, fills}) {
    casm.Group(group);
    for (int ch = 8; ch < 16; ++ch) {
      RuleEntry e;
      e.channel = ch;
      e.dest = ch;
      e.autoStart = ch < 10;
      const bool chordPart = ch >= 11 && ch <= 13;
      e.range = ch < 10 ? RuleRange{1, 0, 5, 0, 127, 1}
                        : RuleRange{chordPart && ch != 12 ? 1 : 0, chordPart ? 2 : (ch == 10 ? 0x81 : 1), ch == 10 ? 7 : 5,
                                    ch == 10 ? 28 : 48, ch == 10 ? 55 : 84, ch == 10 ? 2 : 1};
      if (ch == 14) e.chordMute &= ~(uint64_t{1} << 30);  // the phrase rests on 1+8
      if (newLayout && ch >= 10) {
        e.middleLow = 48;
        e.middleHigh = 84;
        e.low = {0, 0x81, 5, 24, 47, 2};
        e.high = {1, ch == 14 ? 9 : 2, 5, 85, 108, 0};
        casm.RawInGroup(Ctb2Chunk(e));
      } else {
        if (!newLayout && (ch == 10 || ch >= 14)) e.range.ntt = 0;  // set by Cntt below
        casm.RawInGroup(CtabChunk(e));
      }
    }
    if (!newLayout) casm.RawInGroup(CnttChunk(10, 0x81)).RawInGroup(CnttChunk(14, 1)).RawInGroup(CnttChunk(15, 7));
  }
  return casm.Build();
}

}  // namespace vambrio::test
