// The keyboard in front of the live arranger, block by block against a fake
// audio clock: a chord of the left hand starts the armed arranger in the
// block it arrives in, the right hand plays with its voice, and a keyboard
// that is no longer listened to lets go of its keys.
#include "keyboard/player_keyboard.h"

#include <gtest/gtest.h>

#include "../arranger/arranger_test_support.h"
#include "fakes/fake_audio_driver.h"
#include "fakes/fake_midi.h"
#include "live/live_arranger.h"
#include "loading/stage_settings.h"

namespace vambrio::keyboard {
namespace {

using arranger::test::Sec;
using Bytes = std::vector<uint8_t>;

struct Rig {
  explicit Rig(const std::vector<PartSetup>& settings = {})
      : model(arranger::test::Loaded(arranger::test::StyleOf({Beats("Main A", 36), Beats("Main B", 38)}))),
        style(arranger::ReadStylePatterns(model, {true, true})),
        core(style, {}),
        live(core, 48000),
        keyboard({&keys}),
        driver((keyboard.SetSettings(settings), keyboard.ClientFor(live)), 256) {}

  static Sec Beats(const std::string& name, uint8_t note) {
    Sec s{name, arranger::test::kBar, {}};
    for (uint32_t beat = 0; beat < 4; ++beat) {
      s.events.push_back({beat * 480, 0x99, note, 100});
      s.events.push_back({beat * 480 + 100, 0x89, note, 0});
    }
    return s;
  }
  // What reached the synthesizer on channel 1 (the right hand's), in order.
  std::vector<Bytes> RightHand() const {
    std::vector<Bytes> out;
    for (const auto& e : driver.synth.applied)
      if (e.bytes[0] < 0xF0 && (e.bytes[0] & 0x0F) == 0) out.push_back(e.bytes);
    return out;
  }
  // Program changes on channel `channel`, with their samples.
  std::vector<std::pair<int64_t, int>> Programs(int channel) const {
    std::vector<std::pair<int64_t, int>> out;
    for (const auto& e : driver.synth.applied)
      if (e.bytes[0] == (0xC0 | channel)) out.push_back({e.sample, e.bytes[1]});
    return out;
  }
  int64_t FirstDrum() const {
    for (const auto& e : driver.synth.applied)
      if (e.bytes.size() == 3 && e.bytes[0] == 0x99 && e.bytes[2] > 0) return e.sample;
    return -1;
  }

