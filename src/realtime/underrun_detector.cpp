#include "realtime/underrun_detector.h"

#include <algorithm>

namespace vambrio::realtime {
namespace {

// How fast the anchor may follow callbacks that come later and later: far
// more than two clocks drift apart (under 100 ppm), far less than an
// underrun's jump in one block.
constexpr int64_t kFollowPerMille = 1;

}  // namespace

UnderrunDetector::UnderrunDetector(int sampleRate, int bufferFrames)
    : sampleRate_(sampleRate), bufferNs_(static_cast<int64_t>(bufferFrames) * 1'000'000'000 / sampleRate) {}

int64_t UnderrunDetector::SampleNs(int64_t sampleTime) const {
  return sampleTime * 1'000'000'000 / sampleRate_;
}

// The output asks for a block as soon as its buffer has room, so a callback
// is due when the samples before it have played out: anchor + sample time.
// The anchor is the earliest such relation seen (the buffer full); a callback
// later than that by more than the buffer holds found it empty.
void UnderrunDetector::OnBlock(int64_t nowNs, int64_t sampleTime, bool counting) {
  const int64_t observed = nowNs - SampleNs(sampleTime);
  if (!anchored_) {
    anchored_ = true;
    anchorNs_ = observed;
  }
  const int64_t elapsed = SampleNs(std::max<int64_t>(0, sampleTime - lastSampleTime_));
  lastSampleTime_ = sampleTime;
  if (observed < anchorNs_) {
    anchorNs_ = observed;
  } else {
    anchorNs_ += std::min(observed - anchorNs_, elapsed * kFollowPerMille / 1000);
  }
  const int64_t late = observed - anchorNs_;
  lateness_.store(late, std::memory_order_relaxed);
  if (late > bufferNs_) {
    if (counting) underruns_.fetch_add(1, std::memory_order_relaxed);
    anchorNs_ = observed;  // the output starts over from here
  }
}

}  // namespace vambrio::realtime
