// A software synthesizer on a MIDI port (FluidSynth's program, its MIDI from
// the private JACK server, its sound to the private null sink): the demo
// chart played live by vambrio-cli through the port is heard, and after
// Ctrl-C the synthesizer falls silent, every note off.
#include <gtest/gtest.h>

#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

// FluidSynth's program with its shell reading from a pipe that the test
// holds open: closing the pipe ends the program (no network shell, no
// terminal needed).
class SoftSynth {
 public:
  explicit SoftSynth(const std::string& log) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[0], 0);
      close(fds[1]);
      FILE* out = std::freopen(log.c_str(), "w", stdout);
      FILE* err = std::freopen(log.c_str(), "a", stderr);
      (void)out;
      (void)err;
      execlp("fluidsynth", "fluidsynth", "-a", "pulseaudio", "-m", "jack", "-q", kSoundFont, nullptr);
      _exit(127);
    }
    close(fds[0]);
    shell_ = fds[1];
  }
  ~SoftSynth() {
    if (shell_ >= 0) close(shell_);
    for (int i = 0; pid_ > 0 && i < 100 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(50ms);
    if (pid_ > 0 && kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
  int shell_ = -1;
};

// Waits until `vambrio-cli ports` lists an output port containing `part`.
bool PortListed(const std::string& part) {
  for (int i = 0; i < 100; ++i) {
    if (RunProcess({Cli(), "ports"}).out.find(part) != std::string::npos) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

TEST(SoundPort, AChartPlayedThroughAPortIsHeardAndCtrlCLeavesSilence) {
  TempDir t;
  RunProcess({"pactl", "set-sink-volume", "vambrio_test", "100%"});  // whatever an earlier test left
  SoftSynth synth(t.File("synth.log"));
  ASSERT_TRUE(PortListed("fluidsynth")) << Child::Slurp(t.File("synth.log"));
  Recorder rec(t.path().string());
  const double before = rec.Seconds();
  Child play({Cli(), "arrange", DemoStyle(), std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.chart", "--midi-out",
              "fluidsynth"},
             t.File("out"), t.File("err"));
  ASSERT_TRUE(rec.WaitForSound(200.0, 30)) << play.Out() << play.Err() << Child::Slurp(t.File("synth.log"));
  std::this_thread::sleep_for(2s);
  const double stopAt = rec.Seconds();
  play.Signal(SIGINT);
  ASSERT_EQ(play.Wait(20), 0) << play.Err();
  std::this_thread::sleep_for(4500ms);  // the release and the monitor's delay
  auto samples = rec.Stop();
  const double end = static_cast<double>(samples.size()) / 88200.0;
  EXPECT_GT(Rms(samples, before, stopAt), 100.0);
  EXPECT_LT(Rms(samples, end - 1.0, end), 8.0) << "every note off after Ctrl-C";
}

}  // namespace
}  // namespace vambrio::test
