// Vambrio's MIDI ports against a real MIDI system: JACK (a private server
// with the dummy backend, started by the test fixture) or, with
// VAMBRIO_MIDI_API=alsa, the ALSA sequencer where /dev/snd/seq exists.
#include <unistd.h>

#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "fakes/fake_midi.h"
#include "keyboard/keyboard_client.h"
#include "platform/midi_ports/realtime_port_source.h"
#include "midi/midi_file_events.h"
#include "midi_peer.h"
#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/midi_ports/midi_file_source.h"
#include "platform/midi_ports/midi_sender.h"
#include "platform/rtmidi/rtmidi_system.h"
#include "run_process.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::platform {
namespace {

using test::MidiPeer;
using test::PeerMessage;
using Bytes = std::vector<uint8_t>;

class MidiPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::PeerApi() == RtMidi::LINUX_ALSA && access("/dev/snd/seq", R_OK | W_OK) != 0) {
      GTEST_SKIP() << "no ALSA sequencer on this machine (/dev/snd/seq): the ALSA runs of the port tests are skipped";
    }
    system = OpenMidiSystem();
    ASSERT_FALSE(system->ApiName().empty()) << system->Problem();
  }

  std::string Find(const std::vector<std::string>& ports, const std::string& part) {
    return FindPort(ports, part).value_or("");
  }

  // Waits until a message of Vambrio's input port arrives.
  static bool PopWithin(MidiInPort& in, MidiMessage& m) {
    for (int i = 0; i < 2000; ++i) {
      if (in.Pop(m)) return true;
      usleep(1000);
    }
    return false;
  }

  static bool Has(const std::vector<PeerMessage>& got, const Bytes& bytes) {
    for (const auto& m : got)
      if (m.bytes == bytes) return true;
    return false;
  }

  static std::string Describe(const std::vector<PeerMessage>& got) {
    std::string text = std::to_string(got.size()) + " messages arrived:";
    for (const auto& m : got) {
      text += " [";
      for (uint8_t b : m.bytes) text += std::to_string(b) + " ";
      text += "]";
    }
    return text;
  }

  std::unique_ptr<MidiSystem> system;
};

TEST_F(MidiPortsTest, ListsOtherPortsButNotVambriosOwn) {
  MidiPeer peer;
  peer.OpenSynth();
  peer.OpenKeys();
  auto ownIn = system->OpenVirtualInput(kVirtualInName);
  auto ownOut = system->OpenVirtualOutput(kVirtualOutName);
  ASSERT_TRUE(ownIn && ownOut) << system->Problem();
  auto inputs = system->InputPorts();
  auto outputs = system->OutputPorts();
  EXPECT_NE(Find(inputs, MidiPeer::kKeys), "");
  EXPECT_NE(Find(outputs, MidiPeer::kSynth), "");
  EXPECT_EQ(Find(inputs, "Vambrio"), "");
  EXPECT_EQ(Find(outputs, "Vambrio"), "");
  EXPECT_EQ(system->OpenOutput("No Such Synth"), nullptr);
}

TEST_F(MidiPortsTest, TimedOutputReachesTheSynthInOrderAndEndsInSilence) {
  MidiPeer peer;
  peer.OpenSynth();
  KeptMidiOutput out(*system, Find(system->OutputPorts(), MidiPeer::kSynth));
  ASSERT_TRUE(out.Connected());
  test::TrackBuilder t;
  t.Sysex({0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}).ProgramChange(2, 33);
  for (int n = 0; n < 8; ++n) t.Delta(24).NoteOn(2, 40 + n, 90).Delta(24).NoteOff(2, 40 + n, 0);
  t.Delta(24).NoteOn(2, 70, 100).EndOfTrack();  // still sounding at the stop
  auto file = *midi::ReadMidiFileEvents(test::StyleBytes(t, {}, 480));

  SystemMonoClock clock;
  MidiSender sender(out, clock);
  sender.Start();
  MidiFileSource source(file);
  source.Start(clock.NowNs());
  sender.SetSource(&source);
  ASSERT_TRUE(peer.WaitFor([&](const auto& got) { return got.size() >= file.events.size(); }))
      << Describe(peer.Received());
  sender.Silence();
  ASSERT_TRUE(peer.WaitFor([&](const auto& got) { return got.size() >= file.events.size() + 1 + 32; }));

  auto got = peer.Received();
  ASSERT_EQ(got.size(), file.events.size() + 1 + 32);
  for (size_t i = 0; i < file.events.size(); ++i) {
    const auto& e = file.events[i];
    EXPECT_EQ(got[i].bytes, Bytes(file.Bytes(e), file.Bytes(e) + e.size)) << "event " << i;
    if (i > 0) {
      EXPECT_GE(got[i].timeNs, got[i - 1].timeNs);
    }
  }
  EXPECT_EQ(got[file.events.size()].bytes, (Bytes{0x82, 70, 0}));
  EXPECT_EQ(got.back().bytes, (Bytes{0xBF, 121, 0}));
}

