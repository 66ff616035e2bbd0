#include "platform/midi_ports/realtime_port_source.h"

namespace vambrio::platform {

RealtimePortSource::RealtimePortSource(realtime::RealtimeClient& client, int sampleRate)
    : client_(client), rate_(sampleRate), events_(std::make_unique<realtime::RealtimeEventSink>()) {}

void RealtimePortSource::Start(int64_t nowNs) {
  startNs_ = nowNs;
  sample_ = 0;
}

int64_t RealtimePortSource::NsOf(int64_t sample) const {
  return startNs_ + static_cast<int64_t>(static_cast<__int128>(sample) * 1'000'000'000 / rate_);
}

void RealtimePortSource::Render(int64_t untilNs, MidiEventSink& sink) {
  if (untilNs <= startNs_) return;
  const int64_t end = static_cast<int64_t>(static_cast<__int128>(untilNs - startNs_) * rate_ / 1'000'000'000);
  if (end <= sample_) return;
  realtime::BlockInfo block;
  block.sampleTime = sample_;
  block.frames = static_cast<int>(end - sample_);
  block.sampleRate = rate_;
  block.callbackNs = NsOf(sample_);
  events_->Reset(static_cast<uint32_t>(block.frames));
  client_.Process(block, *events_);
  for (const realtime::RealtimeEvent& e : *events_) sink.Event(NsOf(sample_ + e.offset), e.data(), e.size);
  sample_ = end;
}

}  // namespace vambrio::platform