  StyleModel model;
  arranger::StylePatterns style;
  arranger::Arranger core;
  live::LiveArranger live;
  test::FakeMidiIn keys;
  PlayerKeyboard keyboard;
  test::FakeAudioDriver driver;
};

TEST(PlayerKeyboard, TheFirstChordStartsTheArmedArrangerInItsBlock) {
  Rig rig;
  ASSERT_TRUE(rig.live.Post(live::Command(live::LiveCommand::Kind::SyncStart, 1)));
  rig.driver.RunBlocks(4);
  EXPECT_EQ(rig.FirstDrum(), -1);
  const int64_t chordAt = rig.driver.SampleTime();
  for (uint8_t key : {43, 47, 50}) rig.keys.Receive({0x90, key, 80});  // G B D below the split
  rig.driver.RunBlocks(1);
  EXPECT_EQ(rig.FirstDrum(), chordAt);
  EXPECT_TRUE(rig.live.State().playing);
  ASSERT_TRUE(rig.keyboard.LastChord());
  EXPECT_EQ(ChordName(*rig.keyboard.LastChord()), "G");
}

// The voice goes first, and again after the style's setup (its XG System On
// resets every channel); the right hand keeps its velocity.
TEST(PlayerKeyboard, TheRightHandPlaysWithItsVoiceAfterTheStylesReset) {
  Rig rig;
  rig.keyboard.SetRightVoice(40);
  rig.driver.RunBlocks(1);
  EXPECT_EQ(rig.RightHand(), (std::vector<Bytes>{{0xB0, 0, 0}, {0xB0, 32, 0}, {0xC0, 40}}));
  rig.driver.synth.applied.clear();
  ASSERT_TRUE(rig.live.Post(live::Command(live::LiveCommand::Kind::Start)));
  rig.keys.Receive({0x90, 72, 101});
  rig.driver.RunBlocks(1);
  auto applied = rig.driver.synth.applied;
  ASSERT_FALSE(applied.empty());
  EXPECT_EQ(applied.front().bytes, (Bytes{0x90, 72, 101}));
  size_t reset = 0, voice = 0;
  for (size_t i = 0; i < applied.size(); ++i) {
    if (applied[i].bytes[0] == 0xF0) reset = i;
    if (applied[i].bytes == Bytes{0xC0, 40}) voice = i;
  }
  EXPECT_GT(reset, 0u) << "the style's setup sends its system exclusive messages";
  EXPECT_GT(voice, reset);
}

TEST(PlayerKeyboard, AKeyboardNoLongerListenedToLetsGoAndIgnoresKeys) {
  Rig rig;
  rig.keys.Receive({0x90, 72, 90});
  rig.keys.Receive({0xB0, 64, 127});
  rig.driver.RunBlocks(1);
  rig.driver.synth.applied.clear();
  rig.keyboard.SetListening(false);
  rig.keys.Receive({0x90, 74, 90});
  rig.driver.RunBlocks(2);
  EXPECT_EQ(rig.RightHand(), (std::vector<Bytes>{{0x80, 72, 0}, {0xB0, 64, 0}}));
  rig.keyboard.SetListening(true);
  rig.keys.Receive({0x90, 76, 90});
  rig.driver.RunBlocks(1);
  EXPECT_EQ(rig.RightHand().back(), (Bytes{0x90, 76, 90}));
}

// A setting whose four channels get programs first, first + 1, ... and volumes 90, 91, ...
PartSetup Setting(int index, uint8_t first) {
  OneTouchSetting s;
  s.usable = true;
  for (uint8_t ch = 0; ch < 4; ++ch) {
    for (OtsMessage m : {OtsMessage{uint8_t(0xB0 | ch), 0, 0}, OtsMessage{uint8_t(0xB0 | ch), 32, 112},
                         OtsMessage{uint8_t(0xC0 | ch), uint8_t(first + ch), 0}, OtsMessage{uint8_t(0xB0 | ch), 7, uint8_t(90 + ch)},
                         OtsMessage{uint8_t(0xB0 | ch), 91, 30}})
      s.messages.push_back(m);
    s.parts[ch] = {0, 112, first + ch, 90 + ch, -1, 30, -1};
  }
  return SetupOf(s, index);
}

// A recalled setting reaches the parts' channels whole in the next block
// (Right 3's channel is no part's), and its voices become the parts' sounds.
TEST(PlayerKeyboard, ARecalledSettingSetsUpThePartsChannels) {
  Rig rig({Setting(0, 10), Setting(1, 20)});
  rig.keyboard.Router().SetRightChannel(5);
  rig.keyboard.RecallSetting(1);
  rig.driver.RunBlocks(1);
  EXPECT_EQ(rig.Programs(5), (std::vector<std::pair<int64_t, int>>{{0, 20}}));
  EXPECT_EQ(rig.Programs(1), (std::vector<std::pair<int64_t, int>>{{0, 21}}));
  EXPECT_TRUE(rig.Programs(2).empty());
  EXPECT_EQ(rig.Programs(3), (std::vector<std::pair<int64_t, int>>{{0, 23}}));
  EXPECT_EQ(rig.keyboard.Sound(Part::Left), (PartSound{0, 112, 23, 93}));
  EXPECT_EQ(rig.keyboard.Recalled(), 1);
  int reverbs = 0;
  for (const auto& e : rig.driver.synth.applied) reverbs += e.bytes.size() == 3 && e.bytes[1] == 91 && e.bytes[2] == 30;
  EXPECT_EQ(reverbs, 3);
}

// With OTS Link, Main A's setting follows the style's reset at Start, and
// Main B's comes on the bar line where Main B starts, not when it is chosen.
TEST(PlayerKeyboard, OtsLinkRecallsTheSettingOfTheMainOnItsBarLine) {
  Rig rig({Setting(0, 10), Setting(1, 20)});
  rig.keyboard.SetOtsLink(true);
  ASSERT_TRUE(rig.live.Post(live::Command(live::LiveCommand::Kind::Start)));
  rig.driver.RunBlocks(4);
  ASSERT_FALSE(rig.Programs(0).empty());
  EXPECT_EQ(rig.Programs(0).back().second, 10);
  size_t reset = 0, recall = 0;
  for (size_t i = 0; i < rig.driver.synth.applied.size(); ++i) {
    if (rig.driver.synth.applied[i].bytes[0] == 0xF0) reset = i;
    if (rig.driver.synth.applied[i].bytes == Bytes{0xC0, 10}) recall = i;
  }
  EXPECT_GT(recall, reset);
  rig.driver.synth.applied.clear();
  ASSERT_TRUE(rig.live.Post(live::Command(live::LiveCommand::Kind::Main, 1)));
  rig.driver.RunUntil(2 * 96000);  // two bars at 120
  const auto programs = rig.Programs(0);
  ASSERT_FALSE(programs.empty());
  int64_t mainB = -1;  // Main B's first note, on the bar line
  for (const auto& e : rig.driver.synth.applied)
    if (mainB < 0 && e.bytes == Bytes{0x99, 38, 100}) mainB = e.sample;
  EXPECT_NEAR(static_cast<double>(mainB), 96000, 1);
  EXPECT_EQ(programs.front(), (std::pair<int64_t, int>{mainB, 20}));
  EXPECT_EQ(rig.keyboard.Recalled(), 1);
}

}  // namespace
}  // namespace vambrio::keyboard
