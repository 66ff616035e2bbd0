#include "realtime/block_renderer.h"

namespace vambrio::realtime {

void RenderBlock(RealtimeClient* client, const BlockInfo& block, RealtimeEventSink& events, SynthTarget& synth) {
  const auto frames = static_cast<uint32_t>(block.frames);
  events.Reset(frames);
  if (client) client->Process(block, events);
  uint32_t done = 0;
  for (const RealtimeEvent& event : events) {
    if (event.offset > done) {
      synth.Render(done, event.offset - done);
      done = event.offset;
    }
    synth.Apply(event);
  }
  if (done < frames) synth.Render(done, frames - done);
}

}  // namespace vambrio::realtime
