// The sound source on a MIDI port (a fake port, the real sending thread): the
// classic Play and the live client take the port from each other, each is
// told, and every channel is silenced in between. The keyboard's chosen input
// changes behind its reader.
#include "platform/midi_ports/port_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/fake_midi.h"
#include "platform/midi_ports/chosen_midi_input.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::platform {
namespace {

using Bytes = std::vector<uint8_t>;

// Sends one note-on in its first block, then nothing.
class OneNote final : public realtime::RealtimeClient {
 public:
  void Process(const realtime::BlockInfo&, realtime::RealtimeEventSink& events) override {
    if (!sent_) events.Add(realtime::RealtimeEvent::Short(0, 0x95, 64, 99));
    sent_ = true;
  }

 private:
  bool sent_ = false;
};

bool Arrives(const test::FakeMidiOut& port, const Bytes& bytes) {
  for (int i = 0; i < 2000; ++i) {
    for (const auto& m : port.Sent())
      if (m.bytes == bytes) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(PortOutput, PlayAndTheLiveClientTakeThePortFromEachOther) {
  auto owned = std::make_unique<test::FakeMidiOut>();
  test::FakeMidiOut& port = *owned;
  SystemMonoClock clock;
  PortOutput output(std::move(owned), clock);
  test::TempDir dir;
  test::TrackBuilder t;
  t.TempoBpm(120).NoteOn(0, 60, 100).Delta(4800).NoteOff(0, 60).EndOfTrack();
  test::WriteFile(dir.File("Player.tmp"), test::StyleBytes(t, {}, 480));
  int playStopped = 0, liveStopped = 0;
  output.SetTakenAwayHandler([&] { ++playStopped; });

  OneNote live;
  ASSERT_TRUE(output.AttachLiveClient(live, [&] { ++liveStopped; }, nullptr));
  ASSERT_TRUE(Arrives(port, {0x95, 64, 99}));
  output.SetFileName(dir.File("Player.tmp"));
  ASSERT_TRUE(output.Command("open"));  // the classic Play takes the port
  EXPECT_EQ(liveStopped, 1);
  EXPECT_FALSE(output.LiveClientAttached());
  EXPECT_TRUE(Arrives(port, {0x85, 64, 0})) << "the live client's note ends";
  ASSERT_TRUE(output.Command("play"));
  ASSERT_TRUE(Arrives(port, {0x90, 60, 100}));

  port.Clear();
  OneNote again;
  ASSERT_TRUE(output.AttachLiveClient(again, [&] { ++liveStopped; }, nullptr));
  EXPECT_EQ(playStopped, 1) << "the live client stops the file that plays";
  EXPECT_TRUE(Arrives(port, {0x80, 60, 0}));
  EXPECT_TRUE(Arrives(port, {0xBF, 121, 0}));
  EXPECT_TRUE(Arrives(port, {0x95, 64, 99}));

  output.Release();  // another sound source was chosen
  EXPECT_EQ(liveStopped, 2);
  EXPECT_EQ(playStopped, 1) << "no file was open any more";
  EXPECT_FALSE(output.LiveClientAttached());
}

TEST(PortOutput, AKeptPortThatIsAwayIsNamedAsTheProblemUntilItIsBack) {
  test::FakeMidiSystem system;
  system.outputs = {"Synth"};
  auto kept = std::make_unique<KeptMidiOutput>(system, "Synth");
  KeptMidiOutput& port = *kept;
  SystemMonoClock clock;
  PortOutput output(std::move(kept), clock);
  EXPECT_EQ(output.Problem(), "");
  system.outputs.clear();
  ASSERT_EQ(port.Check(), PortChange::Lost);
  EXPECT_EQ(output.Problem(),
            "Sound source \"Synth\" is not connected - Vambrio connects it as soon as it is there again.");
  system.outputs = {"Synth"};
  ASSERT_EQ(port.Check(), PortChange::Back);
  EXPECT_EQ(output.Problem(), "");
}

TEST(ChosenMidiInput, TheReaderFollowsTheChoiceAndLetsGoOfTheOldPortsKeys) {
  test::FakeMidiSystem system;
  system.inputs = {"Keys A", "Keys B"};
  MidiPortWatch watch(nullptr);
  ChosenMidiInput input(system, watch);
  MidiMessage m;
  EXPECT_FALSE(input.Pop(m));
  input.Choose("Keys A");
  EXPECT_TRUE(input.Connected());
  system.openIn["Keys A"]->Receive({0x90, 60, 100});
  ASSERT_TRUE(input.Pop(m));
  EXPECT_EQ(m.bytes[1], 60);

  input.Choose("Keys B");
  system.openIn["Keys B"]->Receive({0x90, 62, 100});
  ASSERT_TRUE(input.Pop(m));
  EXPECT_EQ(m.bytes[0], 0xFF) << "the keys held on the old port are let go";
  ASSERT_TRUE(input.Pop(m));
  EXPECT_EQ(m.bytes[1], 62);
  EXPECT_EQ(input.Name(), "Keys B");

  input.Choose("Keys C");  // not there (yet): chosen, not connected
  EXPECT_FALSE(input.Connected());
  system.inputs.push_back("Keys C");
  watch.CheckNow();
  EXPECT_TRUE(input.Connected());
  input.Choose("");
  EXPECT_FALSE(input.Connected());
  ASSERT_TRUE(input.Pop(m));
  EXPECT_EQ(m.bytes[0], 0xFF);
  EXPECT_FALSE(input.Pop(m));
}

}  // namespace
}  // namespace vambrio::platform
