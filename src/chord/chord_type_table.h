// The chord types of the chord rules, in one table: each type's named
// constant, canonical name, tones, and the shape the note mapping moves
// notes by. Chord names, chord symbols, chord detection and the note mapping
// all read it; a new type is a new constant and a new row here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vambrio::chord_type {

// Numbered as the chord-mute bits of the chord rules (bit 0 = major ... bit 33 = "1+2+5").
enum : int {
  kMaj, k6, kMaj7, kMaj7s11, kAdd9, kMaj9, k69, kAug, kMin, kMin6, kMin7, kMin7b5, kMinAdd9, kMin9, kMin11, kMinMaj7,
  kMinMaj9, kDim, kDim7, k7, k7sus4, k7b5, k9, k7s11, k13, k7b9, k7b13, k7s9, kMaj7aug, k7aug, k1p8, k1p5, kSus4,
  k1p2p5,
  kCount
};

using Scale = std::array<int8_t, 7>;  // semitones of degrees 1..7 above the root

inline constexpr Scale kIonian{0, 2, 4, 5, 7, 9, 11};
inline constexpr Scale kDorian{0, 2, 3, 5, 7, 9, 10};
inline constexpr Scale kMixolydian{0, 2, 4, 5, 7, 9, 10};
inline constexpr Scale kMelodicMinor{0, 2, 3, 5, 7, 9, 11};
inline constexpr Scale kLydianAugmented{0, 2, 4, 6, 8, 9, 11};
inline constexpr Scale kDiminished{0, 2, 3, 5, 6, 8, 9};

// The scale a chord recorded in this type is read in: its own, or (for
// chords without a third) the major scale in which such chords are usually
// written, Mixolydian for 7sus4.
enum class ReadIn : uint8_t { OwnScale, Ionian, Mixolydian };

struct TypeInfo {
  int id;
  const char* name;
  int count;
  int tones[5];
  // The chord tones by degree (-1: the type has none). The "seventh" of a
  // 6 chord is its sixth (a Maj7 voicing plays the sixth over a 6 chord),
  // and that of dim7 its diminished seventh.
  int8_t third, fifth, seventh;
  // The scale its non-chord tones are fitted to, chosen as a player would
  // voice a melody over the chord.
  Scale scale;
  bool keepsRecordedScale;  // the notes keep the recorded chord's mode (1+8, 1+5)
  ReadIn recordedIn;
};

