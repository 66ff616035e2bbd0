#include "live/tap_tempo.h"

#include <algorithm>

namespace vambrio::live {

std::optional<double> TapTempo::Tap(double seconds) {
  if (count_ > 0 && (seconds - taps_[static_cast<size_t>(count_ - 1)] > kPause || seconds <= taps_[static_cast<size_t>(count_ - 1)]))
    count_ = 0;
  if (count_ == kKept) {
    std::rotate(taps_.begin(), taps_.begin() + 1, taps_.end());
    --count_;
  }
  taps_[static_cast<size_t>(count_++)] = seconds;
  if (count_ < 2) return std::nullopt;
  const double interval = (taps_[static_cast<size_t>(count_ - 1)] - taps_[0]) / (count_ - 1);
  return std::clamp(60.0 / interval, 20.0, 300.0);
}

}  // namespace vambrio::live
