// The clock and the timer of the playback loop. The clock gives seconds that
// only grow (no restart at midnight); the timer lets the event loop call back
// when the clock has reached a given time, so that waiting for the end of a
// pass costs nothing while the window (or the command line) handles events.
#pragma once

#include <functional>

namespace vambrio::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Seconds() const = 0;
};

// One single-shot timer of the event loop. Arm replaces any earlier arming;
// `fire` runs from the event loop, never from inside Arm, once the clock has
// reached `due` (a due time already past fires after the pending events, which
// makes a zero-delay Arm the loop's yield).
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void Arm(double due, std::function<void()> fire) = 0;
  virtual void Cancel() = 0;
};

}  // namespace vambrio::platform
