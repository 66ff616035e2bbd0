// Once built, the arranger must not allocate: it runs inside an audio
// callback. This program counts every allocation made through operator new.
#include <gtest/gtest.h>

#include "arranger/arranger.h"
#include "arranger/song.h"
#include "arranger_test_support.h"
#include "counting_new.h"
#include "fakes/fake_midi.h"
#include "keyboard/player_keyboard.h"
#include "live/live_arranger.h"
#include "live/live_session.h"
#include "realtime/block_renderer.h"
#include "realtime/voice_mapping_client.h"
#include "recording/performance_recorder.h"
#include "soundfont_writer.h"
#include "voices/voice_map.h"
#include "voices/voice_use.h"

namespace vambrio::arranger::test {
namespace {

// Counts events without keeping them.
class CountingSink final : public midi::EventSink {
 public:
  void Send(const midi::Event&) override { ++count; }
  long count = 0;
};

TEST(ArrangerRealTime, NoAllocationWhilePlaying) {
  const std::vector<Sec> sections = {
      {"Main A", kBar, {{0, 0x99, 36, 100}, {0, 0x9B, 60, 80}, {480, 0x9A, 36, 90}, {900, 0x8A, 36, 0}}},
      {"Fill In AA", kBar, {{0, 0x9C, 64, 90}, {1440, 0x99, 49, 110}}},
      {"Ending A", kBar, {{0, 0x9D, 67, 100}}}};
  const StyleModel model = Loaded(StyleOf(sections));
  const StylePatterns style = ReadStylePatterns(model, {});
  auto chart = ReadChart("tempo 90\n[Main A] C Am | F G7 | % \n[Fill In AA] N.C. |\n[Ending A] C |");
  ASSERT_TRUE(std::holds_alternative<Chart>(chart));
  auto song = PlanSong(std::get<Chart>(chart), style);
  ASSERT_TRUE(std::holds_alternative<Song>(song));
  Arranger arranger(style, {});
  SongPlayer player(std::get<Song>(song), arranger);
  CountingSink out;

  const long before = g_allocations.load();
  arranger.Start(0, out);
  arranger.SetChord(Chord{2, 10, -1}, out);
  for (int64_t t = 0; t < 3 * kBar; t += 64) arranger.AdvanceTo(t, out);  // audio blocks
  arranger.SetPartOn(3, false, out);
  arranger.SetNoChord(out);
  arranger.SetTempo(400000, out);
  arranger.RequestSection(1, 0);
  arranger.StartSectionAt(2, arranger.NextBarLine() + kBar, 0, kStopAtEnd);
  for (int64_t t = 3 * kBar; t < 8 * kBar; t += 64) arranger.AdvanceTo(t, out);
  (void)arranger.Now();
  arranger.Stop(out);
  for (int64_t t = 0; t < 12 * kBar; t += 100) player.AdvanceTo(t, out);
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_TRUE(player.Done());
  EXPECT_GT(out.count, 100);
}

// The live arranger's song controls run in the audio callback too: the
// count-in, the metronome and transpose allocate nothing.
TEST(ArrangerRealTime, NoAllocationInTheCountInMetronomeAndTranspose) {
  const StyleModel model = Loaded(StyleOf({{"Main A", kBar, {{0, 0x9B, 60, 80}, {960, 0x8B, 60, 0}}}}));
  const StylePatterns style = ReadStylePatterns(model, {});
  auto song = PlanSong(std::get<Chart>(ReadChart("[Main A] C | G7 | C |")), style);
  ASSERT_TRUE(std::holds_alternative<Song>(song));
  Arranger arranger(style, {});
  SongPlayer player(std::get<Song>(song), arranger);
  live::LiveArranger live(arranger, player, 48000);
  auto events = std::make_unique<realtime::RealtimeEventSink>();
  int64_t sample = 0;
  auto run = [&](int blocks) {
    for (int b = 0; b < blocks; ++b, sample += 256) {
      events->Reset(256);
      live.Process(realtime::BlockInfo{sample, 256, 48000, 0}, *events);
    }
  };
  const long before = g_allocations.load();
  live.Post(live::Command(live::LiveCommand::Kind::Metronome, 1));
  live.Post(live::Command(live::LiveCommand::Kind::Transpose, 5));
  live.Post(live::Command(live::LiveCommand::Kind::Start, 2));
  run(2000);
  live.Post(live::Command(live::LiveCommand::Kind::Transpose, -3));
  run(2000);
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_TRUE(player.Done());
}

// The whole audio callback as the Arranger window runs it, one block after
// another: the voice map in front of the recorder, the player's keyboard and
// the live arranger, rendered into the synthesizer piece by piece.
class CountingSynth final : public realtime::SynthTarget {
 public:
  void Apply(const realtime::RealtimeEvent&) override { ++applied; }
  void Render(uint32_t, uint32_t frames) override { rendered += frames; }
  long applied = 0;
  long rendered = 0;
};

TEST(ArrangerRealTime, NoAllocationInTheWholeAudioCallback) {
  const StyleModel model = Loaded(StyleOf({{"Main A", kBar, {{0, 0x99, 36, 100}, {0, 0x9B, 60, 80}, {960, 0x8B, 60, 0}}},
                                           {"Fill In AA", kBar, {{0, 0x9C, 64, 90}}}}));
  live::LiveSession session(model, {});
  vambrio::test::FakeMidiIn keys;
  keyboard::PlayerKeyboard keyboard({&keys});
  recording::PerformanceRecorder recorder(session.Client());
  session.Client().SetMetaTap(&recorder);
  recorder.SetInner(keyboard.ClientFor(session.Client(), &recorder));
  recorder.SetRecording(true);
  voices::CatalogResult catalog = voices::ReadSoundFontCatalog(vambrio::test::TinyGmSoundFont(true));
  ASSERT_TRUE(catalog.catalog) << catalog.error;
  realtime::VoiceMappingClient mapping;
  mapping.Use(&recorder, std::make_shared<const voices::VoiceMap>(
                             voices::GatherVoiceUse(model),
                             std::make_shared<voices::SoundFontCatalog>(std::move(*catalog.catalog)),
                             voices::VoiceMapSettings{}));
  auto events = std::make_unique<realtime::RealtimeEventSink>();
  CountingSynth synth;
  int64_t sample = 0;
  auto run = [&](int blocks) {
    for (int b = 0; b < blocks; ++b, sample += 256)
      realtime::RenderBlock(&mapping, realtime::BlockInfo{sample, 256, 48000, 0}, *events, synth);
  };

  const long before = g_allocations.load();
  session.Client().Post(live::Command(live::LiveCommand::Kind::Start, 0));
  run(200);
  keys.Receive({0x90, 36, 90}), keys.Receive({0x90, 40, 90}), keys.Receive({0x90, 43, 90});  // C in the left hand
  keys.Receive({0x90, 72, 100});                                                             // the right hand
  run(400);
  session.Client().Post(live::Command(live::LiveCommand::Kind::Break));
  keys.Receive({0x80, 40, 0}), keys.Receive({0x90, 39, 90}), keys.Receive({0x80, 72, 0});  // Cm
  run(800);
  session.Client().Post(live::Command(live::LiveCommand::Kind::Stop, 0));
  run(100);
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_GT(synth.applied, 50);
  EXPECT_EQ(synth.rendered, sample);
  EXPECT_GE(keyboard.ChordsGiven(), 2u);
}

}  // namespace
}  // namespace vambrio::arranger::test
