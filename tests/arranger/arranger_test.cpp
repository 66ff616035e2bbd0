#include "arranger/arranger.h"

#include <gtest/gtest.h>

#include <random>

#include "arranger_test_support.h"
#include "midi/midi_bytes.h"
#include "rule_entry.h"
#include "typical_styles.h"

namespace vambrio::arranger::test {
namespace {

using Notes = std::vector<std::tuple<int64_t, int, int, int>>;

// Main A: one bar (drums, bass, a chord note held to the bar's end); Main B:
// two bars; a one-bar fill; a two-bar ending.
const std::vector<Sec> kSections = {
    {"Main A", kBar, {{0, 0x99, 36, 100}, {0, 0x9A, 36, 90}, {240, 0x89, 36, 0}, {480, 0x9B, 60, 80},
                      {960, 0x99, 38, 100}, {960, 0x8A, 36, 0}, {1200, 0x89, 38, 0}, {kBar, 0x8B, 60, 0}}},
    {"Main B", 2 * kBar, {{0, 0x99, 42, 70}, {100, 0x89, 42, 0}, {kBar, 0x9A, 43, 90}, {kBar + 400, 0x8A, 43, 0}}},
    {"Fill In AA", kBar, {{0, 0x99, 47, 90}, {100, 0x89, 47, 0}, {1440, 0x99, 49, 110}, {1500, 0x89, 49, 0}}},
    {"Ending A", 2 * kBar, {{0, 0x9A, 36, 100}, {kBar, 0x9B, 60, 90}}},  // notes ended by the section's end
};

struct Rig {
  explicit Rig(const std::vector<Sec>& sections = kSections, SetupChoices choices = {}, ArrangerOptions options = {})
      : model(Loaded(StyleOf(sections))), style(ReadStylePatterns(model, choices)), arranger(style, options) {}
  void StartAt(const char* section) {
    arranger.Start(style.Find(section), out);
    arranger.SetChord(Chord{}, out);
  }
  StyleModel model;
  StylePatterns style;
  Arranger arranger;
  Recorder out;
};

TEST(Arranger, MainLoopsSeamlesslyToTheTick) {
  Rig rig;
  rig.StartAt("Main A");
  rig.arranger.AdvanceTo(4 * kBar, rig.out);
  const Notes all = rig.out.NoteOns();
  const Notes first = rig.out.NoteOns(0, kBar);
  ASSERT_EQ(first.size(), 4u);
  ASSERT_EQ(all.size(), 4 * first.size());
  for (size_t k = 0; k < 4; ++k)
    for (size_t i = 0; i < first.size(); ++i) {
      auto shifted = first[i];
      std::get<0>(shifted) += static_cast<int64_t>(k * kBar);
      EXPECT_EQ(all[k * first.size() + i], shifted) << "pass " << k;
    }
  EXPECT_EQ(rig.arranger.Now().bar, 0u);
  rig.arranger.Stop(rig.out);
  EXPECT_EQ(rig.out.Hanging(), "");
}

TEST(Arranger, StartSendsTempoSetupAndDrumSetupAtTheStart) {
  Rig rig({kSections[0]}, SetupChoices{false, true});
  rig.StartAt("Main A");
  std::vector<std::vector<uint8_t>> head;
  for (const Sent& e : rig.out.events) {
    if (e.tick > 0 || e.status == 0xFF) continue;
    if (e.status >= 0xF0) head.push_back({e.status});
    else head.push_back({e.status, e.data[0]});
    if (head.size() == 8) break;
  }
  // XG System On, the program change (the setup's sysex left out, its note
  // dropped), then the drum setup of channels 10 and 9.
  const std::vector<std::vector<uint8_t>> want = {{0xF0}, {0xCA, 33}, {0xB9, 0}, {0xB9, 32}, {0xC9, 0},
                                                  {0xB8, 0}, {0xB8, 32}, {0xC8, 0}};
  EXPECT_EQ(head, want);
  ASSERT_FALSE(rig.out.Meta(midi::meta::kTempo).empty());
  EXPECT_EQ(rig.out.events.front().metaType, midi::meta::kTempo);
  EXPECT_EQ(rig.out.Meta(midi::meta::kMarker).front().Text(), "Main A");
  EXPECT_EQ(rig.out.Meta(midi::meta::kTimeSignature).size(), 1u);
}

TEST(Arranger, RequestTakesEffectAtTheNextBarLine) {
  Rig rig;
  rig.StartAt("Main A");
  rig.arranger.AdvanceTo(kBar + 500, rig.out);  // inside the second pass, the chord note sounding
  rig.arranger.RequestSection(rig.style.Find("Main B"));
  EXPECT_EQ(rig.arranger.Now().queued, rig.style.Find("Main B"));
  rig.arranger.AdvanceTo(6 * kBar, rig.out);
  const auto markers = rig.out.Meta(midi::meta::kMarker);
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[1].tick, 2 * kBar);
  EXPECT_EQ(markers[1].Text(), "Main B");
  const Notes b = rig.out.NoteOns(2 * kBar);
  ASSERT_FALSE(b.empty());
  EXPECT_EQ(b.front(), std::make_tuple(int64_t{2 * kBar}, 9, 42, 70));
  EXPECT_EQ(rig.arranger.Now().section, rig.style.Find("Main B"));
  rig.arranger.Stop(rig.out);
  EXPECT_EQ(rig.out.Hanging(), "");
}

TEST(Arranger, FillFromABeatThenMainAndEndingThatStops) {
  Rig rig;
  rig.StartAt("Main A");
  rig.arranger.AdvanceTo(kBar + 700, rig.out);
  const int64_t beat = rig.arranger.NextBeat();
  ASSERT_EQ(beat, kBar + 960);
  rig.arranger.StartSectionAt(rig.style.Find("Fill In AA"), beat, 960, rig.style.Find("Main B"));
  rig.arranger.AdvanceTo(3 * kBar, rig.out);
  // The fill's last beat only, then Main B on the bar line.
  EXPECT_EQ(rig.out.NoteOns(kBar + 960, 2 * kBar), (Notes{{kBar + 1440, 9, 49, 110}}));
  EXPECT_EQ(rig.out.NoteOns(2 * kBar, 3 * kBar).front(), std::make_tuple(int64_t{2 * kBar}, 9, 42, 70));

  rig.arranger.StartSectionAt(rig.style.Find("Ending A"), 4 * kBar, 0, kStopAtEnd);
  rig.arranger.AdvanceTo(10 * kBar, rig.out);
  EXPECT_FALSE(rig.arranger.Playing());
  const Sent& last = rig.out.events.back();
  EXPECT_EQ(last.tick, 6 * kBar);  // the ending's two bars, then the reset
  EXPECT_EQ(last.status, 0xBF);
  EXPECT_EQ(last.data[0], 0x7B);
  EXPECT_EQ(rig.out.Hanging(), "");
}

TEST(Arranger, MutesNoChordTempoAndStopActAtOnce) {
  Rig rig;
  rig.StartAt("Main A");
  rig.arranger.AdvanceTo(600, rig.out);  // bass and chord note sounding
  rig.arranger.SetPartOn(2, false, rig.out);  // "Bass"
  EXPECT_EQ(rig.out.events.back().tick, 600);
  EXPECT_TRUE(rig.out.events.back().IsNoteOff());
  EXPECT_EQ(rig.out.events.back().status & 15, 10);
  rig.arranger.AdvanceTo(kBar + 10, rig.out);
  EXPECT_EQ(rig.out.NoteOns(kBar, kBar + 10), (Notes{{kBar, 9, 36, 100}}));  // no bass in the next pass

  rig.arranger.SetNoChord(rig.out);  // drums go on, nothing else
  rig.arranger.AdvanceTo(2 * kBar + 10, rig.out);
  for (const auto& n : rig.out.NoteOns(kBar + 10)) EXPECT_EQ(std::get<1>(n), 9);
  EXPECT_EQ(rig.out.Meta(midi::meta::kText).back().Text(), "N.C.");
  rig.arranger.SetPartOn(2, true, rig.out);
  rig.arranger.SetChord(Chord{7, 19, -1}, rig.out);
  EXPECT_EQ(rig.out.Meta(midi::meta::kText).back().Text(), "G7");

  rig.arranger.SetTempo(400000, rig.out);
  const Sent tempo = rig.out.Meta(midi::meta::kTempo).back();
  EXPECT_EQ(tempo.tick, 2 * kBar + 10);
  EXPECT_EQ(tempo.data, (std::vector<uint8_t>{0x06, 0x1A, 0x80}));

  rig.arranger.AdvanceTo(3 * kBar + 600, rig.out);
  rig.arranger.Stop(rig.out);
  size_t resets = 0;
  for (const Sent& e : rig.out.events)
    if (e.tick == 3 * kBar + 600 && (e.status >> 4) == 0xB) ++resets;
  EXPECT_EQ(resets, 48u);
  const size_t count = rig.out.events.size();
  rig.arranger.AdvanceTo(10 * kBar, rig.out);
  EXPECT_EQ(rig.out.events.size(), count);
  EXPECT_EQ(rig.out.Hanging(), "");
}

TEST(StylePatterns, SectionsAreWholeBars) {
  const std::vector<Sec> sections = {{"Main A", kBar + 60, {{0, 0x99, 36, 100}, {kBar + 30, 0x89, 36, 0}}},
                                     {"Main B", kBar + 480, {{kBar + 100, 0x99, 38, 100}}},
                                     {"Main C", 200, {}}};
  StyleModel m = Loaded(StyleOf(sections));
  StylePatterns p = ReadStylePatterns(m, {});
  ASSERT_EQ(p.sections.size(), 3u);
  EXPECT_EQ(p.barLength, kBar);
  EXPECT_EQ(p.sections[0].bars, 1u);  // slack of less than a sixteenth dropped...
  ASSERT_EQ(p.sections[0].events.size(), 2u);
  EXPECT_EQ(p.sections[0].events[1].tick, kBar);  // ...its note off at the section's end
  EXPECT_EQ(p.sections[1].bars, 2u);  // a longer remainder is filled up to the bar line
  EXPECT_EQ(p.sections[2].bars, 1u);  // at least one bar
  EXPECT_EQ(p.tempo, 500000u);
}

}  // namespace
}  // namespace vambrio::arranger::test

