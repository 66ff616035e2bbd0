// The MIDI system killed mid-song: vambrio-cli playing the demo chart through
// a port of the private JACK server notices, says so and ends with status 1.
#include <gtest/gtest.h>

#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 300 && !done(); ++i) std::this_thread::sleep_for(100ms);
  return done();
}

// Kills the private JACK server (as a crash would) and starts it again,
// whatever the test's outcome, for the tests after it.
class KilledServer {
 public:
  explicit KilledServer(int signal) {
    const pid_t pid = std::atoi(Child::Slurp(std::string(VAMBRIO_JACK_RUN) + "/jackd.pid").c_str());
    if (pid > 0) kill(pid, signal);
  }
  // (Not through a pipe: the server started in the background would hold it open.)
  ~KilledServer() {
    const std::string log = std::string(VAMBRIO_JACK_RUN) + "/restart.log";
    Child({"sh", VAMBRIO_JACK_SCRIPT, "start", VAMBRIO_JACK_NAME, VAMBRIO_JACK_RUN}, log, log).Wait(60);
  }
};

TEST(MidiPortsLost, TheServerKilledMidSongEndsThePlayingWithAMessage) {
  for (int signal : {SIGKILL, SIGTERM}) {
    TempDir t;
    Child dump({"jack_midi_dump", "vambrio_dump"}, t.File("dump"), t.File("dump.err"));
    ASSERT_TRUE(WaitFor([] { return RunProcess({Cli(), "ports"}).out.find("vambrio_dump") != std::string::npos; }));
    Child play({Cli(), "arrange", DemoStyle(), std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.chart", "--midi-out",
                "vambrio_dump"},
               t.File("out"), t.File("err"));
    ASSERT_TRUE(WaitFor([&] { return play.Out().find("Bar 2") != std::string::npos; })) << play.Out() << play.Err();
    KilledServer killed(signal);
    EXPECT_EQ(play.Wait(30), 1) << play.Out() << play.Err();
    EXPECT_NE(play.Err().find("went away during playback"), std::string::npos) << play.Err();
    EXPECT_EQ(play.Out().find("Done."), std::string::npos) << play.Out();
    dump.Signal(SIGKILL);
  }
}

}  // namespace
}  // namespace vambrio::test
