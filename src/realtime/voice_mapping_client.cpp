#include "realtime/voice_mapping_client.h"

namespace vambrio::realtime {

RealtimeEvent MappedEvent(uint32_t offset, const voices::MappedMessage& m) {
  RealtimeEvent e = RealtimeEvent::Bytes(offset, m.bytes, m.size);
  e.channelGroup = static_cast<uint8_t>(m.channel / 16);
  return e;
}

void VoiceMappingClient::Use(RealtimeClient* inner, std::shared_ptr<const voices::VoiceMap> map) {
  inner_ = inner;
  mapper_.reset();
  map_ = std::move(map);
  if (map_) mapper_.emplace(*map_);
}

void VoiceMappingClient::Process(const BlockInfo& block, RealtimeEventSink& events) {
  if (!inner_) return;
  if (!mapper_) {
    inner_->Process(block, events);
    return;
  }
  unmapped_.Reset(events.frames());
  inner_->Process(block, unmapped_);
  voices::MappedMessage out[voices::VoiceMapper::kMaxOut];
  for (const RealtimeEvent& e : unmapped_) {
    const int n = mapper_->Map(e.data(), e.size, out);
    if (n < 0) {
      events.Add(e);  // not a channel message: its bytes stay in unmapped_ until the block is rendered
      continue;
    }
    for (int i = 0; i < n; ++i) events.Add(MappedEvent(e.offset, out[i]));
  }
}

void VoiceMappingClient::SilenceHelpers(RealtimeEventSink& events) {
  if (!mapper_) return;
  mapper_->SilenceHelpers([&events](const voices::MappedMessage& m) { events.Add(MappedEvent(0, m)); });
}

}  // namespace vambrio::realtime
