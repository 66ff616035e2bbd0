// Recording a live performance: a real-time client that wraps the one that
// plays (the keyboard's, or the live arranger) and, while recording, copies
// every event of every block, at its sample, with the arranger's markers,
// chord names and tempo changes, into a ring made beforehand. The audio
// thread never allocates, locks or waits here; another thread drains the
// ring now and then (Drain). What does not fit is dropped and counted.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "realtime/meta_tap.h"
#include "realtime/realtime_client.h"
#include "realtime/spsc_queue.h"

namespace vambrio::recording {

struct RecordedEvent {
  static constexpr size_t kRoom = 22;

  int64_t sample = 0;   // from the output's start
  int64_t tick = -1;    // the arranger's tick for a meta event, -1 for a MIDI message
  uint8_t metaType = 0; // for a meta event (tick >= 0)
  uint8_t size = 0;
  std::array<uint8_t, kRoom> bytes{};

  bool IsMeta() const { return tick >= 0; }
  uint8_t Status() const { return size > 0 ? bytes[0] : 0; }
};

class PerformanceRecorder final : public realtime::RealtimeClient, public realtime::MetaTap {
 public:
  static constexpr size_t kRingSize = size_t{1} << 16;

  explicit PerformanceRecorder(realtime::RealtimeClient& inner);
  // While off the output: the client it wraps from now on. The recording
  // goes on from where it stands, however the new output counts its samples.
  void SetInner(realtime::RealtimeClient& inner) { inner_ = &inner; }

  // Any thread: from the next block on, blocks are (or are no longer) recorded.
  void SetRecording(bool on) { recording_.store(on, std::memory_order_relaxed); }
  bool Recording() const { return recording_.load(std::memory_order_relaxed); }

  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override;
  void Meta(int64_t sample, int64_t tick, uint8_t type, const uint8_t* data, uint32_t size) override;

  // One other thread: appends what was recorded since the last call.
  size_t Drain(std::vector<RecordedEvent>& into);
  // Events that did not fit the ring (or a message longer than kRoom).
  uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }
  int SampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }

 private:
  void Push(const RecordedEvent& e);

  realtime::RealtimeClient* inner_;
  std::unique_ptr<realtime::SpscQueue<RecordedEvent, kRingSize>> ring_;
  std::atomic<bool> recording_{false};
  std::atomic<uint64_t> dropped_{0};
  std::atomic<int> sampleRate_{48000};
  // The audio thread's own.
  bool inBlock_ = false;  // this block is recorded
  int64_t shift_ = 0;     // added to the output's sample times, so that they never go back
  int64_t blockEnd_ = 0;  // the last block's end, shifted
};

}  // namespace vambrio::recording
