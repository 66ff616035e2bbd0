// Chords by name: a root, one of the 34 chord types an arranger keyboard
// knows, and an optional bass note (a slash chord such as "F/A").
//
// Chord types are numbered as the chord-mute bits of a style's chord rules
// (bit 0 = major ... bit 33 = "1+2+5"). Printing always uses the canonical
// names of ChordTypeName; parsing also accepts the usual aliases ("maj7",
// "M7", "min", "-7", "ø", "o7", "+", "9", "sus", ...).
//
// Roots are printed with one fixed spelling per pitch class:
//   C  Db  D  Eb  E  F  F#  G  Ab  A  Bb  B
// (the flats that chord charts use, and F# rather than Gb). Parsing accepts
// the 17 names C C# Db D D# Eb E F F# Gb G G# Ab A A# Bb B (also with the
// signs ♯ and ♭), so "A#m7" reads as the chord that prints as "Bbm7".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "chord/chord_type_table.h"

namespace vambrio {

inline constexpr int kChordTypeCount = chord_type::kCount;

struct Chord {
  int root = 0;   // pitch class, 0 = C .. 11 = B
  int type = 0;   // 0..33, numbered as the chord-mute bits ("" major, "6", "Maj7", ... "1+2+5")
  int bass = -1;  // a slash chord's bass pitch class, -1 without
  friend bool operator==(const Chord&, const Chord&) = default;
};

// The chord moved by `semitones` (any sign), its bass with it.
inline Chord Transposed(Chord chord, int semitones) {
  const int by = ((semitones % 12) + 12) % 12;
  chord.root = (chord.root + by) % 12;
  if (chord.bass >= 0) chord.bass = (chord.bass + by) % 12;
  return chord;
}

// The canonical name of a chord type: "" (major), "6", "Maj7", ... "1+2+5";
// "" for a number outside 0..33.
const char* ChordTypeName(int type);

// The name a list of types shows: "Maj" for major, else the canonical name.
const char* ChordTypeCaption(int type);

// The tones of a chord type in semitones above the root, ascending, the first
// always 0 (for example "m7b5" = 0 3 6 10); empty for a number outside 0..33.
std::span<const int> ChordTypeTones(int type);

// Reads a chord name: a root, a type name or alias, and an optional "/BASS".
// Spaces around the name are ignored. A bass equal to the root is no slash
// chord (bass -1). "N.C." (no chord) is not a chord and is refused. On
// failure returns nothing and, when error is given, says what is wrong.
std::optional<Chord> ParseChord(std::string_view text, std::string* error = nullptr);

// The canonical name: root, type name, and "/" + bass for a slash chord,
// e.g. "Bbm7", "F/A", "C", "F#7(b9)".
std::string ChordName(const Chord& chord);

// The printed name of a pitch class 0..11 ("C", "Db", ... "B"); "" outside.
const char* RootName(int pitchClass);

// The pitch class of one of the 17 accepted root names, exactly as written.
std::optional<int> ParseRoot(std::string_view text);

// The type a canonical name or alias stands for ("Maj" and "" for major).
std::optional<int> ParseChordType(std::string_view text);

}  // namespace vambrio
