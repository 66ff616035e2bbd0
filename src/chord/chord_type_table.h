// The 34 chord types of the chord rules: canonical names and tones, shared
// by the chord names and the note mapping. Internal to src/chord.
#pragma once

#include <cstdint>

#include "chord/chord_name.h"

namespace vambrio::chord_table {

struct TypeInfo {
  const char* name;
  int count;
  int tones[5];
};

// Numbered as the chord-mute bits of the chord rules.
inline constexpr TypeInfo kTypes[kChordTypeCount] = {
    {"", 3, {0, 4, 7}},
    {"6", 4, {0, 4, 7, 9}},
    {"Maj7", 4, {0, 4, 7, 11}},
    {"Maj7#11", 5, {0, 4, 6, 7, 11}},
    {"add9", 4, {0, 2, 4, 7}},
    {"Maj7(9)", 5, {0, 2, 4, 7, 11}},
    {"6(9)", 5, {0, 2, 4, 7, 9}},
    {"aug", 3, {0, 4, 8}},
    {"m", 3, {0, 3, 7}},
    {"m6", 4, {0, 3, 7, 9}},
    {"m7", 4, {0, 3, 7, 10}},
    {"m7b5", 4, {0, 3, 6, 10}},
    {"m(9)", 4, {0, 2, 3, 7}},
    {"m7(9)", 5, {0, 2, 3, 7, 10}},
    {"m7(11)", 5, {0, 3, 5, 7, 10}},
    {"mMaj7", 4, {0, 3, 7, 11}},
    {"mMaj7(9)", 5, {0, 2, 3, 7, 11}},
    {"dim", 3, {0, 3, 6}},
    {"dim7", 4, {0, 3, 6, 9}},
    {"7", 4, {0, 4, 7, 10}},
    {"7sus4", 4, {0, 5, 7, 10}},
    {"7b5", 4, {0, 4, 6, 10}},
    {"7(9)", 5, {0, 2, 4, 7, 10}},
    {"7#11", 5, {0, 4, 6, 7, 10}},
    {"7(13)", 5, {0, 4, 7, 9, 10}},
    {"7(b9)", 5, {0, 1, 4, 7, 10}},
    {"7(b13)", 5, {0, 4, 7, 8, 10}},
    {"7(#9)", 5, {0, 3, 4, 7, 10}},
    {"Maj7aug", 4, {0, 4, 8, 11}},
    {"7aug", 4, {0, 4, 8, 10}},
    {"1+8", 1, {0}},
    {"1+5", 2, {0, 7}},
    {"sus4", 3, {0, 5, 7}},
    {"1+2+5", 3, {0, 2, 7}},
};

// Bit n set: n semitones above the root is a tone of the type.
constexpr uint16_t ToneMask(int type) {
  uint16_t mask = 0;
  for (int k = 0; k < kTypes[type].count; ++k) mask = static_cast<uint16_t>(mask | (1u << kTypes[type].tones[k]));
  return mask;
}

}  // namespace vambrio::chord_table
