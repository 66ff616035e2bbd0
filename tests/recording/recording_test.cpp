// A scripted performance (the arranger's commands and a right hand) played
// against a fake audio clock and recorded: the MIDI file plays back to the
// same messages at the same samples, the chart holds the chords and sections
// as given and reads back, and a recording cut off mid-way is a whole file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

#include "../arranger/arranger_test_support.h"
#include "arranger/chart.h"
#include "arranger/song.h"
#include "fakes/fake_audio_driver.h"
#include "live/live_arranger.h"
#include "midi/midi_file_events.h"
#include "recording/performance.h"
#include "recording/recording_files.h"
#include "temp_dir.h"
#include "voices/voice_map.h"

namespace vambrio::recording {
namespace {

using arranger::test::kBar;
using arranger::test::Sec;
using Kind = live::LiveCommand::Kind;

constexpr int64_t kBarSamples = kBar * 50;  // 120 a minute, 480 ticks a quarter, 48 kHz
constexpr int64_t kBeatSamples = kBarSamples / 4;

Sec Beats(const std::string& name, uint8_t note) {
  Sec s{name, kBar, {}};
  for (uint32_t beat = 0; beat < 4; ++beat) {
    s.events.push_back({beat * 480, 0x99, note, 100});
    s.events.push_back({beat * 480 + 100, 0x89, note, 0});
    s.events.push_back({beat * 480, 0x9B, static_cast<uint8_t>(48 + beat), 80});
    s.events.push_back({beat * 480 + 300, 0x8B, static_cast<uint8_t>(48 + beat), 0});
  }
  std::stable_sort(s.events.begin(), s.events.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });
  return s;
}

// The right hand as the keyboard's client puts it into the blocks.
class Hand final : public realtime::RealtimeClient {
 public:
  struct Step {
    int64_t sample;
    uint8_t status, d1, d2;
  };
  explicit Hand(realtime::RealtimeClient& inner) : inner_(inner) {}
  void Process(const realtime::BlockInfo& b, realtime::RealtimeEventSink& events) override {
    inner_.Process(b, events);
    for (; next_ < script.size() && script[next_].sample < b.sampleTime + b.frames; ++next_) {
      const Step& s = script[next_];
      events.Add(realtime::RealtimeEvent::Short(static_cast<uint32_t>(std::max<int64_t>(0, s.sample - b.sampleTime)),
                                                s.status, s.d1, s.d2));
    }
  }
  std::vector<Step> script;

 private:
  realtime::RealtimeClient& inner_;
  size_t next_ = 0;
};

struct Stage {
  Stage()
      : model(arranger::test::Loaded(arranger::test::StyleOf(
            {Beats("Main A", 36), Beats("Main B", 38), Beats("Fill In AA", 40), Beats("Ending A", 49)}))),
        style(arranger::ReadStylePatterns(model, {})),
        arranger(style, {}),
        live(arranger, 48000),
        hand(live),
        recorder(hand),
        driver(recorder, 256) {
    live.SetMetaTap(&recorder);
  }

  void Post(Kind kind, int value = 0) { ASSERT_TRUE(live.Post(live::Command(kind, value))); }
  void Chord(const char* name) {
    live::LiveCommand c = live::Command(Kind::Chord);
    c.chord = *ParseChord(name);
    ASSERT_TRUE(live.Post(c));
  }
  // Per channel, the channel messages applied, at their samples.
  using Played = std::map<int, std::vector<std::pair<int64_t, std::vector<uint8_t>>>>;
  Played Applied(int64_t from) const {
    Played out;
    for (const auto& e : driver.synth.applied)
      if (e.bytes[0] >= 0x80 && e.bytes[0] < 0xF0) out[e.bytes[0] & 15].push_back({e.sample - from, e.bytes});
    return out;
  }

