// The voice map in front of a real-time client: channel messages come out
// mapped at their offsets, helper channels as a second channel group, system
// exclusive as it is; without a map everything passes untouched.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "realtime/voice_mapping_client.h"
#include "voices/soundfont_catalog.h"

namespace vambrio::realtime {
namespace {

constexpr uint8_t kGmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};

// A bank-8 clean guitar set up on channel 12, then a note in its "dead" band
// (a muted guitar of its own on a helper channel) and a system-exclusive message.
class Scripted final : public RealtimeClient {
 public:
  void Process(const BlockInfo&, RealtimeEventSink& events) override {
    for (const auto& m : std::vector<std::array<uint8_t, 3>>{{0xBB, 0, 8}, {0xBB, 32, 0}}) events.AddCopy(0, m.data(), 3);
    const uint8_t program[] = {0xCB, 3};
    events.AddCopy(0, program, 2);
    const uint8_t note[] = {0x9B, 60, 70};
    events.AddCopy(10, note, 3);
    events.AddCopy(20, kGmOn, sizeof kGmOn);
  }
};

std::vector<RealtimeEvent> OneBlock(VoiceMappingClient& client) {
  RealtimeEventSink sink(64);
  client.Process(BlockInfo{0, 64, 48000, 0}, sink);
  return {sink.begin(), sink.end()};
}

TEST(VoiceMappingClient, MapsChannelMessagesAndPassesTheRest) {
  Scripted inner;
  VoiceMappingClient client;
  voices::StyleVoiceUse use;
  auto map = std::make_shared<const voices::VoiceMap>(
      use, std::make_shared<const voices::SoundFontCatalog>(voices::GeneralMidiCatalog()), voices::VoiceMapSettings{});

  client.Use(&inner, nullptr);  // as written
  const auto written = OneBlock(client);
  ASSERT_EQ(written.size(), 5u);
  EXPECT_EQ(written[2].data()[1], 3);  // the program as the style has it

  client.Use(&inner, map);
  const auto mapped = OneBlock(client);
  bool standIn = false, helperNote = false;
  for (const RealtimeEvent& e : mapped) {
    standIn = standIn || (e.status() == 0xCB && e.data()[1] == 27 && e.channelGroup == 0);
    if ((e.status() & 0xF0) == 0x90 && e.channelGroup == 1) {
      helperNote = true;
      EXPECT_EQ(e.offset, 10u);
      EXPECT_GE(e.Channel(), 16);
    }
  }
  EXPECT_TRUE(standIn) << "clean guitar: General MIDI program 27 on its own channel";
  EXPECT_TRUE(helperNote) << "the dead note plays on a helper channel";
  ASSERT_FALSE(mapped.empty());
  EXPECT_EQ(mapped.back().size, sizeof kGmOn);
  EXPECT_EQ(mapped.back().offset, 20u);

  // Silencing ends the note on the helper channel.
  RealtimeEventSink sink(64);
  client.SilenceHelpers(sink);
  ASSERT_GE(sink.size(), 1u);
  EXPECT_EQ(sink[0].channelGroup, 1);
  EXPECT_TRUE((sink[0].status() & 0xF0) == 0x80 || ((sink[0].status() & 0xF0) == 0x90 && sink[0].data()[2] == 0));
}

}  // namespace
}  // namespace vambrio::realtime
