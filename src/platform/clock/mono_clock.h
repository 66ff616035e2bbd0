// The monotonic clock that timed MIDI output runs on, in nanoseconds, with a
// sleep until a given moment. The real one is the system's CLOCK_MONOTONIC;
// tests give a clock that moves only when it is told to sleep.
#pragma once

#include <cstdint>

namespace vambrio::platform {

class MonoClock {
 public:
  virtual ~MonoClock() = default;
  virtual int64_t NowNs() const = 0;
  // Returns at `ns` or soon after (at once when it has passed).
  virtual void SleepUntil(int64_t ns) = 0;
};

class SystemMonoClock final : public MonoClock {
 public:
  int64_t NowNs() const override;
  void SleepUntil(int64_t ns) override;
};

// The system's monotonic clock, for code that needs no clock object.
int64_t MonotonicNowNs();

}  // namespace vambrio::platform