namespace vambrio::arranger::test {
namespace {

// Collection-like styles (sections of any length, notes across their ends)
// under a random stream of commands: events stay in order and every note on
// gets its note off.
TEST(Arranger, NoHangingNoteUnderAnyCommands) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    // Without their chord rules (written for the classic major/minor switches
    // alone, they would silence every channel on most chords) the styles take
    // the defaults, on which every part plays and follows every chord.
    Bytes bytes = vambrio::test::TypicalStyle(seed, 20000);
    bytes.resize(22 + (size_t{bytes[18]} << 24 | size_t{bytes[19]} << 16 | size_t{bytes[20]} << 8 | bytes[21]));
    StyleModel model = Loaded(bytes);
    const StylePatterns style = ReadStylePatterns(model, {});
    Arranger arranger(style, {});
    Recorder out;
    std::mt19937 rng(seed);
    const int sections = static_cast<int>(style.sections.size());
    arranger.Start(static_cast<int>(rng() % sections), out);
    int64_t t = 0;
    for (int step = 0; step < 300; ++step) {
      t += rng() % 900;
      arranger.AdvanceTo(t, out);
      switch (rng() % 7) {
        case 0: arranger.RequestSection(static_cast<int>(rng() % sections)); break;
        case 1: arranger.StartSectionAt(static_cast<int>(rng() % sections), arranger.NextBeat(), rng() % 4000,
                                        static_cast<int>(rng() % sections)); break;
        case 2: arranger.SetNoChord(out); break;
        case 3: arranger.SetPartOn(static_cast<int>(rng() % 8), rng() % 2 == 0, out); break;
        case 4: arranger.SetTempo(300000 + rng() % 400000, out); break;
        default: arranger.SetChord(Chord{static_cast<int>(rng() % 12), static_cast<int>(rng() % 34), -1}, out);
      }
    }
    arranger.Stop(out);
    EXPECT_EQ(out.Hanging(), "") << "seed " << seed;
    EXPECT_GT(out.NoteOns().size(), 20u) << "seed " << seed;
  }
}

}  // namespace
}  // namespace vambrio::arranger::test

