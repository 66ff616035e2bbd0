#include "voices/mapping_sink.h"

namespace vambrio::voices {

void MappingSink::Send(const midi::Event& e) {
  lastTick_ = e.tick;
  if (!e.IsChannel()) {
    next_.Send(e);
    return;
  }
  uint8_t msg[3] = {e.status, 0, 0};
  for (uint32_t i = 0; i < e.size && i < 2; ++i) msg[i + 1] = e.data[i];
  MappedMessage out[VoiceMapper::kMaxOut];
  const int n = mapper_.Map(msg, 1 + (e.size < 2 ? e.size : 2), out);
  if (n < 0) {
    next_.Send(e);
    return;
  }
  for (int i = 0; i < n; ++i) Forward(e.tick, out[i]);
}

void MappingSink::Forward(uint64_t tick, const MappedMessage& m) {
  midi::Event e;
  e.tick = tick;
  e.status = m.bytes[0];
  e.size = static_cast<uint32_t>(m.size - 1);
  e.data = m.bytes + 1;
  next_.Send(e);
}

void MappingSink::Finish() {
  mapper_.SilenceHelpers([this](const MappedMessage& m) { Forward(lastTick_, m); });
}

}  // namespace vambrio::voices
