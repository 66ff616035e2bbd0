// A real-time client that plays MIDI messages sent from another thread: each
// message lands at the start of the next audio block. The sender's thread
// never waits for the audio thread, and the audio thread never for it.
#pragma once

#include <atomic>
#include <cstdint>

#include "realtime/realtime_client.h"
#include "realtime/spsc_queue.h"

namespace vambrio::realtime {

class LiveMidiClient final : public RealtimeClient {
 public:
  // One sending thread. False when the queue is full (the message is lost).
  bool Send(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0);
  // Sends note off and all notes off on all sixteen channels (as many as fit).
  void SilenceAll();

  void Process(const BlockInfo& block, RealtimeEventSink& events) override;

  // How many messages have been applied, and the block the last one landed in.
  uint64_t Applied() const { return applied_.load(std::memory_order_acquire); }
  int64_t LastAppliedSampleTime() const { return lastSampleTime_.load(std::memory_order_relaxed); }
  int64_t LastAppliedCallbackNs() const { return lastCallbackNs_.load(std::memory_order_relaxed); }

 private:
  struct Message {
    uint8_t status, data1, data2;
  };
  SpscQueue<Message, 1024> queue_;
  std::atomic<uint64_t> applied_{0};
  std::atomic<int64_t> lastSampleTime_{-1};
  std::atomic<int64_t> lastCallbackNs_{0};
};

}  // namespace vambrio::realtime
