// A chart made into a song for a style: the arranger's commands at their
// ticks (sections, chords, tempo), and a player that gives them to an
// arranger as time goes on.
//
// Every bar of the chart is one bar of music. A section kept for more bars
// than it has loops; one kept for fewer is cut at the next section's bar
// line. An ending ("Endi...") that closes the chart plays to its own end on
// the last chord, whatever the number of bars written for it (chords written
// past its end are not played). A chord given again without a change is no
// change.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "arranger/arranger.h"
#include "arranger/chart.h"

namespace vambrio::arranger {

struct SongStep {
  enum class Kind : uint8_t { Tempo, Section, Chord, NoChord } kind = Kind::Chord;
  int64_t tick = 0;
  int section = 0;
  int then = kLoop;        // for Section
  Chord chord;             // for Chord
  std::string text;        // for Chord: as the chart writes it
  uint32_t tempo = 0;      // for Tempo: microseconds a quarter note
};

struct Song {
  std::vector<SongStep> steps;  // in tick order; at a tick: tempo, section, chord
  int64_t end = 0;              // the tick where the song stops
  uint32_t tempo = 0;           // at its start
  uint32_t bars = 0;            // bars of music, an ending's own bars included
};

// Fits the chart to the style: every section name must be one the style has,
// every bar's chords must divide it. `tempo` (quarter notes a minute)
// replaces the tempo the song starts with.
std::variant<Song, ChartError> PlanSong(const Chart& chart, const StylePatterns& style,
                                        std::optional<double> tempo = std::nullopt);

// Gives a song's steps to an arranger as time goes on; allocation-free.
class SongPlayer {
 public:
  SongPlayer(const Song& song, Arranger& arranger) : song_(song), arranger_(arranger) {}
  // Plays up to `tick` (as Arranger::AdvanceTo); at the song's end everything stops.
  void AdvanceTo(int64_t tick, midi::EventSink& out);
  bool Done() const { return done_; }
  uint32_t StartTempo() const { return song_.tempo; }
  // Every chord of the song moved by `semitones` from the next one on (the
  // audio thread); a moved chord is named by its own name, not as written.
  void SetTranspose(int semitones) { transpose_ = semitones; }
  // The step that gave the chord (or N.C.) in force; -1 before the first.
  int ChordStep() const { return chordStep_; }

 private:
  void Apply(const SongStep& step, midi::EventSink& out);
  const Song& song_;
  Arranger& arranger_;
  size_t next_ = 0;
  bool started_ = false;
  bool done_ = false;
  int transpose_ = 0;
  int chordStep_ = -1;
};

// The whole song at once (an export).
void PlaySong(const Song& song, Arranger& arranger, midi::EventSink& out);

}  // namespace vambrio::arranger
