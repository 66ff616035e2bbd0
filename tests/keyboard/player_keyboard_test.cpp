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

namespace vambrio::keyboard {
namespace {

using arranger::test::Sec;
using Bytes = std::vector<uint8_t>;

struct Rig {
  Rig()
      : model(arranger::test::Loaded(arranger::test::StyleOf({Beats("Main A", 36), Beats("Main B", 38)}))),
        style(arranger::ReadStylePatterns(model, {true, true})),
        core(style, {}),
        live(core, 48000),
        keyboard({&keys}),
        driver(keyboard.ClientFor(live), 256) {}

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

}  // namespace
}  // namespace vambrio::keyboard
