// The arranger: plays a style's sections bar after bar, loops its Mains
// without a gap, switches sections on the bar line and follows the chord.
//
// It is driven by time: AdvanceTo(T) sends every event due before tick T, in
// order, to an event sink; a command (section, chord, parts, tempo, stop)
// acts at the tick reached so far and sends what it causes at that tick.
// The same code serves the offline export and live play from inside an
// audio callback: once built, no member function allocates, locks or waits.
//
// No note is left hanging: every note on sent gets its note off, across
// section changes, loops, chord changes, mutes and Stop.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "arranger/style_patterns.h"
#include "chord/chord_name.h"
#include "midi/event_sink.h"

namespace vambrio::arranger {

struct ArrangerOptions {
  bool gmPlayer = false;  // Rhythm Sub notes one channel up, as the classic player moves them
  std::array<bool, 8> partsOn{true, true, true, true, true, true, true, true};  // "Rhythm Sub" .. "Phrase 2"
};

// What follows when a section has played its last bar.
inline constexpr int kLoop = -1;        // it starts again from its first bar
inline constexpr int kStopAtEnd = -2;   // everything stops (an ending)
// (any section index: that section starts from its first bar)

struct Position {
  bool playing = false;
  int section = -1;       // playing now
  int queued = -1;        // requested, not started yet
  int64_t tick = 0;       // reached so far
  uint32_t bar = 0;       // in the section, from 0
  uint32_t beat = 0;      // in the bar, from 0
};

class Arranger {
 public:
  // `style` must outlive the arranger; everything else is allocated here, once.
  Arranger(const StylePatterns& style, const ArrangerOptions& options);
  Arranger(const Arranger&) = delete;
  Arranger& operator=(const Arranger&) = delete;

  // Sends the tempo and the setup events, then starts `section` from its
  // first bar, all at the tick reached; `then` says what follows its last
  // bar. A running accompaniment is stopped first.
  void Start(int section, midi::EventSink& out, int then = kLoop);

  // Starts `section` at `tick` (not before the tick reached) from `from`
  // ticks into it; `then` says what follows its last bar. Replaces a switch
  // not yet made. The general form of every live rule: a fill from a beat to
  // the bar line then a Main, a one-bar break then the Main, an ending that stops.
  void StartSectionAt(int section, int64_t tick, uint32_t from, int then);
  // The usual request: `section` from its first bar at the next bar line.
  void RequestSection(int section, int then = kLoop) { StartSectionAt(section, NextBarLine(), 0, then); }

  // What follows the section playing (and a switch not yet made) after its pass.
  void SetThen(int then);
  // `text` is the chord's name as the song writes it ("C^7"), sent as the
  // chord's text event; empty or longer than 23 characters: its own name.
  void SetChord(const Chord& chord, midi::EventSink& out, std::string_view text = {});
  void SetNoChord(midi::EventSink& out);  // every non-rhythm channel silent until the next chord
  void SetPartOn(int part, bool on, midi::EventSink& out);  // part 0..7
  void SetTempo(uint32_t microsPerQuarter, midi::EventSink& out);
  // Note offs for every sounding note, then sustain off, sostenuto off and
  // all notes off on all sixteen channels.
  void Stop(midi::EventSink& out);

  // Sends every event before `tick`; a section switch or the end of a pass
  // that falls on `tick` itself is made too.
  void AdvanceTo(int64_t tick, midi::EventSink& out);

  Position Now() const;
  bool Playing() const { return playing_; }
  int64_t NextBarLine() const;
  int64_t NextBeat() const;
  int64_t PassEnd() const { return passStart_ + Current().length; }  // where the section's current pass ends
  uint32_t Tempo() const { return tempo_; }
  // The chord the notes follow now; null before the first chord and after "N.C.".
  const Chord* CurrentChord() const { return haveChord_ ? &chord_ : nullptr; }
  const StylePatterns& Style() const { return style_; }

 private:
  struct Voice {
    uint8_t outChannel = 0;
    uint8_t outNote = 0;
    uint8_t velocity = 0;
    bool on = false;
  };
  struct Switch {
    bool pending = false;
    int section = 0;
    int64_t tick = 0;
    uint32_t from = 0;
    int then = kLoop;
  };

  const SectionPattern& Current() const { return style_.sections[static_cast<size_t>(section_)]; }
  void Send(midi::EventSink& out, uint8_t status, uint8_t data1, uint8_t data2);
  void SendMeta(midi::EventSink& out, uint8_t type, const char* text, uint32_t size);
  void SendPattern(midi::EventSink& out, const PatternEvent& e);
  void Note(midi::EventSink& out, const PatternEvent& e);
  bool Admits(int channel) const;
  void Acquire(midi::EventSink& out, int channel, int note, int outChannel, int outNote, int velocity);
  void Release(midi::EventSink& out, int channel, int note);
  void ReleaseAll(midi::EventSink& out);
  void Follow(midi::EventSink& out);
  void BeginSection(midi::EventSink& out, int section, uint32_t from, int then);
  void EndPass(midi::EventSink& out);

  const StylePatterns& style_;
  ArrangerOptions options_;
  bool playing_ = false;
  int64_t now_ = 0;
  int section_ = 0;
  int64_t passStart_ = 0;  // tick of the current pass's section time 0
  size_t next_ = 0;        // the current section's next event
  int then_ = kLoop;
  Switch switch_;
  bool haveChord_ = false;
  Chord chord_;
  uint32_t tempo_;
  std::array<std::array<Voice, 128>, 16> voices_{};           // by source channel and note
  std::array<std::array<uint16_t, 128>, 16> outCount_{};      // sources sounding each output note
  char chordText_[24] = {};
  uint32_t chordTextLength_ = 0;
};

// The chord's name without allocating: "Bbm7", "F/A", "N.C." for none.
// Returns its length (at most 23 characters).
uint32_t FormatChord(const Chord* chord, char (&text)[24]);

}  // namespace vambrio::arranger
