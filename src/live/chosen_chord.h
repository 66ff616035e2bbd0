// The chord the player has chosen for the accompaniment, held in one place:
// the Arranger window chooses it and plays over it, and the library's
// preview plays over it too. C major until the player chooses another.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chord/chord_name.h"
#include "live/live_command.h"

namespace vambrio::live {

struct ChosenChord {
  bool noChord = false;  // "N.C.": the rhythm parts alone
  Chord chord;           // the chord, or the last one before "N.C."

  // The command that gives it to a live arranger.
  LiveCommand Command() const {
    LiveCommand c = live::Command(noChord ? LiveCommand::Kind::NoChord : LiveCommand::Kind::Chord);
    c.chord = chord;
    return c;
  }
  // As it is shown and kept: "Am7", "F/A", "N.C.".
  std::string Text() const { return noChord ? std::string(kNoChordText) : ChordName(chord); }
  // Reads what Text wrote; false (and nothing changed) for a text that names no chord.
  bool SetText(std::string_view text) {
    if (text == kNoChordText) {
      noChord = true;
      return true;
    }
    std::optional<Chord> read = ParseChord(text);
    if (!read) return false;
    noChord = false;
    chord = *read;
    return true;
  }

  static constexpr std::string_view kNoChordText = "N.C.";
  friend bool operator==(const ChosenChord&, const ChosenChord&) = default;
};

}  // namespace vambrio::live
