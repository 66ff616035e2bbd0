#include "live/tick_clock.h"

namespace vambrio::live {
namespace {

using Wide = __int128;

// Ticks per sample = division * 1e6 / (tempo * rate).
Wide FloorDiv(Wide a, Wide b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

}  // namespace

TickClock::TickClock(uint16_t division, int sampleRate, uint32_t microsPerQuarter)
    : division_(division), rate_(sampleRate), tempo_(microsPerQuarter ? microsPerQuarter : 500000) {}

void TickClock::Anchor(int64_t sample, int64_t tick) {
  anchorSample_ = sample;
  anchorTick_ = tick;
}

void TickClock::SetTempo(int64_t sample, uint32_t microsPerQuarter) {
  if (microsPerQuarter == 0) return;
  const int64_t tick = TickAt(sample);
  anchorSample_ = SampleOf(tick);
  anchorTick_ = tick;
  tempo_ = microsPerQuarter;  // counted from the start of the tick in progress
}

int64_t TickClock::TickAt(int64_t sample) const {
  Wide elapsed = Wide(sample - anchorSample_) * division_ * 1'000'000;
  return anchorTick_ + static_cast<int64_t>(FloorDiv(elapsed, Wide(tempo_) * rate_));
}

int64_t TickClock::SampleOf(int64_t tick) const {
  Wide span = Wide(tick - anchorTick_) * tempo_ * rate_;
  return anchorSample_ + static_cast<int64_t>(CeilDiv(span, Wide(division_) * 1'000'000));
}

int64_t TickClock::TickLimit(int64_t sample) const { return TickAt(sample - 1) + 1; }

}  // namespace vambrio::live
