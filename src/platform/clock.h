// The clock of the playback loop: seconds that only grow (no restart at midnight).
#pragma once

namespace vambrio::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Seconds() const = 0;
};

}  // namespace vambrio::platform
