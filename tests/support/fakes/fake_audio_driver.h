// An audio driver without sound card or synthesizer: it calls a real-time
// client block after block, as the audio thread would, with a clock that
// moves only when the test runs blocks. The synthesizer it renders into
// records every event with the sample it was applied at and every piece of
// the block it rendered.
#pragma once

#include <cstdint>
#include <vector>

#include "realtime/block_renderer.h"

namespace vambrio::test {

struct AppliedEvent {
  int64_t sample;  // absolute: block start + offset
  std::vector<uint8_t> bytes;
};

class RecordingSynth final : public realtime::SynthTarget {
 public:
  void Apply(const realtime::RealtimeEvent& e) override {
    applied.push_back({blockStart + e.offset, std::vector<uint8_t>(e.data(), e.data() + e.size)});
  }
  void Render(uint32_t offset, uint32_t frames) override { pieces.push_back({blockStart + offset, frames}); }

  struct Piece {
    int64_t start;
    uint32_t frames;
  };
  int64_t blockStart = 0;
  std::vector<AppliedEvent> applied;
  std::vector<Piece> pieces;
};

class FakeAudioDriver {
 public:
  FakeAudioDriver(realtime::RealtimeClient& client, int framesPerBlock, int sampleRate = 48000)
      : client_(client), frames_(framesPerBlock), rate_(sampleRate) {}

  // Runs `count` blocks back to back; the callback time follows the audio clock.
  void RunBlocks(int count) {
    for (int i = 0; i < count; ++i) {
      realtime::BlockInfo block{sampleTime_, frames_, rate_, sampleTime_ * 1'000'000'000 / rate_};
      synth.blockStart = sampleTime_;
      realtime::RenderBlock(&client_, block, sink_, synth);
      sampleTime_ += frames_;
    }
  }
  // Runs blocks until the audio clock has reached `sample`.
  void RunUntil(int64_t sample) {
    while (sampleTime_ < sample) RunBlocks(1);
  }
  int64_t SampleTime() const { return sampleTime_; }
  int framesPerBlock() const { return frames_; }
  uint64_t Dropped() const { return sink_.dropped(); }

  RecordingSynth synth;

 private:
  realtime::RealtimeClient& client_;
  int frames_;
  int rate_;
  int64_t sampleTime_ = 0;
  realtime::RealtimeEventSink sink_;
};

}  // namespace vambrio::test
