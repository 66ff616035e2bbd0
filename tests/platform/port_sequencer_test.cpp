#include "platform/midi_ports/port_sequencer.h"

#include <gtest/gtest.h>

#include "fakes/fake_midi.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::platform {
namespace {

using test::Bytes;

constexpr int64_t kMs = 1'000'000;

class PortSequencerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TrackBuilder t;
    t.TempoBpm(120).NoteOn(0, 60, 100).Delta(480).NoteOff(0, 60).Delta(480).NoteOn(0, 62, 100);
    t.Delta(480).ControlChange(0, 121, 0).EndOfTrack();
    path = dir.File("Player.tmp");
    test::WriteFile(path, test::StyleBytes(t, {}, 480));
    sequencer.SetDoneHandler([this](NotifyCode c) { done.push_back(c); });
    sequencer.SetFileName(path);
  }
  void Run(int64_t ms) {
    int64_t until = clock.now + ms * kMs;
    while (clock.now < until) sender.RunPeriod();
  }
  std::vector<Bytes> NotesSent() const {
    std::vector<Bytes> out;
    for (const auto& m : port.Sent()) {
      if ((m.bytes[0] & 0xE0) == 0x80) out.push_back(m.bytes);
    }
    return out;
  }

  test::TempDir dir;
  std::string path;
  test::FakeMonoClock clock;
  test::FakeMidiOut port{&clock};
  MidiSender sender{port, clock};
  PortSequencer sequencer{sender, clock};
  std::vector<NotifyCode> done;
};

TEST_F(PortSequencerTest, PlaysTheFileAtItsTimesAndCompletesAtItsEnd) {
  ASSERT_TRUE(sequencer.Command("open"));
  EXPECT_EQ(sequencer.Length(), 1500);
  sequencer.SetNotify(true);
  const int64_t start = clock.now;
  ASSERT_TRUE(sequencer.Command("play"));
  Run(1400);
  sequencer.Pump();
  EXPECT_TRUE(done.empty());
  Run(200);
  sequencer.Pump();
  EXPECT_EQ(done, std::vector<NotifyCode>{NotifyCode::Successful});
  auto sent = port.Sent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[2].timeNs, start + 1000 * kMs);
  EXPECT_EQ(sent[3].timeNs, start + 1500 * kMs);
}

TEST_F(PortSequencerTest, StopSilencesAbortsAndPrevStartsAgain) {
  ASSERT_TRUE(sequencer.Command("open"));
  sequencer.SetNotify(true);
  sequencer.Command("play");
  Run(1200);  // both note-ons sent, 62 still sounds
  sequencer.Command("stop");
  sequencer.Pump();
  EXPECT_EQ(done, std::vector<NotifyCode>{NotifyCode::Aborted});
  EXPECT_EQ(NotesSent().back(), (Bytes{0x80, 62, 0}));
  EXPECT_EQ(port.Sent().back().bytes, (Bytes{0xBF, 121, 0}));

  port.Clear();
  sequencer.Command("prev");
  sequencer.Command("play");
  Run(10);
  EXPECT_EQ(NotesSent(), (std::vector<Bytes>{{0x90, 60, 100}}));  // from the start again
  sequencer.Command("close");
  EXPECT_EQ(sequencer.Length(), 0);
  Run(2000);
  sequencer.Pump();
  EXPECT_EQ(done.size(), 1u);  // a closed file never completes
}

TEST_F(PortSequencerTest, FileThatIsNotMidiIsNotOpened) {
  test::WriteFile(path, Bytes{'n', 'o'});
  EXPECT_FALSE(sequencer.Command("open"));
  EXPECT_NE(sequencer.LastError().find("not a MIDI file"), std::string::npos);
  EXPECT_FALSE(sequencer.Command("play"));
}

}  // namespace
}  // namespace vambrio::platform
