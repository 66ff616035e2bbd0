// The player's keyboard end to end on real ports (the private JACK server, or
// the ALSA sequencer with VAMBRIO_MIDI_API=alsa where it exists): a
// test keyboard connected to "Vambrio In" plays chords, a right-hand note and
// learned pads to the live arranger of the demo style, which plays through
// Vambrio's timed output to a recording synthesizer. The accompaniment's
// notes follow the chords, Main B comes in on a bar line, the right hand
// keeps its velocity, and the learned Start/Stop leaves no note sounding.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "keyboard/player_keyboard.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "midi/tempo_map.h"
#include "midi_peer.h"
#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/midi_ports/port_output.h"
#include "platform/rtmidi/rtmidi_system.h"

namespace vambrio {
namespace {

using test::MidiPeer;
using test::PeerMessage;
using Bytes = std::vector<uint8_t>;
using Kind = live::LiveCommand::Kind;

// Pitch classes of the accompaniment's note-ons (channels 11 to 16; the
// drums play on 9 and 10) that arrived after `fromNs`.
std::set<int> PartPitchClasses(const std::vector<PeerMessage>& got, int64_t fromNs) {
  std::set<int> classes;
  for (const auto& m : got) {
    if (m.timeNs < fromNs || m.bytes.size() != 3 || (m.bytes[0] & 0xF0) != 0x90 || m.bytes[2] == 0) continue;
    if ((m.bytes[0] & 0x0F) >= 10) classes.insert(m.bytes[1] % 12);
  }
  return classes;
}

TEST(KeyboardPorts, ChordsSectionsRightHandAndStopFromAKeyboard) {
  if (test::PeerApi() == RtMidi::LINUX_ALSA && access("/dev/snd/seq", R_OK | W_OK) != 0) {
    GTEST_SKIP() << "no ALSA sequencer on this machine (/dev/snd/seq): the ALSA run is skipped";
  }
  auto system = platform::OpenMidiSystem();
  ASSERT_FALSE(system->ApiName().empty()) << system->Problem();
  StyleModel style = MakeStartupModel();
  SilentErrorSink errors;
  ASSERT_EQ(Entry(style, VAMBRIO_SOURCE_DIR "/examples/Demo.sty", false, errors).outcome,
            EntryResult::Outcome::Loaded);
  live::LiveSession session(style, live::SessionChoices{});
  int mainB = -1;
  for (size_t i = 0; i < session.Patterns().sections.size(); ++i)
    if (session.Patterns().sections[i].name == "Main B") mainB = static_cast<int>(i);
  ASSERT_GE(mainB, 0);

  MidiPeer synth, keys;
  synth.OpenSynth();
  auto in = system->OpenVirtualInput(platform::kVirtualInName);
  auto synthPort = platform::FindPort(system->OutputPorts(), MidiPeer::kSynth);
  ASSERT_TRUE(in && synthPort);
  keyboard::PlayerKeyboard keyboard({in.get()});
  keyboard.Router().SetLearned(keyboard::Control::MainB, {0xB0, 80});
  keyboard.Router().SetLearned(keyboard::Control::StartStop, {0xB0, 81});
  platform::SystemMonoClock clock;
  platform::PortOutput output(std::make_unique<platform::KeptMidiOutput>(*system, *synthPort), clock);
  ASSERT_TRUE(output.AttachLiveClient(keyboard.ClientFor(session.Client()), nullptr, nullptr));
  live::LiveCommand fast = live::Command(Kind::Tempo);
  fast.tempo = midi::MicrosPerQuarter(240);  // a bar a second
  session.Client().Post(fast);
  session.Client().Post(live::Command(Kind::SyncStart, 1));
  ASSERT_TRUE(keys.ConnectKeysTo(platform::kVirtualInName));
  usleep(200000);

  // C major starts the accompaniment; its notes are C major's.
  for (uint8_t key : {36, 40, 43}) keys.Send({0x90, key, 90});
  ASSERT_TRUE(synth.WaitFor([](const auto& got) { return PartPitchClasses(got, 0).size() >= 2; }))
      << "the chord started nothing";
  EXPECT_TRUE(session.Client().State().playing);
  const std::set<int> cMajor{0, 2, 4, 7, 9, 11};
  for (int pc : PartPitchClasses(synth.Received(), 0)) EXPECT_TRUE(cMajor.count(pc)) << "pitch class " << pc;

  // Ab major: the notes that start from now on are Ab's (C, D, E, G and A are not).
  for (uint8_t key : {36, 40, 43}) keys.Send({0x80, key, 0});
  for (uint8_t key : {44, 48, 51}) keys.Send({0x90, key, 90});
  const int64_t changed = test::PeerNowNs() + 30'000'000;
  ASSERT_TRUE(synth.WaitFor([&](const auto& got) { return PartPitchClasses(got, changed).size() >= 2; }));
  const std::set<int> abMajor{8, 10, 0, 3, 5, 7};
  for (int pc : PartPitchClasses(synth.Received(), changed)) EXPECT_TRUE(abMajor.count(pc)) << "pitch class " << pc;

  // The right hand above the split keeps its velocity on channel 1.
  keys.Send({0x90, 72, 111});
  keys.Send({0x80, 72, 0});
  EXPECT_TRUE(synth.WaitFor([](const auto& got) {
    return std::any_of(got.begin(), got.end(), [](const PeerMessage& m) { return m.bytes == Bytes{0x90, 72, 111}; });
  }));

  // The learned pad: Main B (after its fill) comes in on a bar line.
  keys.Send({0xB0, 80, 127});
  live::LiveState s;
  for (int i = 0; i < 4000 && s.section != mainB; ++i) {
    usleep(1000);
    s = session.Client().State();
  }
  ASSERT_EQ(s.section, mainB);
  EXPECT_EQ(s.beat, 0u);

  // The learned Start/Stop: every note that sounded is ended.
  keys.Send({0xB0, 81, 127});
  for (int i = 0; i < 2000 && session.Client().State().playing; ++i) usleep(1000);
  EXPECT_FALSE(session.Client().State().playing);
  usleep(300000);
  std::set<std::pair<int, int>> sounding;
  for (const auto& m : synth.Received()) {
    const int kind = m.bytes[0] & 0xF0, channel = m.bytes[0] & 0x0F;
    if (kind == 0x90 && m.bytes[2] > 0) sounding.insert({channel, m.bytes[1]});
    if (kind == 0x80 || (kind == 0x90 && m.bytes[2] == 0)) sounding.erase({channel, m.bytes[1]});
    if (kind == 0xB0 && m.bytes[1] == 123) std::erase_if(sounding, [&](const auto& n) { return n.first == channel; });
  }
  EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes left sounding";
  output.DetachLiveClient();
}

}  // namespace
}  // namespace vambrio
