// The window and the player's keyboard post commands to the live arranger
// from two threads at once while the audio thread plays: the commands of
// both take effect, the last of each producer last.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "../arranger/arranger_test_support.h"
#include "fakes/fake_audio_driver.h"
#include "live/live_arranger.h"

namespace vambrio::live {
namespace {

using arranger::test::Sec;
using Kind = LiveCommand::Kind;

TEST(LiveArrangerProducers, WindowAndKeyboardPostFromTheirOwnThreads) {
  auto beats = [](const std::string& name, uint8_t note) {
    Sec s{name, arranger::test::kBar, {}};
    for (uint32_t beat = 0; beat < 4; ++beat) {
      s.events.push_back({beat * 480, 0x99, note, 100});
      s.events.push_back({beat * 480 + 100, 0x89, note, 0});
    }
    return s;
  };
  StyleModel model = arranger::test::Loaded(arranger::test::StyleOf({beats("Main A", 36), beats("Main B", 38)}));
  arranger::StylePatterns style = arranger::ReadStylePatterns(model, {});
  arranger::Arranger core(style, {});
  LiveArranger live(core, 48000);
  test::FakeAudioDriver driver(live, 64);

  constexpr int kCommands = 5000;
  auto post = [&](const LiveCommand& c, Producer from) {
    while (!live.Post(c, from)) std::this_thread::yield();
  };
  post(Command(Kind::Start), Producer::Window);  // before the window's thread takes over its queue
  std::atomic<int> finished{0};
  std::thread window([&] {
    for (int i = 0; i < kCommands; ++i) {
      LiveCommand tempo = Command(Kind::Tempo);
      tempo.tempo = 400000 + static_cast<uint32_t>(i);
      post(tempo, Producer::Window);
      post(Command(Kind::Part, i % 8, i % 2 == 0), Producer::Window);
    }
    post(Command(Kind::Main, 1), Producer::Window);
    ++finished;
  });
  std::thread keyboard([&] {
    for (int i = 0; i < kCommands; ++i) {
      LiveCommand chord = Command(Kind::Chord);
      chord.chord = Chord{i % 12, i % 3, -1};
      post(chord, Producer::Keyboard);
      post(Command(Kind::AutoFill, i % 2), Producer::Keyboard);
    }
    post(Command(Kind::AutoFill, 0), Producer::Keyboard);
    ++finished;
  });
  while (finished < 2) driver.RunBlocks(1);
  window.join();
  keyboard.join();
  driver.RunBlocks(2);
  const LiveState s = live.State();
  EXPECT_TRUE(s.playing);
  EXPECT_EQ(s.tempo, 400000u + kCommands - 1);
  EXPECT_EQ(s.selectedMain, 1);
  EXPECT_FALSE(s.autoFill);
}

}  // namespace
}  // namespace vambrio::live