inline constexpr TypeInfo kTypes[] = {
    {kMaj, "", 3, {0, 4, 7}, 4, 7, -1, kIonian, false, ReadIn::OwnScale},
    {k6, "6", 4, {0, 4, 7, 9}, 4, 7, 9, kIonian, false, ReadIn::OwnScale},
    {kMaj7, "Maj7", 4, {0, 4, 7, 11}, 4, 7, 11, kIonian, false, ReadIn::OwnScale},
    // Lydian.
    {kMaj7s11, "Maj7#11", 5, {0, 4, 6, 7, 11}, 4, 7, 11, {0, 2, 4, 6, 7, 9, 11}, false, ReadIn::OwnScale},
    {kAdd9, "add9", 4, {0, 2, 4, 7}, 4, 7, -1, kIonian, false, ReadIn::OwnScale},
    {kMaj9, "Maj7(9)", 5, {0, 2, 4, 7, 11}, 4, 7, 11, kIonian, false, ReadIn::OwnScale},
    {k69, "6(9)", 5, {0, 2, 4, 7, 9}, 4, 7, 9, kIonian, false, ReadIn::OwnScale},
    {kAug, "aug", 3, {0, 4, 8}, 4, 8, -1, kLydianAugmented, false, ReadIn::OwnScale},
    {kMin, "m", 3, {0, 3, 7}, 3, 7, -1, kDorian, false, ReadIn::OwnScale},
    {kMin6, "m6", 4, {0, 3, 7, 9}, 3, 7, 9, kDorian, false, ReadIn::OwnScale},
    {kMin7, "m7", 4, {0, 3, 7, 10}, 3, 7, 10, kDorian, false, ReadIn::OwnScale},
    // Locrian natural 2.
    {kMin7b5, "m7b5", 4, {0, 3, 6, 10}, 3, 6, 10, {0, 2, 3, 5, 6, 8, 10}, false, ReadIn::OwnScale},
    {kMinAdd9, "m(9)", 4, {0, 2, 3, 7}, 3, 7, -1, kDorian, false, ReadIn::OwnScale},
    {kMin9, "m7(9)", 5, {0, 2, 3, 7, 10}, 3, 7, 10, kDorian, false, ReadIn::OwnScale},
    {kMin11, "m7(11)", 5, {0, 3, 5, 7, 10}, 3, 7, 10, kDorian, false, ReadIn::OwnScale},
    {kMinMaj7, "mMaj7", 4, {0, 3, 7, 11}, 3, 7, 11, kMelodicMinor, false, ReadIn::OwnScale},
    {kMinMaj9, "mMaj7(9)", 5, {0, 2, 3, 7, 11}, 3, 7, 11, kMelodicMinor, false, ReadIn::OwnScale},
    {kDim, "dim", 3, {0, 3, 6}, 3, 6, -1, kDiminished, false, ReadIn::OwnScale},
    {kDim7, "dim7", 4, {0, 3, 6, 9}, 3, 6, 9, kDiminished, false, ReadIn::OwnScale},
    {k7, "7", 4, {0, 4, 7, 10}, 4, 7, 10, kMixolydian, false, ReadIn::OwnScale},
    // Mixolydian, the third as the fourth.
    {k7sus4, "7sus4", 4, {0, 5, 7, 10}, 5, 7, 10, {0, 2, 5, 5, 7, 9, 10}, false, ReadIn::Mixolydian},
    {k7b5, "7b5", 4, {0, 4, 6, 10}, 4, 6, 10, {0, 2, 4, 5, 6, 9, 10}, false, ReadIn::OwnScale},  // Mixolydian b5
    {k9, "7(9)", 5, {0, 2, 4, 7, 10}, 4, 7, 10, kMixolydian, false, ReadIn::OwnScale},
    {k7s11, "7#11", 5, {0, 4, 6, 7, 10}, 4, 7, 10, {0, 2, 4, 6, 7, 9, 10}, false, ReadIn::OwnScale},  // Lydian dominant
    {k13, "7(13)", 5, {0, 4, 7, 9, 10}, 4, 7, 10, kMixolydian, false, ReadIn::OwnScale},
    // Phrygian dominant; Mixolydian b13.
    {k7b9, "7(b9)", 5, {0, 1, 4, 7, 10}, 4, 7, 10, {0, 1, 4, 5, 7, 8, 10}, false, ReadIn::OwnScale},
    {k7b13, "7(b13)", 5, {0, 4, 7, 8, 10}, 4, 7, 10, {0, 2, 4, 5, 7, 8, 10}, false, ReadIn::OwnScale},
    {k7s9, "7(#9)", 5, {0, 3, 4, 7, 10}, 4, 7, 10, {0, 3, 4, 5, 7, 9, 10}, false, ReadIn::OwnScale},  // Mixolydian #9
    {kMaj7aug, "Maj7aug", 4, {0, 4, 8, 11}, 4, 8, 11, kLydianAugmented, false, ReadIn::OwnScale},
    {k7aug, "7aug", 4, {0, 4, 8, 10}, 4, 8, 10, {0, 2, 4, 6, 8, 8, 10}, false, ReadIn::OwnScale},  // whole tone
    {k1p8, "1+8", 1, {0}, -1, -1, -1, kIonian, true, ReadIn::Ionian},
    {k1p5, "1+5", 2, {0, 7}, -1, 7, -1, kIonian, true, ReadIn::Ionian},
    // Ionian, the third as the fourth.
    {kSus4, "sus4", 3, {0, 5, 7}, 5, 7, -1, {0, 2, 5, 5, 7, 9, 11}, false, ReadIn::Ionian},
    // Ionian, the third as the second.
    {k1p2p5, "1+2+5", 3, {0, 2, 7}, 2, 7, -1, {0, 2, 2, 5, 7, 9, 11}, false, ReadIn::Ionian},
};

// Bit n set: n semitones above the root is a tone of the type.
constexpr uint16_t ToneMask(int type) {
  uint16_t mask = 0;
  for (int k = 0; k < kTypes[type].count; ++k) mask = static_cast<uint16_t>(mask | (1u << kTypes[type].tones[k]));
  return mask;
}

// Every row in its constant's place, its tones rising from the root, and
// its shape made of its own tones.
constexpr bool TableAgrees() {
  if (std::size(kTypes) != static_cast<size_t>(kCount)) return false;
  for (int t = 0; t < kCount; ++t) {
    const TypeInfo& row = kTypes[t];
    if (row.id != t || row.count < 1 || row.count > 5 || row.tones[0] != 0) return false;
    for (int k = 1; k < row.count; ++k)
      if (row.tones[k] <= row.tones[k - 1] || row.tones[k] > 11) return false;
    for (int8_t tone : {row.third, row.fifth, row.seventh})
      if (tone >= 0 && !((ToneMask(t) >> tone) & 1)) return false;
  }
  return true;
}
static_assert(TableAgrees(), "every chord type's row must be in its place and its shape made of its tones");

}  // namespace vambrio::chord_type
