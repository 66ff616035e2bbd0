// The live arranger's song controls: the count-in's clicks before a chart
// (at the chart's tempo), the metronome beside the accompaniment, and
// transpose for every chord, the chart's included.
#include <gtest/gtest.h>

#include <map>

#include "../arranger/arranger_test_support.h"
#include "arranger/chart.h"
#include "arranger/song.h"
#include "fakes/fake_audio_driver.h"
#include "live/live_arranger.h"

namespace vambrio::live {
namespace {

using arranger::test::kBar;
using arranger::test::Sec;
using Kind = LiveCommand::Kind;

constexpr uint8_t kMainNote = 36;

Sec MainBeats() {
  Sec s{"Main A", kBar, {}};
  for (uint32_t beat = 0; beat < 4; ++beat) {
    s.events.push_back({beat * 480, 0x99, kMainNote, 100});
    s.events.push_back({beat * 480 + 100, 0x89, kMainNote, 0});
  }
  return s;
}

// A chart on a one-section style, played live (48 kHz, blocks of 256).
struct ChartRig {
  explicit ChartRig(const std::string& chartText)
      : model(arranger::test::Loaded(arranger::test::StyleOf({MainBeats(), Sec{"Ending A", kBar, {}}}))),
        style(arranger::ReadStylePatterns(model, {})),
        song(std::get<arranger::Song>(arranger::PlanSong(std::get<arranger::Chart>(arranger::ReadChart(chartText)), style))),
        arranger(style, {}),
        player(song, arranger),
        live(arranger, player, 48000),
        driver(live, 256) {}

  void Post(Kind kind, int value = 0) { ASSERT_TRUE(live.Post(Command(kind, value))); }
  // Note ons of channel 10 with `key`, by sample.
  std::vector<int64_t> Hits(uint8_t key) const {
    std::vector<int64_t> at;
    for (const auto& e : driver.synth.applied)
      if (e.bytes.size() == 3 && e.bytes[0] == 0x99 && e.bytes[1] == key && e.bytes[2] > 0) at.push_back(e.sample);
    return at;
  }
  bool ClickSounds() const {
    int on = 0;
    for (const auto& e : driver.synth.applied) {
      if (e.bytes.size() != 3 || (e.bytes[1] != Metronome::kAccentKey && e.bytes[1] != Metronome::kBeatKey)) continue;
      if (e.bytes[0] == 0x99 && e.bytes[2] > 0) ++on;
      if (e.bytes[0] == 0x89 || (e.bytes[0] == 0x99 && e.bytes[2] == 0)) --on;
    }
    return on > 0;
  }

  StyleModel model;
  arranger::StylePatterns style;
  arranger::Song song;
  arranger::Arranger arranger;
  arranger::SongPlayer player;
  LiveArranger live;
  test::FakeAudioDriver driver;
};

// At 60 a minute (480 ticks a quarter at 48 kHz): 100 samples a tick, a beat of 48000.
constexpr int64_t kBeat = 48000;

TEST(LiveSongControls, TwoBarsOfClicksAtTheChartsTempoThenTheSongOnTheBeat) {
  ChartRig rig("tempo 60\n[Main A] C | G7 |");
  rig.driver.RunBlocks(3);
  const int64_t start = rig.driver.SampleTime();
  rig.Post(Kind::Start, 2);
  rig.driver.RunUntil(start + 8 * kBeat - 1000);
  EXPECT_TRUE(rig.live.State().countingIn);
  EXPECT_EQ(rig.live.State().beat, 3u);
  EXPECT_TRUE(rig.Hits(kMainNote).empty()) << "nothing of the song during the count-in";
  rig.driver.RunUntil(start + 10 * kBeat);
  EXPECT_EQ(rig.Hits(Metronome::kAccentKey), (std::vector<int64_t>{start, start + 4 * kBeat}));
  EXPECT_EQ(rig.Hits(Metronome::kBeatKey).size(), 6u);
  ASSERT_FALSE(rig.Hits(kMainNote).empty());
  EXPECT_NEAR(static_cast<double>(rig.Hits(kMainNote).front()), static_cast<double>(start + 8 * kBeat), 1.0);
  EXPECT_FALSE(rig.live.State().countingIn);
  EXPECT_FALSE(rig.ClickSounds()) << "the last click ends when the song begins";
}

TEST(LiveSongControls, TheMetronomeClicksEachBeatWhilePlayingAndStopsWithIt) {
  ChartRig rig("tempo 60\n[Main A] C | C | C | C |");
  rig.Post(Kind::Metronome, 1);
  rig.Post(Kind::Start);
  rig.driver.RunUntil(6 * kBeat + 10);
  EXPECT_TRUE(rig.live.State().metronome);
  EXPECT_EQ(rig.Hits(Metronome::kAccentKey), (std::vector<int64_t>{0, 4 * kBeat}));
  EXPECT_EQ(rig.Hits(Metronome::kBeatKey), (std::vector<int64_t>{kBeat, 2 * kBeat, 3 * kBeat, 5 * kBeat, 6 * kBeat}));
  rig.Post(Kind::Metronome, 0);
  rig.driver.RunUntil(8 * kBeat + 10);
  EXPECT_EQ(rig.Hits(Metronome::kBeatKey).size(), 5u) << "off: no more clicks";
  EXPECT_FALSE(rig.ClickSounds());
  rig.Post(Kind::Metronome, 1);
  rig.driver.RunUntil(9 * kBeat + 10);
  rig.Post(Kind::Stop);
  rig.driver.RunBlocks(2);
  EXPECT_EQ(rig.Hits(Metronome::kBeatKey).back(), 9 * kBeat) << "on again from the next beat of the bar's grid";
  EXPECT_FALSE(rig.ClickSounds()) << "Stop ends the click";
}

TEST(LiveSongControls, TransposeMovesTheChartsChordsAndTheOneInForce) {
  ChartRig rig("tempo 60\n[Main A] C | G7/B | C |");
  rig.Post(Kind::Transpose, 2);
  rig.Post(Kind::Start);
  rig.driver.RunUntil(kBeat);
  EXPECT_EQ(ChordName(rig.live.State().chord), "D");
  EXPECT_EQ(rig.live.State().songChord, rig.player.ChordStep());
  rig.driver.RunUntil(5 * kBeat);
  EXPECT_EQ(ChordName(rig.live.State().chord), "A7/Db");
  rig.Post(Kind::Transpose, -1);
  rig.driver.RunBlocks(1);
  EXPECT_EQ(ChordName(rig.live.State().chord), "F#7/Bb") << "the chord in force moves at once";
  EXPECT_EQ(rig.live.State().transpose, -1);
  LiveCommand pad = Command(Kind::Chord);
  pad.chord = Chord{0, 0, -1};
  ASSERT_TRUE(rig.live.Post(pad));
  rig.driver.RunBlocks(1);
  EXPECT_EQ(ChordName(rig.live.State().chord), "B") << "a chord from the pad or the keyboard moves too";
  rig.Post(Kind::Transpose, 40);
  rig.driver.RunBlocks(1);
  EXPECT_EQ(rig.live.State().transpose, 11) << "kept within -11..11";
}

}  // namespace
}  // namespace vambrio::live
