// The sequencer on FluidSynth, through the private server.
#include <fluidsynth.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <thread>

#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_sequencer.h"
#include "sound_test_support.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using platform::NotifyCode;

class SoundSequencer : public ::testing::Test {
 protected:
  SoundSequencer() {
    seq.SetDoneHandler([this](NotifyCode c) {
      done.push_back(c);
      doneThread = std::this_thread::get_id();
    });
  }

  // A file of 600 ms (120 quarters a minute, 480 ticks a quarter): channel 1
  // selects bank MSB 127, then plays a note.
  std::string WriteFile() {
    TrackBuilder tr;
    tr.ControlChange(0, 0, 127).ControlChange(0, 32, 0).ProgramChange(0, 0).NoteOn(0, 60, 100).Delta(576)
        .NoteOff(0, 60).EndOfTrack();
    std::string path = t.File("Player.tmp");
    test::WriteFile(path, StyleBytes(tr, Bytes(64, 0), 480));
    return path;
  }

  // Runs the owner's event loop until a completion event arrives or `seconds` pass.
  bool PumpUntilDone(double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    size_t before = done.size();
    while (done.size() == before && std::chrono::steady_clock::now() < until) {
      pollfd p{seq.NotifyFd(), POLLIN, 0};
      if (poll(&p, 1, 50) > 0) seq.Pump();
    }
    return done.size() > before;
  }

  int ChannelBank(int channel) {
    fluid_preset_t* p = fluid_synth_get_channel_preset(engine.Synth(), channel);
    return p ? fluid_preset_get_banknum(p) : -1;
  }

  TempDir t;
  platform::FluidEngine engine{platform::SoundOptions{}};
  platform::FluidSequencer seq{engine};
  std::vector<NotifyCode> done;
  std::thread::id doneThread;
};

TEST_F(SoundSequencer, ThePlayCompletesOnTheOwnersThreadAtTheFilesEnd) {
  seq.SetFileName(WriteFile());
  ASSERT_TRUE(seq.Command("open")) << seq.LastError();
  EXPECT_EQ(seq.Length(), 600);
  fluid_synth_t* synth = engine.Synth();

  seq.SetNotify(true);
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(seq.Command("play"));
  EXPECT_TRUE(done.empty());  // never from inside the command
  ASSERT_TRUE(PumpUntilDone(10));
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(done.back(), NotifyCode::Successful);
  EXPECT_EQ(doneThread, std::this_thread::get_id());
  EXPECT_GE(took, 0.55);
  EXPECT_EQ(ChannelBank(0), 128);  // XG: bank MSB 127 is a drum kit

  // Stopped before its end: aborted. Notify applied to that play only.
  EXPECT_TRUE(seq.Command("prev"));
  seq.SetNotify(true);
  seq.Command("play");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  seq.Command("stop");
  ASSERT_TRUE(PumpUntilDone(5));
  EXPECT_EQ(done.back(), NotifyCode::Aborted);
  seq.Command("play");
  EXPECT_FALSE(PumpUntilDone(1.2));

  // Closed and opened again: the same synthesizer, its SoundFont loaded once.
  EXPECT_TRUE(seq.Command("close"));
  EXPECT_EQ(seq.Length(), 0);
  ASSERT_TRUE(seq.Command("open"));
  EXPECT_EQ(engine.Synth(), synth);
}

TEST_F(SoundSequencer, StopSilencesEverySoundingNoteAtOnce) {
  TrackBuilder tr;  // a held chord with the sustain pedal down, ten seconds long
  tr.ProgramChange(0, 48).ControlChange(0, 64, 127).NoteOn(0, 60, 100).NoteOn(0, 64, 100).NoteOn(0, 67, 100)
      .Delta(9600).NoteOff(0, 60).EndOfTrack();
  test::WriteFile(t.File("held.tmp"), StyleBytes(tr, {}, 480));
  seq.SetFileName(t.File("held.tmp"));
  ASSERT_TRUE(seq.Command("open")) << seq.LastError();
  seq.Command("play");
  int sounding = 0;
  for (int i = 0; i < 300 && sounding == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sounding = fluid_synth_get_active_voice_count(engine.Synth());
  }
  ASSERT_GT(sounding, 0);
  // The voices are let go at the audio thread's next block, which a busy
  // machine may delay.
  auto silentSoon = [&] {
    for (int i = 0; i < 300; ++i) {
      if (fluid_synth_get_active_voice_count(engine.Synth()) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  };
  seq.Command("stop");
  EXPECT_TRUE(silentSoon());
  // "play" goes on from where it stopped, "prev" returns to the start.
  seq.Command("play");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(silentSoon());  // no note starts in the middle
  seq.Command("stop");
  seq.Command("prev");
  seq.Command("play");
  sounding = 0;
  for (int i = 0; i < 300 && sounding == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sounding = fluid_synth_get_active_voice_count(engine.Synth());
  }
  EXPECT_GT(sounding, 0);
  seq.Command("close");
}

TEST_F(SoundSequencer, AGmPlayerIgnoresBankSelects) {
  engine.SetXgBankSelect(false);
  seq.SetFileName(WriteFile());
  ASSERT_TRUE(seq.Command("open")) << seq.LastError();
  seq.SetNotify(true);
  seq.Command("play");
  ASSERT_TRUE(PumpUntilDone(10));
  EXPECT_EQ(ChannelBank(0), 0);
  seq.Command("close");
}

TEST_F(SoundSequencer, FilesAndDriversThatCannotBeUsedAreNamed) {
  seq.SetFileName(t.File("missing.tmp"));
  EXPECT_FALSE(seq.Command("open"));
  EXPECT_NE(seq.LastError().find(t.File("missing.tmp")), std::string::npos);
  EXPECT_FALSE(seq.Command("play"));

  platform::FluidEngine named(platform::SoundOptions{"", "nonexistent", true});
  platform::FluidSequencer other(named);
  other.SetFileName(WriteFile());
  EXPECT_FALSE(other.Command("open"));
  EXPECT_NE(other.LastError().find("There is no audio driver \"nonexistent\""), std::string::npos) << other.LastError();
  EXPECT_NE(other.LastError().find("pulseaudio"), std::string::npos);

  // Another choice takes effect at the next open.
  named.SetAudioDriver("pulseaudio");
  EXPECT_TRUE(other.Command("open")) << other.LastError();
}

}  // namespace
}  // namespace vambrio::test
