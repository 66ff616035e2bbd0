// The clock of the running system and a small event loop for programs
// without a window (vambrio-cli): a timer and readable file descriptors.
#pragma once

#include <functional>
#include <vector>

#include "playback/clock.h"

namespace vambrio::platform {

// Seconds of the monotonic clock: it never jumps and never restarts at midnight.
class SystemClock final : public Clock {
 public:
  double Seconds() const override;
};

class PollLoop final : public Timer {
 public:
  explicit PollLoop(const Clock& clock) : clock_(clock) {}
  void Arm(double due, std::function<void()> fire) override;
  void Cancel() override;

  // Calls `onReadable` from the loop whenever `fd` can be read.
  void Watch(int fd, std::function<void()> onReadable);

  // Sleeps until a watched descriptor is readable or the timer is due, then
  // handles what is ready: the descriptors first, then the timer. A signal
  // that interrupts the sleep returns early. False when there is nothing at
  // all to wait for.
  bool RunOnce();

 private:
  const Clock& clock_;
  bool armed_ = false;
  double due_ = 0;
  std::function<void()> fire_;
  std::vector<std::pair<int, std::function<void()>>> watched_;
};

}  // namespace vambrio::platform
