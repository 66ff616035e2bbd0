// Ticks and time: the tempo changes of a piece (microseconds per quarter
// note from a tick on) and the conversion between ticks and microseconds.
#pragma once

#include <cstdint>
#include <vector>

namespace vambrio::midi {

inline constexpr uint32_t kDefaultTempo = 500000;  // 120 quarter notes a minute

class TempoMap {
 public:
  // `division`: ticks per quarter note (1..32767).
  explicit TempoMap(uint16_t division, uint32_t initialTempo = kDefaultTempo);

  // A tempo (microseconds per quarter note, above 0) from `tick` on. Changes
  // may come in any order; of several at the same tick the last added holds.
  void Add(uint64_t tick, uint32_t microsPerQuarter);

  uint32_t TempoAt(uint64_t tick) const;
  long double MicrosAt(uint64_t tick) const;
  // The first tick at or after `micros` (a tick that starts no earlier).
  uint64_t TickAt(long double micros) const;

  uint16_t Division() const { return division_; }

 private:
  struct Change {
    uint64_t tick;
    uint32_t tempo;
  };
  uint16_t division_;
  std::vector<Change> changes_;  // sorted by tick, the first at tick 0
};

// The tempo of `qpm` quarter notes a minute in microseconds per quarter
// note, rounded, within the three bytes of a tempo event.
uint32_t MicrosPerQuarter(double qpm);

}  // namespace vambrio::midi
