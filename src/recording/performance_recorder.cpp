#include "recording/performance_recorder.h"

#include <algorithm>

namespace vambrio::recording {

PerformanceRecorder::PerformanceRecorder(realtime::RealtimeClient& inner)
    : inner_(&inner), ring_(std::make_unique<realtime::SpscQueue<RecordedEvent, kRingSize>>()) {}

void PerformanceRecorder::Push(const RecordedEvent& e) {
  if (!ring_->TryPush(e)) dropped_.fetch_add(1, std::memory_order_relaxed);
}

void PerformanceRecorder::Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) {
  inBlock_ = recording_.load(std::memory_order_relaxed);
  sampleRate_.store(block.sampleRate, std::memory_order_relaxed);
  if (block.sampleTime + shift_ < blockEnd_) shift_ = blockEnd_ - block.sampleTime;  // a new output starts again at 0
  blockEnd_ = block.sampleTime + shift_ + block.frames;
  inner_->Process(block, events);  // the arranger's meta events arrive here meanwhile
  if (!inBlock_) return;
  for (const realtime::RealtimeEvent& e : events) {
    if (e.size == 0 || e.size > RecordedEvent::kRoom) {
      dropped_.fetch_add(1, std::memory_order_relaxed);
      continue;
    }
    RecordedEvent r;
    r.sample = block.sampleTime + shift_ + e.offset;
    r.size = static_cast<uint8_t>(e.size);
    std::copy_n(e.data(), e.size, r.bytes.begin());
    Push(r);
  }
}

void PerformanceRecorder::Meta(int64_t sample, int64_t tick, uint8_t type, const uint8_t* data, uint32_t size) {
  if (!inBlock_) return;
  RecordedEvent r;
  r.sample = sample + shift_;
  r.tick = std::max<int64_t>(tick, 0);
  r.metaType = type;
  r.size = static_cast<uint8_t>(std::min<uint32_t>(size, RecordedEvent::kRoom));
  std::copy_n(data, r.size, r.bytes.begin());
  Push(r);
}

size_t PerformanceRecorder::Drain(std::vector<RecordedEvent>& into) {
  size_t n = 0;
  while (auto e = ring_->TryPop()) {
    into.push_back(*e);
    ++n;
  }
  return n;
}

}  // namespace vambrio::recording