TEST_F(MidiPortsTest, KeyboardReachesVambrioInAndAChosenInput) {
  auto virtualIn = system->OpenVirtualInput(kVirtualInName);
  ASSERT_TRUE(virtualIn);
  MidiPeer other;
  ASSERT_TRUE(other.ConnectKeysTo(kVirtualInName));
  other.Send({0x90, 48, 77});
  MidiMessage m;
  ASSERT_TRUE(PopWithin(*virtualIn, m));
  EXPECT_EQ(m.size, 3);
  EXPECT_EQ(m.bytes, (std::array<uint8_t, 3>{0x90, 48, 77}));
  EXPECT_GT(m.timeNs, 0);

  MidiPeer keyboard;
  keyboard.OpenKeys();
  KeptMidiInput chosen(*system, Find(system->InputPorts(), MidiPeer::kKeys));
  ASSERT_TRUE(chosen.Connected());
  keyboard.Send({0xB0, 64, 127});
  ASSERT_TRUE(PopWithin(chosen, m));
  EXPECT_EQ(m.bytes, (std::array<uint8_t, 3>{0xB0, 64, 127}));
}

TEST_F(MidiPortsTest, SynthThatGoesAwayIsReconnectedAndResetWhenBack) {
  auto peer = std::make_unique<MidiPeer>();
  peer->OpenSynth();
  std::string name = Find(system->OutputPorts(), MidiPeer::kSynth);
  KeptMidiOutput out(*system, name);
  std::vector<PortChange> changes;
  MidiPortWatch watch([&](const std::string&, PortChange c) { changes.push_back(c); });
  watch.Add(&out);

  peer.reset();  // the synthesizer is switched off
  watch.CheckNow();
  EXPECT_EQ(changes, std::vector<PortChange>{PortChange::Lost});
  const uint8_t note[3] = {0x90, 60, 100};
  out.Send(note, 3);  // goes nowhere

  peer = std::make_unique<MidiPeer>();
  peer->OpenSynth();
  watch.CheckNow();
  EXPECT_EQ(changes, (std::vector<PortChange>{PortChange::Lost, PortChange::Back}));
  out.Send(note, 3);
  ASSERT_TRUE(peer->WaitFor([](const auto& got) { return got.size() >= 33; }));
  auto got = peer->Received();
  EXPECT_EQ(got.front().bytes, (Bytes{0xB0, 123, 0}));
  EXPECT_EQ(got[32].bytes, (Bytes{0x90, 60, 100}));
}

TEST_F(MidiPortsTest, VambrioOutReachesAProgramConnectedToIt) {
  auto virtualOut = system->OpenVirtualOutput(kVirtualOutName);
  ASSERT_TRUE(virtualOut);
  MidiPeer listener;
  ASSERT_TRUE(listener.ConnectSynthTo(kVirtualOutName));
  const uint8_t note[3] = {0x93, 64, 50};
  virtualOut->Send(note, 3);
  ASSERT_TRUE(listener.WaitFor([](const auto& got) { return !got.empty(); }));
  EXPECT_EQ(listener.Received().front().bytes, (Bytes{0x93, 64, 50}));
}

