// Counts buffer underruns: audio callbacks that come so late, measured
// against the audio clock (the frames handed to the output so far), that the
// output's buffer has run dry in the meantime. Called from the audio thread;
// it never allocates, locks or waits. The count is read from any thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace vambrio::realtime {

class UnderrunDetector {
 public:
  // bufferFrames: what the output keeps queued (periods x period size).
  UnderrunDetector(int sampleRate, int bufferFrames);

  // At the start of each callback: the monotonic time now and the sample
  // time of the block about to be rendered. `counting`: whether an underrun
  // now counts (silence running dry is nobody's loss).
  void OnBlock(int64_t nowNs, int64_t sampleTime, bool counting = true);

  uint64_t Underruns() const { return underruns_.load(std::memory_order_relaxed); }
  // The latest callback's lateness against the audio clock, in nanoseconds.
  int64_t LatenessNs() const { return lateness_.load(std::memory_order_relaxed); }

 private:
  int64_t SampleNs(int64_t sampleTime) const;

  int sampleRate_;
  int64_t bufferNs_;
  bool anchored_ = false;
  int64_t anchorNs_ = 0;  // when sample 0 would have been due, by the earliest callbacks seen
  int64_t lastSampleTime_ = 0;
  std::atomic<uint64_t> underruns_{0};
  std::atomic<int64_t> lateness_{0};
};

}  // namespace vambrio::realtime
