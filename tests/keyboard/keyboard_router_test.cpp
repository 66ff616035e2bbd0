#include "keyboard/keyboard_router.h"

#include "fakes/fake_midi.h"
#include "keyboard/keyboard_client.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vambrio::keyboard {
namespace {

// Records what the keyboard means, one line per call.
class Recorder final : public KeyboardTarget {
 public:
  void ChordChanged(const std::optional<Chord>& c) override { log.push_back("chord " + (c ? ChordName(*c) : "N.C.")); }
  void PlayThrough(uint8_t s, uint8_t d1, uint8_t d2) override { log.push_back(Hex(s) + " " + Hex(d1) + " " + Hex(d2)); }
  void ControlPressed(Control c, int value) override {
    log.push_back(std::string("press ") + ControlName(c) + " " + std::to_string(value));
  }
  void SplitChosen(int note) override { log.push_back("split " + std::to_string(note)); }
  void Learned(Control c, LearnedKey key) override { log.push_back(std::string("learned ") + ControlName(c) + " " + LearnedKeyText(key)); }
  std::vector<std::string> Take() { return std::exchange(log, {}); }
  std::vector<std::string> log;

 private:
  static std::string Hex(int v) {
    char t[4];
    std::snprintf(t, sizeof t, "%02X", v);
    return t;
  }
};

void Send(KeyboardRouter& r, Recorder& rec, std::initializer_list<uint8_t> bytes) {
  platform::MidiMessage m;
  for (uint8_t b : bytes) m.bytes[m.size++] = b;
  r.Handle(m, rec);
}

using Log = std::vector<std::string>;

TEST(KeyboardRouter, LeftHandNamesChordsRightHandPlaysThroughOnItsChannel) {
  KeyboardRouter r;
  Recorder rec;
  for (uint8_t key : {36, 40, 43}) Send(r, rec, {0x92, key, 90});  // C2 E2 G2, on the keyboard's channel 3
  EXPECT_EQ(rec.Take(), (Log{"chord C1+8", "chord C"}));
  Send(r, rec, {0x92, 54, 90});  // F#3, the split key itself: C E F# G names nothing, C stays
  Send(r, rec, {0x92, 55, 77});  // G3 plays
  Send(r, rec, {0xB2, 64, 127});
  Send(r, rec, {0xE2, 0, 80});
  Send(r, rec, {0x82, 55, 40});
  Send(r, rec, {0xC2, 5});  // the keyboard's program change stays its own
  EXPECT_EQ(rec.Take(), (Log{"90 37 4D", "B0 40 7F", "E0 00 50", "80 37 00"}));

  r.SetSplitOn(false);  // the whole keyboard is the right hand
  r.SetRightChannel(3);
  Send(r, rec, {0x90, 36, 100});
  Send(r, rec, {0x80, 36, 0});
  EXPECT_EQ(rec.Take(), (Log{"93 24 64", "83 24 00"}));
}

TEST(KeyboardRouter, ReleaseGoesWhereThePressWentAndAResetLetsGoOfEverything) {
  KeyboardRouter r;
  Recorder rec;
  Send(r, rec, {0x90, 60, 100});  // right hand on channel 1
  Send(r, rec, {0x90, 48, 100});  // a chord key
  Send(r, rec, {0xB0, 64, 127});
  r.SetSplitNote(70);             // 60 would now be a chord key...
  r.SetRightChannel(5);
  Send(r, rec, {0x90, 72, 90});
  Send(r, rec, {0x80, 60, 0});    // ...but its release goes where its press went
  EXPECT_EQ(rec.Take(), (Log{"90 3C 64", "chord C1+8", "B0 40 7F", "95 48 5A", "80 3C 00"}));

  Send(r, rec, {0xFF});  // System Reset, as a lost port gives
  // The pedal is let go where it went down, and on the channel Right 1 plays on now.
  EXPECT_EQ(rec.Take(), (Log{"85 48 00", "B0 40 00", "B5 40 00"}));  // chord memory keeps C1+8

  r.SetChordMemory(false);
  Send(r, rec, {0x90, 50, 100});
  Send(r, rec, {0xFF});
  EXPECT_EQ(rec.Take(), (Log{"chord D1+8", "chord N.C."}));
}

// Right 2 layers over Right 1 in its octave, Left plays the chord keys it
// also names; switching a part off never strands its held notes.
TEST(KeyboardRouter, PartsLayerOnTheirChannelsAndLetGoWhereTheyPressed) {
  KeyboardRouter r;
  Recorder rec;
  r.SetPartOn(Part::Right2, true);
  r.SetPartOn(Part::Left, true);
  r.SetOctave(Part::Right2, -1);
  Send(r, rec, {0x90, 72, 100});
  Send(r, rec, {0x90, 48, 90});
  Send(r, rec, {0xB0, 64, 127});
  EXPECT_EQ(rec.Take(), (Log{"90 48 64", "91 3C 64", "chord C1+8", "93 30 5A", "B0 40 7F", "B1 40 7F", "B3 40 7F"}));
  r.SetPartOn(Part::Right2, false);
  r.SetPartOn(Part::Left, false);
  r.SetOctave(Part::Right2, 0);
  Send(r, rec, {0x80, 72, 0});
  Send(r, rec, {0x80, 48, 0});
  Send(r, rec, {0xB0, 64, 0});
  Send(r, rec, {0x90, 60, 80});
  EXPECT_EQ(rec.Take(), (Log{"80 48 00", "81 3C 00", "83 30 00", "B0 40 00", "B1 40 00", "B3 40 00", "90 3C 50"}));
  r.SetPartOn(Part::Right1, false);  // no part on above the split: the key plays nothing
  Send(r, rec, {0x90, 62, 80});
  r.SetOctave(Part::Right1, 9);
  EXPECT_EQ(r.Octave(Part::Right1), 2);
  EXPECT_EQ(rec.Take(), Log{});
}

TEST(KeyboardRouter, SetSplitAndMidiLearnTakeTheNextPress) {
  KeyboardRouter r;
  Recorder rec;
  r.ArmSetSplit();
  Send(r, rec, {0x90, 60, 100});
  Send(r, rec, {0x80, 60, 0});
  EXPECT_EQ(rec.Take(), (Log{"split 60"}));
  EXPECT_EQ(r.SplitNote(), 60);

  r.ArmLearn(Control::MainB);
  Send(r, rec, {0xB9, 20, 0});    // a controller at 0 is no press: it plays through
  Send(r, rec, {0xB9, 20, 127});  // a pad
  r.ArmLearn(Control::StartStop);
  Send(r, rec, {0x90, 96, 80});   // a key above the split
  Send(r, rec, {0x80, 96, 0});
  r.ArmLearn(Control::Tempo);
  Send(r, rec, {0xB0, 74, 64});
  EXPECT_EQ(rec.Take(), (Log{"B0 14 00", "learned MainB B9 14", "learned StartStop 90 60", "learned Tempo B0 4A"}));

  Send(r, rec, {0xB9, 20, 127});
  Send(r, rec, {0xB9, 20, 0});
  Send(r, rec, {0x90, 96, 80});
  Send(r, rec, {0x90, 96, 0});
  Send(r, rec, {0xB0, 74, 100});
  Send(r, rec, {0x91, 96, 80});  // the same key on another channel is just a key
  EXPECT_EQ(rec.Take(), (Log{"press MainB 127", "press StartStop 80", "press Tempo 100", "90 60 50"}));

  r.ArmLearn(Control::Break);  // the pad moves to Break: one message presses one control
  Send(r, rec, {0xB9, 20, 127});
  Send(r, rec, {0xB9, 20, 127});
  EXPECT_EQ(rec.Take(), (Log{"learned Break B9 14", "press Break 127"}));
  EXPECT_TRUE(r.Learned(Control::MainB).Empty());

  // Each press is counted, for a window that acts on its control itself (Next song); releases are not.
  r.SetLearned(Control::NextSong, {0x90, 30});
  const uint32_t before = r.Presses(Control::NextSong);
  Send(r, rec, {0x90, 30, 90});
  Send(r, rec, {0x80, 30, 0});
  Send(r, rec, {0x90, 30, 90});
  EXPECT_EQ(r.Presses(Control::NextSong) - before, 2u);
  EXPECT_EQ(r.Presses(Control::Break), 1u) << "the message that was learned presses nothing";
}

TEST(KeyboardRouter, LearnedKeysAndControlNamesAsKeptInSoundIni) {
  for (int c = 0; c < kControlCount; ++c) EXPECT_EQ(ControlByName(ControlName(static_cast<Control>(c))), static_cast<Control>(c));
  EXPECT_FALSE(ControlByName("Start"));
  EXPECT_EQ(ParseLearnedKey("B9 14"), (LearnedKey{0xB9, 0x14}));
  EXPECT_EQ(ParseLearnedKey(LearnedKeyText({0xC3, 7})), (LearnedKey{0xC3, 7}));
  for (const char* bad : {"", "90", "90 80", "F0 00", "E0 00", "90 3C x", "zz"}) EXPECT_FALSE(ParseLearnedKey(bad)) << bad;
  EXPECT_EQ(LearnedKeyText({}), "");
}

// The inner client (the live arranger) makes the block after the chords of
// the block's messages have been handed on.
class Inner final : public realtime::RealtimeClient {
 public:
  explicit Inner(Recorder& rec) : rec_(rec) {}
  void Process(const realtime::BlockInfo&, realtime::RealtimeEventSink& events) override {
    rec_.log.push_back("inner sees " + std::to_string(events.size()) + " events");
  }

 private:
  Recorder& rec_;
};

TEST(KeyboardClient, EveryInputIsReadIntoTheBlockBeforeTheInnerClientRuns) {
  KeyboardRouter router;
  Recorder rec;
  Inner inner(rec);
  KeyboardClient client(router, rec, &inner);
  test::FakeMidiIn keyboard, other;
  ASSERT_TRUE(client.AddInput(&keyboard));
  ASSERT_TRUE(client.AddInput(&other));
  keyboard.Receive({0x90, 45, 100});  // A2: a chord key
  other.Receive({0x90, 76, 64});      // E5 from a program connected to "Vambrio In"
  realtime::RealtimeEventSink events(64);
  client.Process({0, 64, 48000, 0}, events);
  EXPECT_EQ(rec.Take(), (Log{"chord A1+8", "inner sees 1 events"}));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].offset, 0u);
  EXPECT_EQ(events[0].status(), 0x90);
  EXPECT_EQ(events[0].data()[1], 76);
}

}  // namespace
}  // namespace vambrio::keyboard
