#include "recording/performance.h"
#include "voices/voice_mapper.h"

namespace vambrio::recording {

Performance MappedPerformance(const Performance& p, const voices::VoiceMap& map) {
  Performance out;
  out.sampleRate = p.sampleRate;
  out.geometry = p.geometry;
  out.events.reserve(p.events.size());
  voices::VoiceMapper mapper(map);
  voices::MappedMessage mapped[voices::VoiceMapper::kMaxOut];
  for (const RecordedEvent& e : p.events) {
    const int n = e.IsMeta() ? -1 : mapper.Map(e.bytes.data(), e.size, mapped);
    if (n < 0) {
      out.events.push_back(e);
      continue;
    }
    for (int i = 0; i < n; ++i) {
      RecordedEvent m = e;
      m.size = mapped[i].size;
      std::copy_n(mapped[i].bytes, mapped[i].size, m.bytes.begin());
      out.events.push_back(m);
    }
  }
  return out;
}

}  // namespace vambrio::recording
