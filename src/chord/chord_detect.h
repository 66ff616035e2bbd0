// Fingered chord detection: the keys the left hand holds name a chord of one
// of the 34 types, over any root and in any inversion. Runs on every key
// event of a MIDI keyboard, so it neither allocates nor locks.
//
// How held keys are read (pitch classes; the bass is the lowest held key):
//
//  1. All held pitch classes form a chord type over some root: the root is
//     the lowest held key that can be one. A bass other than the root makes
//     a slash chord ("C/E"); 1+8 never has a bass.
//  2. Otherwise the usual reductions, read the same way: a type with a
//     perfect fifth and a sixth or seventh may leave the fifth out (C E Bb =
//     C7, C Eb Bb = Cm7, C E B = CMaj7, C D E Bb = C7(9), ...; a cluster such
//     as C D E is no chord); root and major third = the major triad, root and
//     minor third = the minor triad. (Root
//     and fifth = 1+5 and a single key = 1+8 are types of their own in rule 1.)
//  3. Otherwise, when the bass key's pitch class is held nowhere else and the
//     other keys (two pitch classes or more) read by rules 1-2, the bass is
//     not a chord tone: that chord over the bass ("C/F" from F C E G).
//  4. Otherwise the keys name no chord (C C# D, C F#, ...): the chord in
//     force stays.
//
// Sets that several types share are decided by rule 1's lowest root. So
// C E G A is C6 and A C E G is Am7, and these inversions (close position, the
// named tone in the bass) read as another chord:
//   6       any inversion        -> m7 on the sixth      (E G A C = Am7/E)
//   m6      any inversion        -> m7b5 on the sixth    (Eb G A C = Am7b5/Eb)
//   6(9)    any inversion        -> m7(11) on the sixth
//   m7      third in the bass    -> 6 on the third       (Eb G Bb C = Eb6)
//   m7b5    third in the bass    -> m6 on the third      (Eb Gb Bb C = Ebm6)
//   m7(11)  third in the bass    -> 6(9) on the third
//   sus4    fourth in the bass   -> 1+2+5 on the fourth  (F G C = F1+2+5)
//   1+2+5   second or fifth      -> sus4 on the fifth    (G C D = Gsus4)
//   7b5     third or b5          -> 7b5 on the b5        (E F# Bb C = F#7b5/E)
//   dim7, aug: symmetric, their root is always the bass (Eb Gb A C = Ebdim7).
// Every other inversion is the chord over its bass.
// A full reading beats a reduction: C E A is Am/C, not C6 without its fifth;
// D C E G is Cadd9/D, not C/D.
#pragma once

#include <cstdint>
#include <optional>

#include "chord/chord_name.h"

namespace vambrio {

// The keys held down, one bit per MIDI note 0..127.
class HeldKeys {
 public:
  void Set(int note, bool down) {
    if (note < 0 || note > 127) return;
    uint64_t bit = uint64_t{1} << (note & 63);
    uint64_t& word = note < 64 ? lo_ : hi_;
    word = down ? (word | bit) : (word & ~bit);
  }
  bool Held(int note) const {
    if (note < 0 || note > 127) return false;
    return ((note < 64 ? lo_ : hi_) >> (note & 63)) & 1;
  }
  bool Empty() const { return lo_ == 0 && hi_ == 0; }
  void Clear() { lo_ = hi_ = 0; }
  // The lowest held note above `after` (-1 for the lowest of all); -1 when none.
  int Next(int after = -1) const;
  // The held pitch classes, bit 0 = C.
  uint16_t PitchClasses() const;

 private:
  uint64_t lo_ = 0;
  uint64_t hi_ = 0;
};

// The chord the keys name, or nothing (rule 4).
std::optional<Chord> DetectChord(const HeldKeys& keys);

// The left hand over time: each key pressed reads the held keys anew. With
// chord memory (the default) the chord stays when the keys are released;
// without it, releasing the last key ends the chord (no chord, N.C.).
class ChordDetector {
 public:
  explicit ChordDetector(bool memory = true) : memory_(memory) {}
  void SetMemory(bool on) { memory_ = on; }
  bool Memory() const { return memory_; }

  // Each returns true when the chord changed; Current() then holds it.
  bool KeyDown(int note);
  bool KeyUp(int note);
  bool ReleaseAll();

  const std::optional<Chord>& Current() const { return chord_; }
  const HeldKeys& Keys() const { return keys_; }

 private:
  bool EndWhenReleased();

  bool memory_;
  HeldKeys keys_;
  std::optional<Chord> chord_;
};

}  // namespace vambrio
