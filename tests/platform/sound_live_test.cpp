// The live output on the private server's null sink: the latency choice
// reaches the driver, live notes sound and stop, and the sequencer and the
// live client take the output from each other.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_sequencer.h"
#include "realtime/live_midi_client.h"
#include "sound_test_support.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;
using realtime::AudioLatency;

// Notes the frames of the blocks it is asked for.
class BlockWatcher final : public realtime::RealtimeClient {
 public:
  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink&) override {
    frames = block.frames;
    blocks.fetch_add(1);
  }
  std::atomic<int> frames{0};
  std::atomic<int> blocks{0};
};

bool WaitFor(const std::function<bool()>& done, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(SoundLive, EveryLatencyChoiceAsksForItsPeriod) {
  for (AudioLatency latency : {AudioLatency::Low, AudioLatency::Normal, AudioLatency::Safe}) {
    platform::FluidEngine engine{platform::SoundOptions{"", "", true, latency}};
    BlockWatcher watcher;
    ASSERT_TRUE(engine.AttachLiveClient(watcher, nullptr, nullptr)) << engine.Problem();
    ASSERT_TRUE(WaitFor([&] { return watcher.blocks > 20; }, 20))
        << realtime::LatencyName(latency) << ": " << watcher.blocks << " blocks, output failed: " << engine.OutputHasFailed();
    EXPECT_EQ(watcher.frames, realtime::FramesOf(latency).periodSize) << realtime::LatencyName(latency);
    EXPECT_GT(engine.AudioClock(), 0);
    engine.DetachLiveClient();
  }
}

TEST(SoundLive, LiveNotesSoundAndDetachingSilencesThem) {
  TempDir t;
  platform::FluidEngine engine{platform::SoundOptions{}};
  realtime::LiveMidiClient live;
  ASSERT_TRUE(engine.AttachLiveClient(live, nullptr, nullptr)) << engine.Problem();
  Recorder rec(t.path().string());
  live.Send(0xC0, 48);  // strings: they hold as long as the key is down
  for (uint8_t note : {48, 55, 60, 64}) live.Send(0x90, note, 110);
  ASSERT_TRUE(rec.WaitForSound(200.0, 20));
  EXPECT_EQ(live.Applied(), 5u);
  std::this_thread::sleep_for(1s);
  engine.DetachLiveClient();  // no note off was sent: detaching turns them off
  EXPECT_FALSE(engine.LiveClientAttached());
  std::this_thread::sleep_for(4500ms);  // the release and the monitor's delay
  auto samples = rec.Stop();
  double end = static_cast<double>(samples.size()) / 88200.0;
  EXPECT_GT(PeakRms(samples), 200.0);
  EXPECT_LT(Rms(samples, end - 1.0, end), 8.0);
}

TEST(SoundLive, TheSequencerAndTheLiveClientTakeTheOutputFromEachOther) {
  TempDir t;
  TrackBuilder track;
  track.NoteOn(0, 60, 100).Delta(960 * 8).NoteOff(0, 60).EndOfTrack();
  std::string file = t.File("long.mid");
  WriteFile(file, StyleBytes(track, {}, 480));

  platform::FluidEngine engine{platform::SoundOptions{}};
  platform::FluidSequencer sequencer(engine);
  int sequencerStopped = 0, liveStopped = 0;
  sequencer.SetTakenAwayHandler([&] { ++sequencerStopped; });
  realtime::LiveMidiClient live;

  ASSERT_TRUE(engine.AttachLiveClient(live, [&] { ++liveStopped; }, nullptr));
  sequencer.SetFileName(file);
  ASSERT_TRUE(sequencer.Command("open")) << sequencer.LastError();
  EXPECT_EQ(liveStopped, 1);
  EXPECT_FALSE(engine.LiveClientAttached());
  ASSERT_TRUE(sequencer.Command("play"));

  ASSERT_TRUE(engine.AttachLiveClient(live, [&] { ++liveStopped; }, nullptr));
  EXPECT_EQ(sequencerStopped, 1);
  EXPECT_TRUE(engine.LiveClientAttached());
  engine.DetachLiveClient();
  EXPECT_EQ(liveStopped, 1) << "detaching oneself is not being stopped by the other";
  sequencer.Command("close");
}

}  // namespace
}  // namespace vambrio::test
