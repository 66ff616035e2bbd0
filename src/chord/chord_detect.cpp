#include "chord/chord_detect.h"

#include <array>
#include <bit>

namespace vambrio {
namespace {

constexpr int kFifth = 7;

// For each set of pitch classes above a root (bit 0 = the root), the chord
// type it is, or -1: once for the full types, once for the reductions.
struct ReadingTables {
  std::array<int8_t, 4096> full;
  std::array<int8_t, 4096> reduced;
};

uint16_t MaskOf(int type, bool withoutFifth) {
  uint16_t mask = 0;
  for (int tone : ChordTypeTones(type)) {
    if (!(withoutFifth && tone == kFifth)) mask = static_cast<uint16_t>(mask | (1u << (tone % 12)));
  }
  return mask;
}

ReadingTables MakeTables() {
  ReadingTables t;
  t.full.fill(-1);
  t.reduced.fill(-1);
  for (int type = 0; type < kChordTypeCount; ++type) {
    uint16_t mask = MaskOf(type, false);
    if (t.full[mask] < 0) t.full[mask] = static_cast<int8_t>(type);
  }
  for (int type = 0; type < kChordTypeCount; ++type) {
    auto tones = ChordTypeTones(type);
    bool hasFifth = false, hasSixthOrSeventh = false;
    for (int tone : tones) {
      hasFifth = hasFifth || tone == kFifth;
      hasSixthOrSeventh = hasSixthOrSeventh || tone >= 9;
    }
    if (!hasFifth || !hasSixthOrSeventh) continue;
    uint16_t mask = MaskOf(type, true);
    if (t.reduced[mask] < 0) t.reduced[mask] = static_cast<int8_t>(type);
  }
  t.reduced[0b10001] = chord_type::kMaj;  // root and major third
  t.reduced[0b01001] = chord_type::kMin;  // root and minor third
  return t;
}

const ReadingTables& Tables() {
  static const ReadingTables tables = MakeTables();
  return tables;
}

// The pitch classes seen from `root`: bit 0 = the root.
uint16_t Rotate(uint16_t pcs, int root) {
  return static_cast<uint16_t>(((pcs >> root) | (pcs << (12 - root))) & 0xFFF);
}

// Rule 1 or 2 with one table: the lowest held key that can be a root.
std::optional<Chord> ReadWith(const HeldKeys& keys, uint16_t pcs, const std::array<int8_t, 4096>& table) {
  uint16_t tried = 0;
  for (int note = keys.Next(); note >= 0; note = keys.Next(note)) {
    int root = note % 12;
    if (tried & (1u << root)) continue;
    tried = static_cast<uint16_t>(tried | (1u << root));
    if (int type = table[Rotate(pcs, root)]; type >= 0) return Chord{root, type, -1};
  }
  return std::nullopt;
}

std::optional<Chord> ReadAll(const HeldKeys& keys, uint16_t pcs) {
  if (auto c = ReadWith(keys, pcs, Tables().full)) return c;
  return ReadWith(keys, pcs, Tables().reduced);
}

}  // namespace

int HeldKeys::Next(int after) const {
  int from = after + 1;
  if (from < 64) {
    uint64_t rest = from <= 0 ? lo_ : (lo_ >> from) << from;
    if (rest) return std::countr_zero(rest);
    from = 64;
  }
  if (from > 127) return -1;
  uint64_t rest = (hi_ >> (from - 64)) << (from - 64);
  return rest ? 64 + std::countr_zero(rest) : -1;
}

uint16_t HeldKeys::PitchClasses() const {
  uint16_t pcs = 0;
  for (int note = Next(); note >= 0; note = Next(note)) pcs = static_cast<uint16_t>(pcs | (1u << (note % 12)));
  return pcs;
}

std::optional<Chord> DetectChord(const HeldKeys& keys) {
  int bassNote = keys.Next();
  if (bassNote < 0) return std::nullopt;
  int bass = bassNote % 12;
  uint16_t pcs = keys.PitchClasses();
  if (auto c = ReadAll(keys, pcs)) {
    if (c->root != bass && c->type != chord_type::k1p8) c->bass = bass;
    return c;
  }
  // Rule 3: a bass below a chord that it does not belong to.
  HeldKeys upper = keys;
  upper.Set(bassNote, false);
  uint16_t upperPcs = upper.PitchClasses();
  if ((upperPcs & (1u << bass)) || std::popcount(upperPcs) < 2) return std::nullopt;
  if (auto c = ReadAll(upper, upperPcs)) {
    c->bass = bass;
    return c;
  }
  return std::nullopt;
}

bool ChordDetector::KeyDown(int note) {
  keys_.Set(note, true);
  auto reading = DetectChord(keys_);
  if (!reading || reading == chord_) return false;  // keys that name no chord leave the chord as it is
  chord_ = reading;
  return true;
}

// Letting keys go never names a new chord (a chord released key by key would
// otherwise pass through its reductions down to 1+8); only releasing the last
// one matters, and only without chord memory.
bool ChordDetector::KeyUp(int note) {
  keys_.Set(note, false);
  return EndWhenReleased();
}

bool ChordDetector::ReleaseAll() {
  keys_.Clear();
  return EndWhenReleased();
}

bool ChordDetector::EndWhenReleased() {
  if (memory_ || !keys_.Empty() || !chord_) return false;
  chord_.reset();
  return true;
}

}  // namespace vambrio
