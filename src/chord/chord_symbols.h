// Chord symbols as lead sheets write them, read as the 34 chord types.
//
// One table holds every chord quality the lead-sheet formats write (the
// quality strings of iReal Pro links, the usual ChordPro spellings and the
// kind values of MusicXML) with the type it plays. A quality that has no
// type of its own plays the nearest one ("rough"): an 11th or 13th chord as
// the type with its strongest tension, an altered dominant as 7(#9).
// Qualities neither in the table nor among the chord names' aliases are
// read tone by tone ("7b9#11": a dominant seventh with a flat ninth and a
// sharp eleventh) and played as the type sharing the most of them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "chord/chord_name.h"

namespace vambrio {

struct ChordSymbolRow {
  const char* quality;  // as written after the root ("^7", "-7b5", "dominant-ninth")
  const char* formats;  // "iReal Pro", "ChordPro", "MusicXML" or several, comma-separated
  int type;             // 0..33
  bool rough;           // the type is only the nearest one
};

std::span<const ChordSymbolRow> ChordSymbolTable();

struct SymbolType {
  int type = 0;
  bool rough = false;
};

// The type a quality plays: the table, then the chord names' aliases, then
// the quality read tone by tone. Nothing for a quality that cannot be read.
std::optional<SymbolType> QualityType(std::string_view quality);

// The nearest type to a set of tones (bit n: n semitones above the root);
// not rough when the set is exactly the type's.
SymbolType NearestType(uint16_t tones);

struct ChordSymbol {
  Chord chord;
  bool rough = false;
};

// A whole symbol: root, quality, an optional "/BASS". Parentheses and spaces
// in the quality are read ("C7(b9)", "Cmaj7 #11").
std::optional<ChordSymbol> ReadChordSymbol(std::string_view text, std::string* error = nullptr);

// The symbol moved by `semitones`, its quality as written: "Bb-7/F" +2 = "C-7/G".
std::string TransposeSymbol(std::string_view text, int semitones);

}  // namespace vambrio
