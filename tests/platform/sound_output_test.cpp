// vambrio-cli play into the private server's null sink, recorded from its monitor.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/fluidsynth/fluid_engine.h"
#include "sound_test_support.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;

TEST(SoundOutput, ASectionIsAudibleAndSilentWithEveryPartOff) {
  TempDir t;
  double loud = 0, muted = 0;
  for (const char* parts : {"11111111", "00000000"}) {
    Recorder rec(t.path().string());
    Child play({Cli(), "play", DemoStyle(), "Fill In AA", "--parts", parts}, t.File("out"), t.File("err"));
    ASSERT_EQ(play.Wait(60), 0) << play.Err();
    std::this_thread::sleep_for(3s);  // the monitor hands on what the sink played with a delay
    auto samples = rec.Stop();
    ASSERT_GT(samples.size(), 44100u * 2 * 2) << "less than two seconds recorded";
    (parts[0] == '1' ? loud : muted) = PeakRms(samples);
    EXPECT_EQ(play.Out(), std::string("Playing - click Stop or Enter to halt.\n") +
                              "Ready - To play, select section and click Play or Enter, or just double click on a section.\n");
  }
  EXPECT_GT(loud, 200.0);
  EXPECT_LT(muted, 8.0);
}

TEST(SoundOutput, StopInTheMiddleLeavesNoNoteSounding) {
  TempDir t;
  Recorder rec(t.path().string());
  Child play({Cli(), "play", DemoStyle(), "Main A", "--repeat"}, t.File("out"), t.File("err"));
  ASSERT_TRUE(rec.WaitForSound(200.0, 30)) << play.Err();
  std::this_thread::sleep_for(500ms);
  double before = rec.Seconds();
  play.Signal(SIGINT);
  ASSERT_EQ(play.Wait(20), 0) << play.Err();
  EXPECT_NE(play.Out().find("Ready - To play"), std::string::npos);
  // Long enough for the synthesizer's release and reverb to die away and for
  // the monitor's delay.
  std::this_thread::sleep_for(4500ms);
  auto samples = rec.Stop();
  double end = static_cast<double>(samples.size()) / 88200.0;
  EXPECT_GT(PeakRms(std::vector<int16_t>(samples.begin(), samples.begin() + static_cast<long>(before * 88200) / 2 * 2)),
            200.0);
  EXPECT_LT(Rms(samples, end - 1.0, end), 8.0);
}

// Seamless, "All Sections" plays each section once, in turn, and ends.
TEST(SoundOutput, AllSectionsPlayInTurnAndEnd) {
  TempDir t;
  TrackBuilder b;
  b.Marker("SInt").TempoBpm(240).TimeSignature(4, 2);
  for (const char* section : {"Main A", "Fill In AA", "Ending A"})
    b.Marker(section).NoteOn(9, 36, 100).Delta(480).NoteOff(9, 36).Delta(1440);
  const std::string style = t.File("Turn.sty");
  WriteFile(style, StyleBytes(b.EndOfTrack()));
  Child play({Cli(), "play", style}, t.File("out"), t.File("err"));
  ASSERT_EQ(play.Wait(30), 0) << play.Err();
  EXPECT_EQ(play.Out(), std::string("Playing - click Stop or Enter to halt.\n") +
                            "Section: Main A\nSection: Fill In AA\nSection: Ending A\n" +
                            "Ready - To play, select section and click Play or Enter, or just double click on a section.\n");
}

// The server of this test is its own: it is killed in the middle of a section.
TEST(SoundOutput, AServerThatDiesEndsThePlaybackWithAMessage) {
  TempDir t;
  std::string run = t.File("run"), home = t.File("home");
  std::string script = std::string(VAMBRIO_SOURCE_DIR) + "/tests/platform/pulse_server.sh";
  ASSERT_EQ(RunProcess({script, "start", run, home}).status, 0);
  std::string shared = Env("XDG_RUNTIME_DIR");
  setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
  Child play({Cli(), "play", DemoStyle(), "Main A", "--repeat"}, t.File("out"), t.File("err"));
  setenv("XDG_RUNTIME_DIR", shared.c_str(), 1);
  // Wait until the synthesizer's stream reaches the server, then kill the server.
  bool streaming = false;
  for (int i = 0; i < 100 && !streaming; ++i) {
    std::this_thread::sleep_for(100ms);
    std::string cmd = "XDG_RUNTIME_DIR='" + run + "' HOME='" + home + "' pactl list short sink-inputs";
    streaming = !RunProcess({"sh", "-c", cmd}).out.empty();
  }
  ASSERT_TRUE(streaming) << play.Err();
  std::this_thread::sleep_for(1s);
  std::ifstream pidFile(run + "/pulse/pid");
  pid_t server = 0;
  pidFile >> server;
  ASSERT_GT(server, 0);
  kill(server, SIGKILL);
  int status = play.Wait(30);
  RunProcess({script, "stop", run, home});
  EXPECT_EQ(status, 1) << "the playback must end by itself, without a crash";
  EXPECT_NE(play.Err().find(platform::kAudioOutputLostText), std::string::npos) << play.Err();
  EXPECT_NE(play.Out().find("Ready - To play"), std::string::npos);
}

}  // namespace
}  // namespace vambrio::test
