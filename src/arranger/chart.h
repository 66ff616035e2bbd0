// Chord charts: a song as plain text (UTF-8), bar by bar.
//
//   tempo 96                 # optional; default: the style's tempo
//   [Intro A] C | G7 |
//   [Main A]  C Am | F G7 | C . . A7 | Dm7 G7 |
//   %                        # repeats the previous bar
//   [Fill In AA] G7 |
//   [Main B]  F | Fm6 | C/E A7 | Dm7 G7 | N.C. |
//   [Ending A] C |
//
// - `#` starts a comment that runs to the end of the line. A comment of the
//   form `# name: value` (a lower-case name: title, composer, key, style,
//   time) is kept as a fact of the song.
// - Chords are chord names (`vambrio-cli chords`) or lead-sheet symbols
//   (`C^7`, `Bh7`, `F7alt`: `vambrio-cli chords --symbols`), kept as written.
// - A bar ends at `|` or at the end of its line; a `|` with nothing before it
//   ends nothing (so `| C | G |` is two bars).
// - A bar of k chord tokens divides the bar into k equal parts; k must divide
//   the number of beats, or be 2 in any metre. `.` continues the chord
//   before; `N.C.` (also `NC`) is no chord: every non-rhythm part is silent.
// - `%` is a whole bar that repeats the previous bar's chords.
// - `[NAME]` starts the style's section NAME (exactly as the style names it)
//   at the next bar; it must stand at a bar line.
// - `tempo N` (quarter notes a minute, 10..500) takes effect at the next bar
//   line; at the head of the chart it sets the song's tempo.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "chord/chord_name.h"

namespace vambrio::arranger {

struct ChartPlace {
  int line = 0;    // 1-based
  int column = 0;  // 1-based, in characters
};

// One part of a bar: a chord, no chord, or the chord before continued.
struct ChartSlot {
  enum class Kind { Chord, NoChord, Continue } kind = Kind::Continue;
  Chord chord;
  std::string text;  // as written
  ChartPlace place;
};

struct ChartBar {
  std::vector<ChartSlot> slots;
  ChartPlace place;  // of its first token
};

struct ChartSection {
  std::string name;
  size_t firstBar = 0;  // the bar it starts with
  ChartPlace place;
};

struct ChartTempo {
  double qpm = 0;
  size_t bar = 0;  // takes effect at the start of this bar
  ChartPlace place;
};

struct Chart {
  std::vector<ChartBar> bars;
  std::vector<ChartSection> sections;
  std::vector<ChartTempo> tempos;
  std::vector<std::pair<std::string, std::string>> tags;  // from "# name: value" comments, in order

  // The value of the first tag of that name, "" without.
  std::string Tag(std::string_view name) const {
    for (const auto& [n, v] : tags)
      if (n == name) return v;
    return {};
  }
};

struct ChartError {
  ChartPlace place;
  std::string message;
  // "line 3, column 7: unknown chord "Hx7""
  std::string Text() const;
};

// Reads the text of a chart; the first error found ends the reading.
std::variant<Chart, ChartError> ReadChart(std::string_view text);

}  // namespace vambrio::arranger
