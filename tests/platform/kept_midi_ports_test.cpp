#include "platform/midi_ports/kept_midi_ports.h"

#include <gtest/gtest.h>

#include "fakes/fake_midi.h"

namespace vambrio::platform {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(KeptMidiPorts, OutputLostDropsMessagesAndComesBackReset) {
  test::FakeMidiSystem system;
  system.outputs = {"Synth:MIDI 1"};
  KeptMidiOutput out(system, "Synth:MIDI 1");
  ASSERT_TRUE(out.Connected());
  const uint8_t note[3] = {0x90, 60, 100};
  out.Send(note, 3);
  EXPECT_EQ(system.openOut["Synth:MIDI 1"]->Sent().size(), 1u);

  system.outputs.clear();  // unplugged
  EXPECT_EQ(out.Check(), PortChange::Lost);
  EXPECT_FALSE(out.Connected());
  out.Send(note, 3);  // dropped, no crash
  EXPECT_EQ(out.Check(), PortChange::None);

  system.outputs = {"Other", "Synth:MIDI 1"};  // plugged in again
  EXPECT_EQ(out.Check(), PortChange::Back);
  EXPECT_EQ(system.opens["Synth:MIDI 1"], 2);
  out.Send(note, 3);
  auto sent = system.openOut["Synth:MIDI 1"]->Sent();
  ASSERT_EQ(sent.size(), 34u);  // the note left on switched off, the reset of every channel, then the note
  EXPECT_EQ(sent[0].bytes, (Bytes{0x80, 60, 0}));
  EXPECT_EQ(sent[1].bytes, (Bytes{0xB0, 123, 0}));
  EXPECT_EQ(sent[33].bytes, (Bytes{0x90, 60, 100}));
}

TEST(KeptMidiPorts, TheNotesLeftOnWhenThePortWentAreSwitchedOffWhenItComesBack) {
  test::FakeMidiSystem system;
  test::FakeMonoClock clock;
  system.outputs = {"Synth"};
  KeptMidiOutput out(system, "Synth", &clock);
  const std::vector<Bytes> played = {{0x90, 60, 100}, {0x99, 36, 90}, {0x9F, 127, 1}, {0x90, 64, 80},
                                     {0x80, 64, 0},   {0x90, 67, 0},  {0xB0, 7, 100}};
  for (const Bytes& m : played) out.Send(m.data(), m.size());
  clock.now += KeptMidiOutput::kUndeliveredNs + 1;  // 64 went off long before the loss
  system.outputs.clear();
  EXPECT_EQ(out.Check(), PortChange::Lost);
  const uint8_t whileAway[3] = {0x80, 60, 0};  // never reaches the synthesizer: 60 stays on there
  out.Send(whileAway, 3);
  system.outputs = {"Synth"};
  EXPECT_EQ(out.Check(), PortChange::Back);
  auto sent = system.openOut["Synth"]->Sent();
  ASSERT_EQ(sent.size(), 3u + 32u);
  EXPECT_EQ(sent[0].bytes, (Bytes{0x80, 60, 0}));
  EXPECT_EQ(sent[1].bytes, (Bytes{0x89, 36, 0}));
  EXPECT_EQ(sent[2].bytes, (Bytes{0x8F, 127, 0}));
  EXPECT_EQ(sent[3 + 2 * 15].bytes, (Bytes{0xBF, 123, 0}));  // then All Notes Off on every channel

  // Lost and back again at once: nothing is owed any more.
  system.outputs.clear();
  EXPECT_EQ(out.Check(), PortChange::Lost);
  system.outputs = {"Synth"};
  EXPECT_EQ(out.Check(), PortChange::Back);
  EXPECT_EQ(system.openOut["Synth"]->Sent().size(), 32u);
}

// A server that stops ends its cycles before it says so: a note switched off
// shortly before the loss is noticed may still sound, and is switched off again.
TEST(KeptMidiPorts, NotesSwitchedOffJustBeforeTheMidiSystemWentAreOwedToo) {
  test::FakeMidiSystem system;
  test::FakeMonoClock clock;
  system.outputs = {"Synth"};
  KeptMidiOutput out(system, "Synth", &clock);
  const Bytes played[] = {{0x90, 60, 100}, {0x90, 62, 100}, {0x90, 64, 100}, {0x80, 62, 0}};
  for (const Bytes& m : played) out.Send(m.data(), m.size());
  clock.now += KeptMidiOutput::kUndeliveredNs + 1;
  const uint8_t off64[3] = {0x80, 64, 0}, off60[3] = {0x80, 60, 0};
  out.Send(off64, 3);  // maybe never delivered
  clock.now += KeptMidiOutput::kUndeliveredNs / 2;
  system.lost = true;  // the server said it went; the watch has not looked yet
  out.Send(off60, 3);  // dropped
  EXPECT_EQ(system.openOut["Synth"]->Sent().size(), 5u);
  system.outputs.clear();
  EXPECT_EQ(out.Check(), PortChange::Lost);
  system.lost = false;
  system.outputs = {"Synth"};
  EXPECT_EQ(out.Check(), PortChange::Back);
  auto sent = system.openOut["Synth"]->Sent();
  ASSERT_EQ(sent.size(), 2u + 32u);
  EXPECT_EQ(sent[0].bytes, (Bytes{0x80, 60, 0}));
  EXPECT_EQ(sent[1].bytes, (Bytes{0x80, 64, 0}));
}

TEST(KeptMidiPorts, InputLostGivesOneSystemResetAndReconnects) {
  test::FakeMidiSystem system;
  KeptMidiInput in(system, "Keys");  // not there yet
  EXPECT_FALSE(in.Connected());
  MidiMessage m;
  EXPECT_FALSE(in.Pop(m));

  system.inputs = {"Keys"};
  EXPECT_EQ(in.Check(), PortChange::Back);
  system.openIn["Keys"]->Receive({0x90, 48, 80});
  ASSERT_TRUE(in.Pop(m));
  EXPECT_TRUE(m.IsNoteOn());

  system.inputs.clear();
  EXPECT_EQ(in.Check(), PortChange::Lost);
  ASSERT_TRUE(in.Pop(m));
  EXPECT_EQ(m.Status(), 0xFF);
  EXPECT_FALSE(in.Pop(m));
}

TEST(KeptMidiPorts, WatchReportsChangesByName) {
  test::FakeMidiSystem system;
  system.outputs = {"Synth"};
  KeptMidiOutput out(system, "Synth");
  std::vector<std::pair<std::string, PortChange>> reports;
  MidiPortWatch watch([&](const std::string& name, PortChange c) { reports.emplace_back(name, c); });
  watch.Add(&out);
  watch.CheckNow();
  system.outputs.clear();
  watch.CheckNow();
  watch.CheckNow();
  system.outputs = {"Synth"};
  watch.CheckNow();
  EXPECT_EQ(reports, (std::vector<std::pair<std::string, PortChange>>{{"Synth", PortChange::Lost},
                                                                        {"Synth", PortChange::Back}}));
}

TEST(MidiPorts, FindPortByNameNumberOrUniquePart) {
  std::vector<std::string> ports = {"Midi Through:Midi Through Port-0", "USB Keyboard:USB Keyboard MIDI 1",
                                    "FLUID Synth (1234):Synth input port (1234:0)"};
  EXPECT_EQ(FindPort(ports, "USB Keyboard:USB Keyboard MIDI 1"), ports[1]);
  EXPECT_EQ(FindPort(ports, "3"), ports[2]);
  EXPECT_EQ(FindPort(ports, "usb"), ports[1]);
  EXPECT_FALSE(FindPort(ports, "4"));
  EXPECT_FALSE(FindPort(ports, "0"));
  EXPECT_FALSE(FindPort(ports, "port"));  // three ports say "port"
  EXPECT_FALSE(FindPort(ports, ""));
}

}  // namespace
}  // namespace vambrio::platform
