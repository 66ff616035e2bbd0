#include "chord/note_mapping.h"

#include "chord/chord_type_table.h"

#include <algorithm>
#include <array>

namespace vambrio {
namespace {

using chord_type::Scale;
using chord_type::TypeInfo;
using chord_type::kTypes;

// The scales of the chord types, chosen as a player would voice a melody
// over the chord (their rows in chord_type_table.h):
//
//   major, 6, Maj7, add9, Maj7(9), 6(9)  Ionian           0 2 4 5 7 9 11
//   Maj7#11                              Lydian           0 2 4 6 7 9 11
//   aug, Maj7aug                         Lydian augmented 0 2 4 6 8 9 11
//   m, m6, m7, m(9), m7(9), m7(11)       Dorian           0 2 3 5 7 9 10
//   mMaj7, mMaj7(9)                      melodic minor    0 2 3 5 7 9 11
//   m7b5                                 Locrian natural 2 0 2 3 5 6 8 10
//   dim, dim7                            diminished       0 2 3 5 6 8 9
//   7, 7(9), 7(13)                       Mixolydian       0 2 4 5 7 9 10
//   7sus4                                Mixolydian, the third as the fourth 0 2 5 5 7 9 10
//   7b5                                  Mixolydian b5    0 2 4 5 6 9 10
//   7#11                                 Lydian dominant  0 2 4 6 7 9 10
//   7(b9)                                Phrygian dominant 0 1 4 5 7 8 10
//   7(b13)                               Mixolydian b13   0 2 4 5 7 8 10
//   7(#9)                                Mixolydian #9    0 3 4 5 7 9 10
//   7aug                                 whole tone       0 2 4 6 8 8 10
//   sus4                                 Ionian, the third as the fourth 0 2 5 5 7 9 11
//   1+2+5                                Ionian, the third as the second 0 2 2 5 7 9 11
//   1+8, 1+5                             the recorded chord's own scale (the notes keep their mode)

// The minor tables choose the sixth and seventh degrees of the scale over a
// minor chord (m, m6, m7, m(9), m7(9), m7(11), mMaj7, mMaj7(9)); their "5th
// variation" forms over m7b5, dim and dim7 as well. A degree the chord
// itself holds (the sixth of m6, the seventh of m7, mMaj7, m7b5, dim7) stays.
//
//   table            6th 7th   over Cm
//   melodic minor     9  11    C D Eb F G A B
//   harmonic minor    8  11    C D Eb F G Ab B
//   natural minor     8  10    C D Eb F G Ab Bb
//   dorian            9  10    C D Eb F G A Bb
struct MinorDegrees {
  int8_t sixth, seventh;
  bool alsoAlteredFifth;
};

constexpr bool MinorTable(Ntt ntt, MinorDegrees& out) {
  switch (ntt) {
    case Ntt::MelodicMinor: out = {9, 11, false}; return true;
    case Ntt::MelodicMinor5th: out = {9, 11, true}; return true;
    case Ntt::HarmonicMinor: out = {8, 11, false}; return true;
    case Ntt::HarmonicMinor5th: out = {8, 11, true}; return true;
    case Ntt::NaturalMinor: out = {8, 10, false}; return true;
    case Ntt::NaturalMinor5th: out = {8, 10, true}; return true;
    case Ntt::Dorian: out = {9, 10, false}; return true;
    case Ntt::Dorian5th: out = {9, 10, true}; return true;
    default: return false;
  }
}

constexpr int Mod12(int x) {
  const int r = x % 12;
  return r < 0 ? r + 12 : r;
}

int ValidType(int type) { return type >= 0 && type < kChordTypeCount ? type : 0; }

constexpr Scale ScaleOf(int type, Ntt ntt) {
  const TypeInfo& shape = kTypes[type];
  Scale s = shape.scale;
  MinorDegrees minor{};
  if (!MinorTable(ntt, minor) || shape.third != 3) return s;
  if (shape.fifth != 7 && !minor.alsoAlteredFifth) return s;
  const bool sixthIsChordTone = shape.seventh == 9 && shape.fifth == 7;  // m6
  const bool seventhIsChordTone = shape.seventh >= 0 && !sixthIsChordTone;
  if (!sixthIsChordTone) s[5] = minor.sixth;
  if (!seventhIsChordTone) s[6] = minor.seventh;
  return s;
}

// The recorded chord's scale: for chords without a third, the major scale
// (Mixolydian for 7sus4) in which such chords are usually written.
constexpr Scale RecordedScale(int type, Ntt ntt) {
  switch (kTypes[type].recordedIn) {
    case chord_type::ReadIn::Mixolydian: return chord_type::kMixolydian;
    case chord_type::ReadIn::Ionian: return chord_type::kIonian;
    default: return ScaleOf(type, ntt);
  }
}

// Both scales for every table and chord type, worked out at compile time.
struct ScaleTables {
  Scale target[kNttCount][kChordTypeCount];
  Scale recorded[kNttCount][kChordTypeCount];
  // Bit n + 12: n semitones above the root (n = -12..35) is a chord tone.
  uint64_t tones[kChordTypeCount];
};

constexpr ScaleTables MakeScaleTables() {
  ScaleTables t{};
  for (int n = 0; n < kNttCount; ++n) {
    for (int type = 0; type < kChordTypeCount; ++type) {
      t.target[n][type] = ScaleOf(type, static_cast<Ntt>(n));
      t.recorded[n][type] = RecordedScale(type, static_cast<Ntt>(n));
    }
  }
  for (int type = 0; type < kChordTypeCount; ++type) {
    const uint64_t mask = chord_type::ToneMask(type);
    t.tones[type] = mask | mask << 12 | mask << 24 | mask << 36;
  }
  return t;
}

constexpr ScaleTables kTables = MakeScaleTables();

// Slot of an interval among the recorded chord's tones: 0 root, 1 third,
// 2 fifth, 3 seventh; -1 for a non-chord tone.
int SlotOf(const TypeInfo& shape, int interval) {
  if (interval == 0) return 0;
  if (interval == shape.third) return 1;
  if (interval == shape.fifth) return 2;
  if (interval == shape.seventh) return 3;
  return -1;
}

int SlotTone(const TypeInfo& shape, int slot) {
  switch (slot) {
    case 0: return 0;
    case 1: return shape.third;
    case 2: return shape.fifth;
    default: return shape.seventh;
  }
}

// The chord tone nearest to an interval of -1..13, upward on a tie.
int NearestChordTone(int interval, int type) {
  const uint64_t tones = kTables.tones[type];
  for (int k = 0; k < 12; ++k) {
    if ((tones >> (interval + k + 12)) & 1) return interval + k;
    if ((tones >> (interval - k + 12)) & 1) return interval - k;
  }
  return interval;
}

// The interval above the new root that an interval 0..11 above the recorded
// root becomes; may leave 0..11 (the chord table can reach the next octave).
int MapInterval(int interval, int recordedType, int type, Ntt ntt) {
  if (ntt == Ntt::Bypass) return interval;
  const int table = static_cast<int>(ntt);
  const TypeInfo& from = kTypes[recordedType];
  const TypeInfo& to = kTypes[type];
  const Scale& fromScale = kTables.recorded[table][recordedType];
  const Scale& toScale = to.keepsRecordedScale ? fromScale : kTables.target[table][type];
  static constexpr int kSlotDegree[4] = {0, 2, 4, 6};
  int mapped;
  const int slot = SlotOf(from, interval);
  if (slot >= 0 && SlotTone(to, slot) >= 0) {
    mapped = SlotTone(to, slot);
  } else if (slot >= 0) {
    mapped = toScale[static_cast<size_t>(kSlotDegree[slot])];
  } else {
    size_t degree = 0;
    for (size_t d = 1; d < 7; ++d)
      if (fromScale[d] <= interval) degree = d;
    mapped = toScale[degree] + (interval - fromScale[degree]);
  }
  return ntt == Ntt::Chord ? NearestChordTone(mapped, type) : mapped;
}

// Root transpose: how far the shape moves from the recorded root to the new
// one, upward as far as the high key, downward beyond it.
int RootShift(int recordedRoot, int root, int highKey) {
  const int up = Mod12(root - recordedRoot);
  return up <= Mod12(highKey - recordedRoot) ? up : up - 12;
}

// The offset -6..5 of a pitch class from a reference: the nearest octave,
// downward on a tie.
int NearestOffset(int difference) {
  const int up = Mod12(difference);
  return up < 6 ? up : up - 12;
}

int FoldIntoLimits(int note, int low, int high) {
  if (high - low >= 11) {
    if (note < low) note += (low - note + 11) / 12 * 12;
    if (note > high) note -= (note - high + 11) / 12 * 12;
  }
  if (note > 127) note -= (note - 127 + 11) / 12 * 12;
  if (note < 0) note += (-note + 11) / 12 * 12;
  return note;
}

// How the notes at one interval above the recorded root move over a chord.
IntervalMove MoveOf(const ChannelRule& rule, const RangeRule& range, int interval, const Chord& chord) {
  const int recordedRoot = Mod12(rule.sourceRoot);
  const int recordedType = ValidType(rule.sourceType);
  const int root = Mod12(chord.root);
  const int type = ValidType(chord.type);
  const bool playsBass = range.bassOn && chord.bass >= 0 && interval == 0;
  if (root == recordedRoot && type == recordedType && !playsBass) return {IntervalMove::AsWritten, 0};
  const Ntt ntt = range.ntr == Ntr::Guitar ? Ntt::Chord : range.ntt;
  if (range.ntr == Ntr::RootTranspose) {
    const int shift = RootShift(recordedRoot, root, range.highKey);
    const int to = playsBass ? NearestOffset(chord.bass - root) : MapInterval(interval, recordedType, type, ntt);
    return {IntervalMove::Transpose, static_cast<int8_t>(shift + to - interval)};
  }
  const int pitch = playsBass ? chord.bass : root + MapInterval(interval, recordedType, type, ntt);
  return {IntervalMove::Nearest, static_cast<int8_t>(Mod12(pitch))};
}

int Apply(IntervalMove move, int note, int low, int high) {
  switch (move.kind) {
    case IntervalMove::AsWritten: return note;
    case IntervalMove::Transpose: return FoldIntoLimits(note + move.value, low, high);
    default: return FoldIntoLimits(note + NearestOffset(move.value - note), low, high);
  }
}

int IntervalAbove(int recordedRoot, int note) { return Mod12(note - Mod12(recordedRoot)); }

}  // namespace

RangeIndex RangeOf(const ChannelRule& rule, int sourceNote) {
  if (!rule.newLayout) return RangeIndex::Middle;
  if (sourceNote < rule.middleLow) return RangeIndex::Low;
  if (sourceNote > rule.middleHigh) return RangeIndex::High;
  return RangeIndex::Middle;
}

bool ChannelSounds(const ChannelRule& rule, const Chord& chord) {
  if (chord.type < 0 || chord.type >= kChordTypeCount) return false;
  return ((rule.chordMute >> chord.type) & 1) != 0 && ((rule.noteMute >> Mod12(chord.root)) & 1) != 0;
}

int MapNote(const ChannelRule& rule, int sourceNote, const Chord& chord) {
  const int note = std::clamp(sourceNote, 0, 127);
  if (IsRhythmPart(rule.part)) return note;
  const RangeRule& range = rule.Range(RangeOf(rule, note));
  return Apply(MoveOf(rule, range, IntervalAbove(rule.sourceRoot, note), chord), note, range.low, range.high);
}

ChannelMapping::ChannelMapping(const ChannelRule& rule, const Chord& chord)
    : rule_(rule), sounds_(ChannelSounds(rule, chord)) {
  if (IsRhythmPart(rule.part)) return;
  for (RangeIndex r : {RangeIndex::Low, RangeIndex::Middle, RangeIndex::High}) {
    if (!rule.newLayout && r != RangeIndex::Middle) continue;  // one range in the older layout
    for (int i = 0; i < 12; ++i)
      moves_[static_cast<size_t>(r)][static_cast<size_t>(i)] = MoveOf(rule, rule.Range(r), i, chord);
  }
}

int ChannelMapping::Map(int sourceNote) const {
  const int note = std::clamp(sourceNote, 0, 127);
  if (IsRhythmPart(rule_.part)) return note;
  const RangeIndex r = RangeOf(rule_, note);
  const RangeRule& range = rule_.Range(r);
  const IntervalMove move = moves_[static_cast<size_t>(r)][static_cast<size_t>(IntervalAbove(rule_.sourceRoot, note))];
  return Apply(move, note, range.low, range.high);
}

}  // namespace vambrio
