// The song's tick position driven by the audio clock: ticks advance by
// samples x tempo x division / (60 x rate), counted exactly in integers so
// that no rounding builds up over a song. A tempo change re-anchors the
// clock where it stands, so the position never jumps.
#pragma once

#include <cstdint>

namespace vambrio::live {

class TickClock {
 public:
  TickClock(uint16_t division, int sampleRate, uint32_t microsPerQuarter);

  // From sample `sample` on, tick `tick` (a start, or a new position).
  void Anchor(int64_t sample, int64_t tick);
  // A new tempo from the start of the tick in progress at `sample`: the
  // position moves on from where it stands, at the new pace.
  void SetTempo(int64_t sample, uint32_t microsPerQuarter);

  // The tick the clock has reached at `sample` (the last tick that began at
  // or before it).
  int64_t TickAt(int64_t sample) const;
  // The first sample at or after which `tick` has begun.
  int64_t SampleOf(int64_t tick) const;
  // The first tick that begins at or after `sample`: AdvanceTo(TickLimit(end
  // of block)) emits exactly the ticks that begin inside the block.
  int64_t TickLimit(int64_t sample) const;

  uint32_t Tempo() const { return tempo_; }
  int SampleRate() const { return rate_; }

 private:
  int64_t division_;
  int64_t rate_;
  uint32_t tempo_;
  int64_t anchorSample_ = 0;
  int64_t anchorTick_ = 0;
};

}  // namespace vambrio::live