  // Starts at `start` with C; G7 in bar 2's third beat; Main B from bar 4 (no
  // fill); Am in its last beat; the Ending in bar 6. The right hand meanwhile.
  void Perform(int64_t start) {
    hand.script = {{start + 1000, 0x90, 72, 90},  {start + 5000, 0xE0, 0, 80},    {start + 9000, 0xB0, 64, 127},
                   {start + 20000, 0x80, 72, 0},  {start + 20000, 0x90, 76, 70}, {start + 40000, 0xB0, 64, 0},
                   {start + 40000, 0x80, 76, 0}};
    driver.RunUntil(start);
    recorder.SetRecording(true);
    Post(Kind::AutoFill, 0);
    Chord("C");
    Post(Kind::Start);
    driver.RunUntil(start + kBarSamples + 2 * kBeatSamples - 256);
    Chord("G7");
    driver.RunUntil(start + 2 * kBarSamples + 100);
    Post(Kind::Main, 1);
    driver.RunUntil(start + 3 * kBarSamples + 3 * kBeatSamples - 200);
    Chord("Am");
    driver.RunUntil(start + 4 * kBarSamples + 100);
    Post(Kind::Ending, 0);
  }

  StyleModel model;
  arranger::StylePatterns style;
  arranger::Arranger arranger;
  live::LiveArranger live;
  Hand hand;
  PerformanceRecorder recorder;
  test::FakeAudioDriver driver;
};

TEST(Recording, PlaysBackToTheSameMessagesAtTheSameSamplesAndChartsTheChords) {
  auto stage = std::make_unique<Stage>();
  const int64_t start = 10 * 256;
  stage->driver.RunBlocks(3);  // before recording: not recorded
  stage->Perform(start);
  stage->driver.RunUntil(start + 7 * kBarSamples);
  EXPECT_FALSE(stage->live.State().playing) << "the Ending stopped the accompaniment";

  Performance p;
  p.geometry = PerformanceGeometry::Of(stage->style, "Test");
  stage->recorder.Drain(p.events);
  EXPECT_EQ(stage->recorder.Dropped(), 0u);
  const std::vector<uint8_t> file = PerformanceMidiFile(p);
  ASSERT_GE(file.size(), 14u);
  EXPECT_EQ(file[9], 1) << "format 1";

  const auto events = midi::ReadMidiFileEvents(file);
  ASSERT_TRUE(events);
  Stage::Played played;
  for (const midi::MidiFileEvent& e : events->events) {
    const uint8_t* b = events->Bytes(e);
    if (b[0] < 0x80 || b[0] >= 0xF0) continue;
    played[b[0] & 15].push_back({std::llround(static_cast<double>(e.timeUs) * 48000 / 1e6), {b, b + e.size}});
  }
  const Stage::Played live = stage->Applied(start);
  std::vector<int> channels;
  for (const auto& [channel, messages] : played) channels.push_back(channel);
  EXPECT_EQ(channels, (std::vector<int>{0, 8, 9, 10, 11})) << "the right hand, the setup's channels, the drums, channel 12";
  for (const auto& [channel, messages] : live)
    if (played.count(channel)) EXPECT_EQ(played.at(channel), messages) << "channel " << channel + 1;
    else EXPECT_LE(messages.size(), 3u) << "only let go at the Stop";
  EXPECT_EQ(file[11], 1 + played.size()) << "the conductor track and a track per channel";
  ASSERT_GE(live.at(0).size(), stage->hand.script.size());
  for (size_t i = 0; i < stage->hand.script.size(); ++i) {  // the right hand, where it played
    const Hand::Step& step = stage->hand.script[i];
    EXPECT_EQ(live.at(0)[i], (std::pair<int64_t, std::vector<uint8_t>>{step.sample - start, {step.status, step.d1, step.d2}}));
  }

  const std::string chart = PerformanceChart(p);
  EXPECT_EQ(chart,
            "# Recorded with Test\ntempo 120\n[Main A] C | . . G7 . | .\n[Main B] . . . Am | .\n[Ending A] . |\n");
  auto read = arranger::ReadChart(chart);
  ASSERT_TRUE(std::holds_alternative<arranger::Chart>(read)) << std::get<arranger::ChartError>(read).Text();
  auto song = arranger::PlanSong(std::get<arranger::Chart>(read), stage->style);
  ASSERT_TRUE(std::holds_alternative<arranger::Song>(song));
  EXPECT_EQ(std::get<arranger::Song>(song).bars, 6u);
}

TEST(Recording, ACutOffRecordingIsAWholeFileWithEveryNoteLetGo) {
  auto stage = std::make_unique<Stage>();
  test::TempDir dir;
  const std::string mid = dir.File("take.mid"), chart = dir.File("take.chart");
  RecordingFiles files(stage->recorder, PerformanceGeometry::Of(stage->style, "Test"), mid, chart);
  stage->hand.script = {{kBarSamples + 1000, 0x90, 72, 90}, {kBarSamples + 2000, 0xB0, 64, 127}};
  stage->recorder.SetRecording(true);
  stage->Chord("C");
  stage->Post(Kind::Start);
  stage->driver.RunUntil(kBarSamples + 2 * kBeatSamples - 256);
  stage->Chord("G7");
  stage->driver.RunUntil(kBarSamples + 2 * kBeatSamples + 10000);  // notes of both hands and the pedal held
  ASSERT_TRUE(files.Update(std::chrono::milliseconds(0))) << files.Problem();

  std::ifstream in(mid, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const auto events = midi::ReadMidiFileEvents(bytes);
  ASSERT_TRUE(events);
  std::map<std::pair<int, int>, int> held;
  bool pedal = false;
  for (const midi::MidiFileEvent& e : events->events) {
    const uint8_t* b = events->Bytes(e);
    if ((b[0] >> 4) == 9 && b[2] > 0) ++held[{b[0] & 15, b[1]}];
    if ((b[0] >> 4) == 8 || ((b[0] >> 4) == 9 && b[2] == 0)) --held[{b[0] & 15, b[1]}];
    if (b[0] == 0xB0 && b[1] == 64) pedal = b[2] >= 64;
  }
  for (const auto& [key, count] : held) EXPECT_EQ(count, 0) << "channel " << key.first << " note " << key.second;
  EXPECT_FALSE(pedal);
  EXPECT_GT(held.size(), 3u);
  std::ifstream chartIn(chart);
  const std::string text{std::istreambuf_iterator<char>(chartIn), {}};
  EXPECT_EQ(text, "# Recorded with Test\ntempo 120\n[Main A] C | . . G7 . |\n");

  // A file that cannot be written is said so.
  RecordingFiles nowhere(stage->recorder, PerformanceGeometry::Of(stage->style, "Test"), dir.File("no/take.mid"), "");
  EXPECT_FALSE(nowhere.Finish());
  EXPECT_NE(nowhere.Problem().find("no/take.mid"), std::string::npos);
}

// With a map for a General MIDI player (--voices gm) the file holds the
// stand-in voice; the chart is the same.
TEST(Recording, AMappedRecordingHoldsTheGeneralMidiStandIns) {
  Stage stage;
  test::TempDir dir;
  const std::string mid = dir.File("gm.mid");
  RecordingFiles files(stage.recorder, PerformanceGeometry::Of(stage.style, "Test"), mid, "");
  voices::VoiceMapSettings settings;
  settings.convention = voices::BankConvention::GeneralMidi;
  settings.helpers = voices::HelperChannels::FreeChannelsOf(uint16_t{0});
  files.SetFileMap(std::make_shared<const voices::VoiceMap>(
      voices::StyleVoiceUse{}, std::make_shared<const voices::SoundFontCatalog>(voices::GeneralMidiCatalog()), settings));
  stage.hand.script = {{100, 0xBA, 0, 8}, {100, 0xCA, 17, 0}, {200, 0x9A, 40, 30}, {9000, 0x8A, 40, 0}};  // a bank-8 finger bass
  stage.recorder.SetRecording(true);
  stage.driver.RunUntil(10000);
  ASSERT_TRUE(files.Finish()) << files.Problem();
  std::ifstream in(mid, std::ios::binary);
  const auto events = midi::ReadMidiFileEvents(std::vector<uint8_t>{std::istreambuf_iterator<char>(in), {}});
  ASSERT_TRUE(events);
  std::vector<std::vector<uint8_t>> channel10;
  for (const midi::MidiFileEvent& e : events->events) {
    const uint8_t* b = events->Bytes(e);
    if (b[0] < 0xF0 && (b[0] & 15) == 10) channel10.emplace_back(b, b + (b[0] >> 4 == 0xC ? 2 : 3));
  }
  EXPECT_NE(std::find(channel10.begin(), channel10.end(), std::vector<uint8_t>{0xCA, 33}), channel10.end());
  EXPECT_EQ(std::find(channel10.begin(), channel10.end(), std::vector<uint8_t>{0xCA, 17}), channel10.end());
  EXPECT_EQ(std::find(channel10.begin(), channel10.end(), std::vector<uint8_t>{0xBA, 0, 8}), channel10.end());
}

}  // namespace
}  // namespace vambrio::recording
