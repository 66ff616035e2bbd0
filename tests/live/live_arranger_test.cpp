// The arranger played live against a fake audio clock (blocks of 256 frames
// at 48 kHz; 120 a minute, 480 ticks a quarter: 50 samples a tick, a bar of
// 96000 samples): events at their sample, commands in the next block, the
// keyboard's section rules tick-exact, and no note left hanging.
#include "live/live_arranger.h"

#include <gtest/gtest.h>

#include <map>

#include "../arranger/arranger_test_support.h"
#include "arranger/chart.h"
#include "arranger/song.h"
#include "fakes/fake_audio_driver.h"

namespace vambrio::live {
namespace {

using arranger::test::Ev;
using arranger::test::kBar;
using arranger::test::Sec;
using Kind = LiveCommand::Kind;

constexpr int64_t kSamplesPerTick = 50;
constexpr int64_t kBarSamples = kBar * kSamplesPerTick;
constexpr int64_t kBeatSamples = kBarSamples / 4;

// A drum note on each beat; the note number tells the section.
Sec Beats(const std::string& name, uint8_t note, int bars = 1) {
  Sec s{name, static_cast<uint32_t>(bars) * kBar, {}};
  for (uint32_t beat = 0; beat < 4u * static_cast<uint32_t>(bars); ++beat) {
    s.events.push_back({beat * 480, 0x99, note, 100});
    s.events.push_back({beat * 480 + 100, 0x89, note, 0});
  }
  return s;
}

enum Note : uint8_t { kIntro = 35, kMainA = 36, kMainB = 38, kFillAA = 40, kFillBB = 41, kBreak = 42, kEnding = 49 };

struct Rig {
  Rig()
      : model(arranger::test::Loaded(arranger::test::StyleOf(
            {Beats("Intro A", kIntro), Beats("Main A", kMainA), Beats("Main B", kMainB), Beats("Fill In AA", kFillAA),
             Beats("Fill In BB", kFillBB), Beats("Fill In BA", kBreak), Beats("Ending A", kEnding)}))),
        style(arranger::ReadStylePatterns(model, {})),
        arranger(style, {}),
        live(arranger, 48000),
        driver(live, 256) {}

  void Post(Kind kind, int value = 0) { ASSERT_TRUE(live.Post(Command(kind, value))); }
  // Note ons of the drum channel: sample -> note.
  std::map<int64_t, uint8_t> Drums() const {
    std::map<int64_t, uint8_t> hits;
    for (const auto& e : driver.synth.applied)
      if (e.bytes.size() == 3 && e.bytes[0] == 0x99 && e.bytes[2] > 0) hits[e.sample] = e.bytes[1];
    return hits;
  }
  // The notes still sounding at the end: note ons without a later note off
  // or all-notes-off on their channel.
  int Hanging() const {
    std::map<std::pair<int, int>, int> on;
    for (const auto& e : driver.synth.applied) {
      if (e.bytes.size() < 3) continue;
      const int kind = e.bytes[0] >> 4, channel = e.bytes[0] & 15;
      if (kind == 9 && e.bytes[2] > 0) ++on[{channel, e.bytes[1]}];
      if (kind == 8 || (kind == 9 && e.bytes[2] == 0)) on[{channel, e.bytes[1]}] = 0;
      if (kind == 0xB && e.bytes[1] == 123)
        for (auto& [key, count] : on)
          if (key.first == channel) count = 0;
    }
    int hanging = 0;
    for (const auto& [key, count] : on) hanging += count > 0;
    return hanging;
  }

