// The player's commands to the live arranger and the state it publishes
// for the window, as plain values that cross threads by copy.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chord/chord_name.h"

namespace vambrio::live {

// Sections played in turn (PlayInTurn): the first sixteen at most, as the classic Play has them.
inline constexpr size_t kSectionsInTurn = 16;

struct LiveCommand {
  enum class Kind : uint8_t {
    Start,       // start (the selected Intro first, when one is selected); value: bars of clicks before (0..2)
    Stop,        // every note off at once
    StartStop,   // Start when stopped, Stop when playing
    SyncStart,   // value 1: armed (the first chord starts), 0: off
    Intro,       // value: variation 0..3
    Main,        // value: variation 0..3
    Break,
    Ending,      // value: variation 0..3
    AutoFill,    // value 1: on
    Chord,       // chord
    NoChord,
    Tempo,       // tempo: microseconds a quarter note
    Part,        // value: part 0..7, on: whether it sounds
    // A section by its index, as the main window plays it: started at once
    // when stopped, else from the next bar line.
    PlaySection,  // value: section, on: it repeats (else it stops at its end)
    PlayInTurn,   // value: the first section; the next ones follow it in file order, then it stops
    Repeat,       // on: the section playing repeats, else it stops at the end of its pass
    Metronome,    // value 1: a click on each beat while playing
    Transpose,    // value: semitones -11..11 for every chord given (the pad's, the keyboard's, a chart's)
  } kind = Kind::Stop;
  int value = 0;
  bool on = false;
  Chord chord;
  uint32_t tempo = 0;
};

inline LiveCommand Command(LiveCommand::Kind kind, int value = 0, bool on = false) {
  LiveCommand c;
  c.kind = kind;
  c.value = value;
  c.on = on;
  return c;
}

// What the window shows, published by the audio thread after every block.
struct LiveState {
  bool playing = false;
  bool syncArmed = false;
  bool autoFill = true;
  int section = -1;        // playing
  int queued = -1;         // to start at a coming beat or bar line
  int selectedMain = -1;   // variation 0..3
  int selectedIntro = -1;  // variation, -1: none (plays at the next Start)
  uint32_t bar = 0;        // from 0: in the section, or in the song while a chart plays
  uint32_t beat = 0;       // from 0, in the bar
  uint32_t songBar = 0;    // from 0: bars since Start (a chart's bar while a chart plays)
  uint32_t tempo = 0;
  bool hasChord = false;   // false: no chord in force (none given yet, or N.C.)
  Chord chord;             // the chord the accompaniment follows (a chart's, the pad's, the keyboard's)
  int64_t tick = 0;
  uint64_t blocks = 0;     // blocks processed so far
  bool countingIn = false; // the clicks before the song
  bool metronome = false;
  int transpose = 0;
  int songChord = -1;      // while a chart plays: the step of its song that gave the chord in force     // blocks processed so far
};

}  // namespace vambrio::live