// What the keyboard means, from the sending thread.
class ChordLog final : public keyboard::KeyboardTarget {
 public:
  void ChordChanged(const std::optional<Chord>& c) override {
    std::lock_guard<std::mutex> lock(mutex_);
    chords_.push_back(c ? ChordName(*c) : "N.C.");
  }
  void PlayThrough(uint8_t, uint8_t, uint8_t) override {}
  void ControlPressed(keyboard::Control, int) override {}
  void SplitChosen(int) override {}
  void Learned(keyboard::Control, keyboard::LearnedKey) override {}
  std::vector<std::string> Chords() {
    std::lock_guard<std::mutex> lock(mutex_);
    return chords_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> chords_;
};

// A keyboard connected to "Vambrio In": the left hand names a chord, the
// right hand reaches the synthesizer with its velocity on channel 1.
TEST_F(MidiPortsTest, KeyboardAtVambrioInPlaysThroughToTheSynth) {
  MidiPeer synth;
  synth.OpenSynth();
  auto in = system->OpenVirtualInput(kVirtualInName);
  ASSERT_TRUE(in);
  KeptMidiOutput out(*system, Find(system->OutputPorts(), MidiPeer::kSynth));
  keyboard::KeyboardRouter router;
  ChordLog chords;
  keyboard::KeyboardClient client(router, chords);
  client.AddInput(in.get());
  SystemMonoClock clock;
  MidiSender sender(out, clock);
  sender.Start();
  RealtimePortSource source(client);
  source.Start(clock.NowNs());
  sender.SetSource(&source);

  MidiPeer keys;
  ASSERT_TRUE(keys.ConnectKeysTo(kVirtualInName));
  for (uint8_t key : {41, 45, 48}) keys.Send({0x94, key, 90});  // F A C below the split
  keys.Send({0x94, 77, 99});
  keys.Send({0x84, 77, 0});
  ASSERT_TRUE(synth.WaitFor([](const auto& got) { return got.size() >= 2; })) << Describe(synth.Received());
  auto got = synth.Received();
  EXPECT_EQ(got[0].bytes, (Bytes{0x90, 77, 99}));
  EXPECT_EQ(got[1].bytes, (Bytes{0x80, 77, 0}));
  EXPECT_EQ(chords.Chords(), (std::vector<std::string>{"F1+8", "F"}));
  sender.SetSource(nullptr);
}

// vambrio-cli arrange plays a chart live through a port: the arranger's notes
// reach the synthesizer and none is left sounding at the end.
TEST_F(MidiPortsTest, CliArrangesAChartLiveThroughAPort) {
  MidiPeer peer;
  peer.OpenSynth();
  auto played = test::RunProcess({VAMBRIO_CLI, "arrange", VAMBRIO_SOURCE_DIR "/examples/Demo.sty", "-", "--tempo",
                                  "300", "--midi-out", MidiPeer::kSynth},
                                 "[Main A] C | G7 |\n");
  ASSERT_EQ(played.status, 0) << played.err;
  EXPECT_NE(played.out.find("Bar 2"), std::string::npos) << played.out;
  ASSERT_TRUE(peer.WaitFor([](const auto& got) { return !got.empty() && got.back().bytes == Bytes{0xBF, 121, 0}; }));
  std::set<std::pair<int, int>> sounding;
  int noteOns = 0;
  for (const auto& m : peer.Received()) {
    const int kind = m.bytes[0] & 0xF0, channel = m.bytes[0] & 0x0F;
    if (kind == 0x90 && m.bytes[2] > 0) {
      sounding.insert({channel, m.bytes[1]});
      ++noteOns;
    } else if (kind == 0x80 || kind == 0x90) {
      sounding.erase({channel, m.bytes[1]});
    } else if (kind == 0xB0 && m.bytes[1] == 123) {
      std::erase_if(sounding, [&](const auto& n) { return n.first == channel; });
    }
  }
  EXPECT_GT(noteOns, 8);
  EXPECT_TRUE(sounding.empty());
}

// vambrio-cli live: a keyboard's chord starts the arranger (Sync Start), the
// right hand plays through, Ctrl-C ends in silence.
TEST_F(MidiPortsTest, CliLivePlaysTheArrangerFromAKeyboard) {
  MidiPeer synth, keys;
  synth.OpenSynth();
  keys.OpenKeys();
  test::ProcessResult live;
  std::thread running([&] {
    live = test::RunProcess({"timeout", "-s", "INT", "--preserve-status", "8", VAMBRIO_CLI, "live",
                             VAMBRIO_SOURCE_DIR "/examples/Demo.sty", "--midi-in", MidiPeer::kKeys, "--midi-out",
                             MidiPeer::kSynth, "--split", "54"});
  });
  // Once "Vambrio In" is there, the keyboard is connected too (it is opened first).
  RtMidiOut lister(test::PeerApi(), "Peer lister");
  bool ready = false;
  for (int i = 0; i < 100 && !ready; ++i) {
    for (unsigned p = 0; p < lister.getPortCount(); ++p) ready = ready || lister.getPortName(p).find(kVirtualInName) != std::string::npos;
    if (!ready) usleep(50000);
  }
  ASSERT_TRUE(ready);
  for (uint8_t key : {48, 52, 55 - 12}) keys.Send({0x90, key, 100});  // C E G below the split
  keys.Send({0x90, 72, 111});
  bool heard = synth.WaitFor([](const auto& got) {
    bool right = false;
    int arranger = 0;
    for (const auto& m : got) {
      right = right || m.bytes == Bytes{0x90, 72, 111};
      arranger += (m.bytes[0] & 0xF0) == 0x90 && m.bytes[0] != 0x90 && m.bytes[2] > 0;
    }
    return right && arranger >= 4;
  });
  running.join();
  ASSERT_TRUE(heard) << live.out << live.err;
  EXPECT_EQ(live.status, 0) << live.err;
  EXPECT_NE(live.out.find("Chord C"), std::string::npos) << live.out;
  EXPECT_NE(live.out.find("Bar 1  Main A"), std::string::npos) << live.out;
  EXPECT_EQ(synth.Received().back().bytes, (Bytes{0xBF, 121, 0}));
}

// vambrio-cli plays a section through a port: the synthesizer hears exactly
// the events of the assembled file, in order, then every channel reset.
TEST_F(MidiPortsTest, CliListsPortsAndPlaysASectionThroughOne) {
  MidiPeer peer;
  peer.OpenSynth();
  auto listed = test::RunProcess({VAMBRIO_CLI, "ports"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_NE(listed.out.find(MidiPeer::kSynth), std::string::npos) << listed.out;

  test::TempDir dir;
  test::TrackBuilder t;
  t.Marker("SInt").TempoBpm(240).TimeSignature(4, 2).ProgramChange(10, 40).Marker("Main A");
  for (int n = 0; n < 4; ++n) t.Delta(480).NoteOn(9, 36, 100).Delta(10).NoteOn(9, 36, 0);
  t.NoteOn(10, 48, 90).Delta(100).NoteOff(10, 48).EndOfTrack();
  std::string style = dir.File("Tiny.sty");
  test::WriteFile(style, test::StyleBytes(t));
  auto assembled = test::RunProcess({VAMBRIO_CLI, "assemble", style, "Main A", "-o", dir.File("ref.mid")});
  ASSERT_EQ(assembled.status, 0) << assembled.err;
  std::ifstream f(dir.File("ref.mid"), std::ios::binary);
  Bytes ref((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto file = *midi::ReadMidiFileEvents(ref);

  auto played = test::RunProcess({VAMBRIO_CLI, "play", style, "Main A", "--classic", "--midi-out", MidiPeer::kSynth});
  ASSERT_EQ(played.status, 0) << played.err;
  ASSERT_TRUE(peer.WaitFor([&](const auto& got) { return got.size() >= file.events.size() + 32; }));
  auto got = peer.Received();
  ASSERT_GE(got.size(), file.events.size());
  for (size_t i = 0; i < file.events.size(); ++i) {
    const auto& e = file.events[i];
    EXPECT_EQ(got[i].bytes, Bytes(file.Bytes(e), file.Bytes(e) + e.size)) << "event " << i;
  }
  EXPECT_TRUE(Has(got, {0xB9, 123, 0}));
  EXPECT_EQ(got.back().bytes, (Bytes{0xBF, 121, 0}));

  auto missing = test::RunProcess({VAMBRIO_CLI, "play", style, "Main A", "--midi-out", "No Such Synth"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("No MIDI output port \"No Such Synth\""), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace vambrio::platform