namespace vambrio::arranger::test {
namespace {

// A bass note held through the bar while the chord changes on beat 2: what
// the note does follows the channel's retrigger rule.
TEST(Arranger, ChordChangeMidBarFollowsEachRetriggerRule) {
  const struct {
    Rtr rtr;
    Chord to;
    std::vector<std::vector<uint8_t>> at480;  // status, note, velocity of what is sent on beat 2
  } cases[] = {
      {Rtr::Stop, {2, 0, -1}, {{0x8A, 36, 0}}},
      {Rtr::PitchShift, {2, 0, -1}, {{0x8A, 36, 0}, {0x9A, 38, 99}}},
      {Rtr::PitchShiftToRoot, {2, 0, -1}, {{0x8A, 36, 0}, {0x9A, 38, 99}}},
      {Rtr::Retrigger, {2, 0, -1}, {{0x8A, 36, 0}, {0x9A, 38, 99}}},
      {Rtr::RetriggerToRoot, {2, 0, -1}, {{0x8A, 36, 0}, {0x9A, 38, 99}}},
      {Rtr::NoteGenerator, {2, 0, -1}, {{0x8A, 36, 0}, {0x9A, 38, 99}}},
      {Rtr::PitchShift, {0, 8, -1}, {}},                              // Cm: the root stays, the note rings on
      {Rtr::Retrigger, {0, 8, -1}, {{0x8A, 36, 0}, {0x9A, 36, 99}}},  // struck again
  };
  for (const auto& c : cases) {
    vambrio::test::RuleEntry bass;
    bass.channel = 10;
    bass.dest = 10;
    bass.range.rtr = static_cast<int>(c.rtr);
    const Bytes casm = vambrio::test::CasmBuilder().Group("Main A").RawInGroup(vambrio::test::CtabChunk(bass)).Build();
    StyleModel model = Loaded(StyleOf({{"Main A", kBar, {{0, 0x9A, 36, 99}, {1900, 0x8A, 36, 0}}}}, casm));
    const StylePatterns style = ReadStylePatterns(model, {});
    Arranger arranger(style, {});
    Recorder out;
    arranger.Start(0, out);
    arranger.SetChord(Chord{0, 0, -1}, out);
    arranger.AdvanceTo(480, out);
    const size_t before = out.events.size();
    arranger.SetChord(c.to, out);
    std::vector<std::vector<uint8_t>> sent;
    for (size_t i = before; i < out.events.size(); ++i)
      if (out.events[i].status != 0xFF) sent.push_back({out.events[i].status, out.events[i].data[0], out.events[i].data[1]});
    EXPECT_EQ(sent, c.at480) << "rule " << static_cast<int>(c.rtr) << " to " << c.to.root << "/" << c.to.type;
    arranger.AdvanceTo(kBar, out);
    arranger.Stop(out);
    EXPECT_EQ(out.Hanging(), "");
  }
}

// A channel silent on a chord type: its sounding note ends at the change to
// that type and it starts again with the next chord it plays on.
TEST(Arranger, ChordTypeSwitchesSilenceAChannelAtOnce) {
  vambrio::test::RuleEntry pad;
  pad.channel = 13;
  pad.dest = 13;
  pad.chordMute = 1;  // major chords only
  const Bytes casm = vambrio::test::CasmBuilder().Group("Main A").RawInGroup(vambrio::test::CtabChunk(pad)).Build();
  StyleModel model = Loaded(StyleOf({{"Main A", kBar, {{0, 0x9D, 60, 70}, {960, 0x9D, 64, 70}, {1900, 0x8D, 60, 0},
                                                       {1900, 0x8D, 64, 0}}}},
                                    casm));
  const StylePatterns style = ReadStylePatterns(model, {});
  Arranger arranger(style, {});
  Recorder out;
  arranger.Start(0, out);
  arranger.SetChord(Chord{0, 0, -1}, out);
  arranger.AdvanceTo(480, out);
  arranger.SetChord(Chord{9, 8, -1}, out);  // Am
  EXPECT_TRUE(out.events.back().IsNoteOff());
  arranger.AdvanceTo(kBar, out);
  EXPECT_EQ(out.NoteOns(480, kBar).size(), 0u);
  arranger.SetChord(Chord{5, 0, -1}, out);  // F
  arranger.AdvanceTo(2 * kBar, out);
  EXPECT_EQ(out.NoteOns(kBar, 2 * kBar).size(), 2u);
  arranger.Stop(out);
  EXPECT_EQ(out.Hanging(), "");
}

// A drum channel keeps its notes but obeys its switches: it plays before the
// first chord and on N.C., and with a chord only on the types it allows.
TEST(Arranger, DrumChannelPlaysAloneWithoutAChordAndObeysItsSwitches) {
  vambrio::test::RuleEntry crash;
  crash.channel = 9;
  crash.dest = 9;
  crash.chordMute = 1;  // major chords only
  const Bytes casm = vambrio::test::CasmBuilder().Group("Main A").RawInGroup(vambrio::test::CtabChunk(crash)).Build();
  StyleModel model = Loaded(StyleOf({{"Main A", kBar, {{0, 0x99, 49, 100}, {100, 0x89, 49, 0}}}}, casm));
  const StylePatterns style = ReadStylePatterns(model, {});
  Arranger arranger(style, {});
  Recorder out;
  arranger.Start(0, out);
  arranger.AdvanceTo(kBar, out);  // no chord yet
  arranger.SetChord(Chord{9, 8, -1}, out);  // Am: not allowed
  arranger.AdvanceTo(2 * kBar, out);
  arranger.SetChord(Chord{7, 0, -1}, out);  // G: allowed, never transposed
  arranger.AdvanceTo(3 * kBar, out);
  arranger.SetNoChord(out);
  arranger.AdvanceTo(4 * kBar, out);
  ASSERT_EQ(out.NoteOns(0, kBar).size(), 1u);
  EXPECT_EQ(out.NoteOns(kBar, 2 * kBar).size(), 0u);
  const auto onG = out.NoteOns(2 * kBar, 3 * kBar);
  ASSERT_EQ(onG.size(), 1u);
  EXPECT_EQ(std::get<2>(onG[0]), 49);
  EXPECT_EQ(out.NoteOns(3 * kBar, 4 * kBar).size(), 1u);
  arranger.Stop(out);
  EXPECT_EQ(out.Hanging(), "");
}

}  // namespace
}  // namespace vambrio::arranger::test
