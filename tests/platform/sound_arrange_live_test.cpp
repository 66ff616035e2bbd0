// vambrio-cli arrange without -o: the demo chart sounds at once, and Ctrl-C
// ends it with every note off, the recording of what was played whole.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;

TEST(ArrangeLive, TheChartSoundsAtOnceAndCtrlCLeavesSilence) {
  TempDir t;
  Recorder rec(t.path().string());
  const double before = rec.Seconds();
  Child play({Cli(), "arrange", DemoStyle(), std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.chart", "--record",
              t.File("take.mid"), "--record-chart", t.File("take.chart")},
             t.File("out"), t.File("err"));
  ASSERT_TRUE(rec.WaitForSound(200.0, 30)) << play.Err();
  // The Intro's first bar prints once the output plays; the sound follows it at once.
  EXPECT_NE(play.Out().find("Bar 1  Intro A"), std::string::npos) << play.Out();
  std::this_thread::sleep_for(2s);
  const double stopAt = rec.Seconds();
  play.Signal(SIGINT);
  ASSERT_EQ(play.Wait(20), 0) << play.Err();
  EXPECT_NE(play.Out().find("Stopped."), std::string::npos);
  std::this_thread::sleep_for(4500ms);  // the release and the monitor's delay
  auto samples = rec.Stop();
  const double end = static_cast<double>(samples.size()) / 88200.0;
  EXPECT_GT(Rms(samples, before, stopAt), 100.0);
  EXPECT_LT(Rms(samples, end - 1.0, end), 8.0) << "every note off after Ctrl-C";

  std::ifstream mid(t.File("take.mid"), std::ios::binary);
  const std::string file{std::istreambuf_iterator<char>(mid), {}};
  ASSERT_GT(file.size(), 22u);
  EXPECT_EQ(file.substr(0, 10), std::string("MThd\0\0\0\x06\0\x01", 10)) << "format 1";
  EXPECT_EQ(file.substr(file.size() - 3), std::string("\xFF\x2F\x00", 3)) << "the last track ends whole";
  std::ifstream chart(t.File("take.chart"));
  const std::string text{std::istreambuf_iterator<char>(chart), {}};
  EXPECT_NE(text.find("tempo 100\n[Intro A] C"), std::string::npos) << text;
}

// The private sound server stopped (SIGSTOP) while a song plays, and woken
// again whatever the test's outcome.
class FrozenServer {
 public:
  FrozenServer() {
    pid_ = std::atoi(Child::Slurp(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/pulse/pid").c_str());
    if (pid_ > 0) kill(pid_, SIGSTOP);
  }
  ~FrozenServer() {
    if (pid_ > 0) kill(pid_, SIGCONT);
  }

 private:
  pid_t pid_ = 0;
};

bool WaitForOutput(const Child& child, const std::string& text) {
  for (int i = 0; i < 600 && child.Out().find(text) == std::string::npos; ++i) std::this_thread::sleep_for(100ms);
  return child.Out().find(text) != std::string::npos;
}

TEST(ArrangeLive, AFrozenSoundServerEndsTheSongOnceAndCtrlCEndsItAtOnce) {
  TempDir t;
  const std::string chart = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.chart";
  {
    Child play({Cli(), "arrange", DemoStyle(), chart}, t.File("out"), t.File("err"));
    ASSERT_TRUE(WaitForOutput(play, "Bar 2")) << play.Out() << play.Err();
    FrozenServer frozen;
    EXPECT_EQ(play.Wait(20), 1) << play.Err();
    const std::string err = play.Err();
    const size_t said = err.find("The audio output stopped during playback");
    EXPECT_NE(said, std::string::npos) << err;
    EXPECT_EQ(err.find("The audio output stopped", said + 1), std::string::npos) << "said once: " << err;
  }
  {
    Child play({Cli(), "arrange", DemoStyle(), chart}, t.File("out2"), t.File("err2"));
    ASSERT_TRUE(WaitForOutput(play, "Bar 2")) << play.Out() << play.Err();
    FrozenServer frozen;
    std::this_thread::sleep_for(300ms);
    play.Signal(SIGINT);
    EXPECT_NE(play.Wait(20), -1) << "Ctrl-C ends a song whose sound server froze";
  }
}

TEST(ArrangeLive, AChartThatDoesNotFitTheStyleIsRefusedWithItsLine) {
  TempDir t;
  std::string chart = t.File("bad.chart");
  std::ofstream(chart) << "[Main A] C |\n[Main Q] G7 |\n";
  Child play({Cli(), "arrange", DemoStyle(), chart}, t.File("out"), t.File("err"));
  EXPECT_EQ(play.Wait(30), 1);
  EXPECT_NE(play.Err().find("line 2"), std::string::npos) << play.Err();
}

}  // namespace
}  // namespace vambrio::test
