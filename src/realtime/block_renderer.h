// Renders one audio block with the client's events applied at their frame:
// the block is rendered in pieces, split where the events fall.
#pragma once

#include <cstdint>

#include "realtime/realtime_client.h"

namespace vambrio::realtime {

// The synthesizer as the audio callback drives it.
class SynthTarget {
 public:
  virtual ~SynthTarget() = default;
  virtual void Apply(const RealtimeEvent& event) = 0;
  // Renders `frames` frames into the block's output from frame `offset` on.
  virtual void Render(uint32_t offset, uint32_t frames) = 0;
};

// Asks `client` for the block's events (when there is a client), then
// renders the block into `synth`: the frames before each event's offset, the
// event, and so on to the block's end. `events` is the callback's own sink,
// reused from block to block.
void RenderBlock(RealtimeClient* client, const BlockInfo& block, RealtimeEventSink& events, SynthTarget& synth);

}  // namespace vambrio::realtime
