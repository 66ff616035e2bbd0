// Tap tempo: the tempo from the last few taps. A pause of more than two
// seconds starts a new count.
#pragma once

#include <array>
#include <optional>

namespace vambrio::live {

class TapTempo {
 public:
  // A tap at `seconds` (any clock that only grows); the tempo in quarter
  // notes a minute once two taps are in, else nothing.
  std::optional<double> Tap(double seconds);

 private:
  static constexpr int kKept = 5;  // taps: four intervals are averaged
  static constexpr double kPause = 2.0;
  std::array<double, kKept> taps_{};
  int count_ = 0;
};

}  // namespace vambrio::live
