// Events land at their sample; commands sent between blocks land in the next one.
#include "realtime/block_renderer.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_audio_driver.h"
#include "realtime/live_midi_client.h"

namespace vambrio::realtime {
namespace {

using test::FakeAudioDriver;

// A client whose events the test writes per block.
class ScriptedClient final : public RealtimeClient {
 public:
  void Process(const BlockInfo& block, RealtimeEventSink& events) override {
    blocks.push_back(block);
    if (script) script(block, events);
  }
  std::function<void(const BlockInfo&, RealtimeEventSink&)> script;
  std::vector<BlockInfo> blocks;
};

TEST(BlockRenderer, EventsLandAtTheirSampleAndTheBlockIsSplitThere) {
  ScriptedClient client;
  client.script = [](const BlockInfo& b, RealtimeEventSink& e) {
    if (b.sampleTime != 256) return;
    e.Add(RealtimeEvent::Short(200, 0x90, 60, 100));  // added out of order
    e.Add(RealtimeEvent::Short(17, 0x90, 64, 90));
    e.Add(RealtimeEvent::Short(200, 0x80, 64, 0));  // same offset: kept after the first
    e.Add(RealtimeEvent::Short(999, 0xB0, 7, 1));    // beyond the block: its last frame
  };
  FakeAudioDriver driver(client, 256);
  driver.RunBlocks(3);

  const auto& applied = driver.synth.applied;
  ASSERT_EQ(applied.size(), 4u);
  EXPECT_EQ(applied[0].sample, 256 + 17);
  EXPECT_EQ(applied[0].bytes, (std::vector<uint8_t>{0x90, 64, 90}));
  EXPECT_EQ(applied[1].sample, 256 + 200);
  EXPECT_EQ(applied[1].bytes[0], 0x90);
  EXPECT_EQ(applied[2].sample, 256 + 200);
  EXPECT_EQ(applied[2].bytes[0], 0x80);
  EXPECT_EQ(applied[3].sample, 256 + 255);

  // The rendered pieces tile the three blocks exactly, split at 17, 200 and 255.
  int64_t next = 0;
  std::vector<int64_t> starts;
  for (const auto& p : driver.synth.pieces) {
    EXPECT_EQ(p.start, next);
    next = p.start + p.frames;
    starts.push_back(p.start);
  }
  EXPECT_EQ(next, 3 * 256);
  EXPECT_EQ(starts, (std::vector<int64_t>{0, 256, 256 + 17, 256 + 200, 256 + 255, 512}));
  ASSERT_EQ(client.blocks.size(), 3u);
  EXPECT_EQ(client.blocks[2].sampleTime, 512);
  EXPECT_EQ(client.blocks[2].frames, 256);
}

TEST(BlockRenderer, ABlockFullOfEventsDropsAndCountsTheRest) {
  ScriptedClient client;
  client.script = [](const BlockInfo&, RealtimeEventSink& e) {
    for (size_t i = 0; i < RealtimeEventSink::kCapacity + 5; ++i) e.Add(RealtimeEvent::Short(0, 0xF8));
  };
  FakeAudioDriver driver(client, 64);
  driver.RunBlocks(1);
  EXPECT_EQ(driver.synth.applied.size(), RealtimeEventSink::kCapacity);
  EXPECT_EQ(driver.Dropped(), 5u);
}

TEST(BlockRenderer, LongMessagesAreReferredToAndShortOnesCopied) {
  static const uint8_t kXgOn[] = {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
  RealtimeEvent sysex = RealtimeEvent::Bytes(3, kXgOn, sizeof kXgOn);
  EXPECT_EQ(sysex.data(), kXgOn);
  EXPECT_EQ(sysex.size, sizeof kXgOn);
  const uint8_t program[] = {0xC2, 5};
  RealtimeEvent change = RealtimeEvent::Bytes(0, program, 2);
  EXPECT_NE(change.data(), program);
  EXPECT_EQ(change.data()[1], 5);
  EXPECT_EQ(RealtimeEvent::Short(0, 0xD1, 3).size, 2u);

  RealtimeEventSink sink(64);
  std::vector<uint8_t> passing(kXgOn, kXgOn + sizeof kXgOn);
  ASSERT_TRUE(sink.AddCopy(5, passing.data(), passing.size()));
  passing.assign(passing.size(), 0);  // the producer's bytes are gone after the call
  EXPECT_EQ(std::vector<uint8_t>(sink[0].data(), sink[0].data() + sink[0].size),
            std::vector<uint8_t>(kXgOn, kXgOn + sizeof kXgOn));
  std::vector<uint8_t> huge(RealtimeEventSink::kByteRoom, 0xF0);
  EXPECT_FALSE(sink.AddCopy(6, huge.data(), huge.size()));
  EXPECT_EQ(sink.dropped(), 1u);
}

TEST(LiveMidiClient, ACommandLandsAtTheStartOfTheNextBlock) {
  LiveMidiClient client;
  FakeAudioDriver driver(client, 256);
  driver.RunBlocks(2);
  EXPECT_TRUE(client.Send(0x90, 60, 100));  // between block 1 and block 2
  EXPECT_EQ(client.Applied(), 0u);
  driver.RunBlocks(1);
  ASSERT_EQ(driver.synth.applied.size(), 1u);
  EXPECT_EQ(driver.synth.applied[0].sample, 512);
  EXPECT_EQ(client.Applied(), 1u);
  EXPECT_EQ(client.LastAppliedSampleTime(), 512);

  client.SilenceAll();
  driver.RunBlocks(1);
  size_t offs = 0;
  for (const auto& e : driver.synth.applied)
    offs += e.sample == 768 && e.bytes[0] >= 0xB0 && e.bytes[0] <= 0xBF && e.bytes[1] == 123;
  EXPECT_EQ(offs, 16u) << "all notes off on every channel, in the next block";
}

}  // namespace
}  // namespace vambrio::realtime
