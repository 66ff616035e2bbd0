// The metronome: a click on each beat through the drum kit (MIDI channel
// 10), the first beat of the bar accented, on a grid of beats and bars that
// starts at a tick of the caller's (the Start, or the count-in before it).
// It runs in the audio callback: nothing here allocates, locks or waits.
#pragma once

#include <cstdint>

#include "midi/event_sink.h"

namespace vambrio::live {

class Metronome {
 public:
  static constexpr uint8_t kChannel = 9;        // the drum kit's channel (10)
  static constexpr uint8_t kAccentKey = 76;     // Hi Wood Block: beat 1
  static constexpr uint8_t kBeatKey = 77;       // Low Wood Block: the other beats
  static constexpr uint8_t kAccentVelocity = 120;
  static constexpr uint8_t kBeatVelocity = 90;

  Metronome(uint32_t beatLength, uint32_t barLength) : beat_(beatLength), bar_(barLength) {}

  // The grid's first beat (a bar line) is at `origin`; the next click is the
  // first beat at or after `from`.
  void Align(int64_t origin, int64_t from);
  // Sends the click of every beat before `limit` (none are made up for
  // beats already passed), each ending the click before it.
  void ClickUpTo(int64_t limit, midi::EventSink& out);
  // The last click's note off at `tick` (at a stop, or when switched off).
  void Release(int64_t tick, midi::EventSink& out);
  // The beat (from 0) of the bar at `tick`, on the grid.
  uint32_t BeatAt(int64_t tick) const;

 private:
  void Send(midi::EventSink& out, int64_t tick, uint8_t status, uint8_t key, uint8_t velocity);
  int64_t beat_, bar_;
  int64_t origin_ = 0;
  int64_t next_ = 0;   // the next beat to click
  int sounding_ = -1;  // the key of the last click, -1 when none sounds
};

}  // namespace vambrio::live