  StyleModel model;
  arranger::StylePatterns style;
  arranger::Arranger arranger;
  LiveArranger live;
  test::FakeAudioDriver driver;
};

TEST(LiveArranger, IntroThenMainEachHitOnItsSample) {
  Rig rig;
  rig.driver.RunBlocks(10);  // the output runs before Start
  const int64_t start = rig.driver.SampleTime();
  rig.Post(Kind::Intro, 0);
  rig.Post(Kind::Start);
  rig.driver.RunUntil(start + 2 * kBarSamples + kBeatSamples - 300);
  std::map<int64_t, uint8_t> expected;
  for (int beat = 0; beat < 9; ++beat) expected[start + beat * kBeatSamples] = beat < 4 ? kIntro : kMainA;
  EXPECT_EQ(rig.Drums(), expected);
  LiveState s = rig.live.State();
  EXPECT_TRUE(s.playing);
  EXPECT_EQ(s.section, rig.live.Buttons().main[0]);
  EXPECT_EQ(s.selectedIntro, -1) << "the Intro plays once";
}

TEST(LiveArranger, AMainChangeWithoutAutoFillLandsOnTheBarLine) {
  Rig rig;
  rig.Post(Kind::AutoFill, 0);
  rig.Post(Kind::Start);
  rig.driver.RunUntil(kBarSamples + kBeatSamples + 1000);  // inside the second bar's second beat
  rig.Post(Kind::Main, 1);
  EXPECT_EQ(rig.live.State().queued, -1) << "a command waits for the next block";
  rig.driver.RunBlocks(1);
  EXPECT_EQ(rig.live.State().queued, rig.live.Buttons().main[1]);
  rig.driver.RunUntil(3 * kBarSamples + 1);
  auto drums = rig.Drums();
  EXPECT_EQ(drums[kBarSamples + 3 * kBeatSamples], kMainA);
  EXPECT_EQ(drums[2 * kBarSamples], kMainB);
  EXPECT_EQ(drums[3 * kBarSamples], kMainB);
}

TEST(LiveArranger, AutoFillPlaysTheTargetsFillFromTheNextBeat) {
  Rig rig;
  rig.Post(Kind::Start);
  rig.driver.RunUntil(kBeatSamples + 1000);  // in beat 2 of bar 1
  rig.Post(Kind::Main, 1);
  rig.driver.RunUntil(kBarSamples + 1);
  auto drums = rig.Drums();
  EXPECT_EQ(drums[kBeatSamples], kMainA);
  EXPECT_EQ(drums[2 * kBeatSamples], kFillBB) << "the fill from the next beat";
  EXPECT_EQ(drums[3 * kBeatSamples], kFillBB);
  EXPECT_EQ(drums[kBarSamples], kMainB) << "the target Main on the bar line";

  // In the last beat of a bar the fill takes the whole next bar. Main A has
  // its own fill.
  rig.driver.RunUntil(kBarSamples + 3 * kBeatSamples + 1000);
  rig.Post(Kind::Main, 0);
  rig.driver.RunUntil(3 * kBarSamples + 1);
  drums = rig.Drums();
  EXPECT_EQ(drums[kBarSamples + 3 * kBeatSamples], kMainB);
  for (int beat = 0; beat < 4; ++beat) EXPECT_EQ(drums[2 * kBarSamples + beat * kBeatSamples], kFillAA);
  EXPECT_EQ(drums[3 * kBarSamples], kMainA);

  // Pressing the playing Main plays its own fill.
  rig.driver.RunUntil(3 * kBarSamples + kBeatSamples / 2);
  rig.Post(Kind::Main, 0);
  rig.driver.RunUntil(4 * kBarSamples + 1);
  drums = rig.Drums();
  EXPECT_EQ(drums[3 * kBarSamples + kBeatSamples], kFillAA);
  EXPECT_EQ(drums[4 * kBarSamples], kMainA);
}

TEST(LiveArranger, BreakIsOneBarThenTheMainAndEndingStopsLeavingNothingHanging) {
  Rig rig;
  rig.Post(Kind::Start);
  rig.driver.RunUntil(kBeatSamples * 2);
  rig.Post(Kind::Break);
  rig.driver.RunUntil(2 * kBarSamples + kBeatSamples);
  rig.Post(Kind::Ending, 0);
  rig.driver.RunUntil(5 * kBarSamples);
  auto drums = rig.Drums();
  EXPECT_EQ(drums[kBarSamples], kBreak);
  EXPECT_EQ(drums[kBarSamples + 3 * kBeatSamples], kBreak);
  EXPECT_EQ(drums[2 * kBarSamples], kMainA);
  EXPECT_EQ(drums[3 * kBarSamples], kEnding);
  EXPECT_EQ(drums.rbegin()->first, 3 * kBarSamples + 3 * kBeatSamples) << "nothing after the Ending";
  EXPECT_FALSE(rig.live.State().playing) << "the Ending stops by itself";
  EXPECT_EQ(rig.Hanging(), 0);
}

TEST(LiveArranger, SyncStartWaitsForTheFirstChordAndStopSilencesAtOnce) {
  Rig rig;
  rig.Post(Kind::SyncStart, 1);
  rig.driver.RunBlocks(50);
  EXPECT_TRUE(rig.Drums().empty());
  EXPECT_TRUE(rig.live.State().syncArmed);
  const int64_t chordAt = rig.driver.SampleTime();
  LiveCommand chord = Command(Kind::Chord);
  chord.chord = Chord{7, 0, -1};
  ASSERT_TRUE(rig.live.Post(chord));
  rig.driver.RunUntil(chordAt + kBeatSamples + 10);
  EXPECT_EQ(rig.Drums().begin()->first, chordAt);
  EXPECT_FALSE(rig.live.State().syncArmed);

  rig.driver.RunUntil(chordAt + kBeatSamples + 30);  // the second beat's note sounds
  const int64_t stopAt = rig.driver.SampleTime();
  rig.Post(Kind::Stop);
  rig.driver.RunBlocks(400);
  EXPECT_EQ(rig.Hanging(), 0);
  EXPECT_EQ(rig.Drums().rbegin()->first, chordAt + kBeatSamples);
  bool offAtStop = false;
  for (const auto& e : rig.driver.synth.applied)
    offAtStop |= e.sample >= stopAt && e.sample < stopAt + 256 && e.bytes[0] == 0x89;
  EXPECT_TRUE(offAtStop) << "the sounding note ends in the block of the Stop";
}

TEST(LiveArranger, ATempoChangeKeepsThePositionAndChangesThePace) {
  Rig rig;
  rig.Post(Kind::Start);
  rig.driver.RunUntil(kBeatSamples + 1000);
  const int64_t changeAt = rig.driver.SampleTime();
  LiveCommand faster = Command(Kind::Tempo);
  faster.tempo = 250000;  // 240 a minute: 25 samples a tick
  ASSERT_TRUE(rig.live.Post(faster));
  rig.driver.RunUntil(kBarSamples);
  auto drums = rig.Drums();
  // Beat 2 (tick 960) was 24000 - 1000 samples ahead at 50 a tick; its rest at 25 a tick.
  const int64_t beat2 = changeAt + (2 * kBeatSamples - changeAt) / 2;
  EXPECT_NEAR(static_cast<double>(std::next(drums.begin(), 2)->first), static_cast<double>(beat2), 25.0);
  EXPECT_EQ(rig.live.State().tempo, 250000u);
}

TEST(LiveArranger, PublishesTheChordInForceFromTheButtonsAndFromAChart) {
  Rig rig;
  EXPECT_FALSE(rig.live.State().hasChord) << "no chord before the first";
  LiveCommand slash = Command(Kind::Chord);
  slash.chord = Chord{5, 0, 9};  // F/A
  ASSERT_TRUE(rig.live.Post(slash));
  rig.driver.RunBlocks(1);
  EXPECT_TRUE(rig.live.State().hasChord);
  EXPECT_EQ(rig.live.State().chord, slash.chord);
  rig.Post(Kind::NoChord);
  rig.driver.RunBlocks(1);
  EXPECT_FALSE(rig.live.State().hasChord);

  // A chart's chords, each from its bar on.
  auto chart = arranger::ReadChart("[Main A] C | Bbm7 | N.C. |");
  auto song = arranger::PlanSong(std::get<arranger::Chart>(chart), rig.style);
  ASSERT_TRUE(std::holds_alternative<arranger::Song>(song));
  arranger::Arranger songArranger(rig.style, {});
  arranger::SongPlayer player(std::get<arranger::Song>(song), songArranger);
  LiveArranger live(songArranger, player, 48000);
  test::FakeAudioDriver driver(live, 256);
  ASSERT_TRUE(live.Post(Command(Kind::Start)));
  std::vector<std::string> chords;
  for (int64_t at : {kBarSamples / 2, kBarSamples + kBarSamples / 2, 2 * kBarSamples + kBarSamples / 2}) {
    driver.RunUntil(at);
    const LiveState s = live.State();
    chords.push_back(s.hasChord ? ChordName(s.chord) : "N.C.");
  }
  EXPECT_EQ(chords, (std::vector<std::string>{"C", "Bbm7", "N.C."}));
}

// The main window's Play: a section by its index at once, repeated or once;
// Repeat turned off in a pass ends it there; sections in turn, each once.
TEST(LiveArranger, PlaysASectionAtOnceRepeatedOnceOrAllInTurn) {
  auto beatsOf = [](const std::map<int64_t, uint8_t>& drums, int bars) {
    std::vector<uint8_t> notes;
    for (int beat = 0; beat < 4 * bars; ++beat) {
      auto at = drums.find(beat * kBeatSamples);
      notes.push_back(at == drums.end() ? 0 : at->second);
    }
    return notes;
  };
  auto play = [](Rig& rig, Kind kind, int section, bool repeat) {
    ASSERT_TRUE(rig.live.Post(Command(kind, section, repeat)));
  };
  {
    Rig once;
    play(once, Kind::PlaySection, 2, false);  // Main B, once: its first beat in the first block
    once.driver.RunUntil(3 * kBarSamples);
    EXPECT_EQ(beatsOf(once.Drums(), 2), (std::vector<uint8_t>{kMainB, kMainB, kMainB, kMainB, 0, 0, 0, 0}));
    EXPECT_FALSE(once.live.State().playing);
    EXPECT_EQ(once.Hanging(), 0);
  }
  {
    Rig repeated;
    play(repeated, Kind::PlaySection, 1, true);
    repeated.driver.RunUntil(kBarSamples + kBeatSamples);  // the second pass, without a gap
    play(repeated, Kind::Repeat, 0, false);
    repeated.driver.RunUntil(kBarSamples + 2 * kBeatSamples);
    EXPECT_EQ(repeated.live.State().bar, 0u) << "the section's bar";
    EXPECT_EQ(repeated.live.State().songBar, 1u) << "the bars since the start";
    play(repeated, Kind::PlaySection, 2, false);  // while playing: from the bar line
    repeated.driver.RunUntil(5 * kBarSamples);
    EXPECT_EQ(beatsOf(repeated.Drums(), 4), (std::vector<uint8_t>{kMainA, kMainA, kMainA, kMainA, kMainA, kMainA, kMainA,
                                                                  kMainA, kMainB, kMainB, kMainB, kMainB, 0, 0, 0, 0}));
    EXPECT_FALSE(repeated.live.State().playing);
  }
  {
    Rig turn;
    play(turn, Kind::PlayInTurn, 4, false);  // Fill In BB, Fill In BA, Ending A, then the end
    turn.driver.RunUntil(4 * kBarSamples);
    std::vector<uint8_t> expected;
    for (uint8_t note : std::initializer_list<uint8_t>{kFillBB, kBreak, kEnding, 0}) expected.insert(expected.end(), 4, note);
    EXPECT_EQ(beatsOf(turn.Drums(), 4), expected);
    EXPECT_FALSE(turn.live.State().playing);
  }
}

}  // namespace
}  // namespace vambrio::live
