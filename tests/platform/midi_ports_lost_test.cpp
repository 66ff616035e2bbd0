// The MIDI system killed mid-song: vambrio-cli playing through a port of the
// private JACK server notices, says so and ends with status 1; a kept port (the
// window's Sound Source) switches off the notes it left on once the server is back.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/rtmidi/rtmidi_system.h"
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

// The messages jack_midi_dump printed, as bytes ("   0: 90 3c 64 note on ..." a line).
std::vector<std::vector<uint8_t>> Dumped(const std::string& text) {
  std::vector<std::vector<uint8_t>> messages;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::istringstream words(line.substr(colon + 1));
    std::vector<uint8_t> bytes;
    for (std::string w; words >> w && w.size() == 2 && std::isxdigit(w[0]) && std::isxdigit(w[1]);)
      bytes.push_back(static_cast<uint8_t>(std::stoi(w, nullptr, 16)));
    if (!bytes.empty()) messages.push_back(bytes);
  }
  return messages;
}

bool Listed(const std::string& port) {
  return RunProcess({Cli(), "ports"}).out.find(port) != std::string::npos;
}

TEST(MidiPortsLost, TheServerKilledMidSongEndsThePlayingWithAMessage) {
  for (int signal : {SIGKILL, SIGTERM}) {
    TempDir t;
    Child dump({"jack_midi_dump", "vambrio_dump"}, t.File("dump"), t.File("dump.err"));
    ASSERT_TRUE(WaitFor([] { return Listed("vambrio_dump"); }));
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

// The live arranger played from a keyboard (a looping chord) through a synth:
// both ports go with the server, and nothing of the dead server is touched.
TEST(MidiPortsLost, LiveEndsWithAMessageWhenTheServerIsKilled) {
  for (int signal : {SIGKILL, SIGTERM}) {
    TempDir t;
    Child dump({"jack_midi_dump", "vambrio_dump"}, t.File("dump"), t.File("dump.err"));
    Child keys({"jack_midiseq", "vambrio_keys", "48000", "0", "48", "40000", "0", "52", "40000", "0", "43", "40000"},
               t.File("keys"), t.File("keys.err"));
    ASSERT_TRUE(WaitFor([] { return Listed("vambrio_dump") && Listed("vambrio_keys"); }));
    Child live({Cli(), "live", DemoStyle(), "--midi-in", "vambrio_keys", "--midi-out", "vambrio_dump"}, t.File("out"),
               t.File("err"));
    ASSERT_TRUE(WaitFor([&] { return live.Out().find("Bar 1") != std::string::npos; })) << live.Out() << live.Err();
    KilledServer killed(signal);
    EXPECT_EQ(live.Wait(30), 1) << live.Out() << live.Err();
    EXPECT_NE(live.Err().find("went away during playback"), std::string::npos) << live.Err();
    dump.Signal(SIGKILL);
    keys.Signal(SIGKILL);
  }
}

TEST(MidiPortsLost, AKeptPortSwitchesOffTheNotesLeftOnWhenTheKilledServerIsBack) {
  using Bytes = std::vector<uint8_t>;
  for (int signal : {SIGKILL, SIGTERM}) {
    TempDir t;
    auto dump = std::make_unique<Child>(std::vector<std::string>{"jack_midi_dump", "vambrio_dump"}, t.File("before"),
                                        t.File("before.err"));
    ASSERT_TRUE(WaitFor([] { return Listed("vambrio_dump"); }));
    auto system = platform::OpenMidiSystem();
    platform::KeptMidiOutput out(*system, "vambrio_dump:input");
    ASSERT_TRUE(out.Connected()) << system->Problem();
    const uint8_t notes[2][3] = {{0x99, 36, 90}, {0x90, 60, 100}};
    for (const auto& note : notes) out.Send(note, 3);
    {
      KilledServer killed(signal);
      ASSERT_TRUE(WaitFor([&] { return system->Lost(); }));
      const uint8_t lateOff[3] = {0x90, 60, 0};  // never reaches the synth: 60 stays owed
      out.Send(lateOff, 3);
      EXPECT_EQ(out.Check(), platform::PortChange::Lost);  // looks for a server while it is down
      EXPECT_EQ(out.Check(), platform::PortChange::None);
      dump.reset();
    }
    EXPECT_EQ(out.Check(), platform::PortChange::None);  // the server is back, the synth not yet
    Child after({"stdbuf", "-oL", "jack_midi_dump", "vambrio_dump"}, t.File("after"), t.File("after.err"));
    bool back = false;
    ASSERT_TRUE(WaitFor([&] { return back = back || out.Check() == platform::PortChange::Back; }));
    ASSERT_TRUE(WaitFor([&] { return Dumped(after.Out()).size() >= 2 + 32; })) << after.Out();
    const auto got = Dumped(after.Out());
    EXPECT_EQ(got[0], (Bytes{0x80, 60, 0}));
    EXPECT_EQ(got[1], (Bytes{0x89, 36, 0}));
    for (int channel = 0; channel < 16; ++channel)
      EXPECT_EQ(got[2 + 2 * channel], (Bytes{static_cast<uint8_t>(0xB0 + channel), 123, 0})) << channel;
    after.Signal(SIGKILL);
  }
}

}  // namespace
}  // namespace vambrio::test
