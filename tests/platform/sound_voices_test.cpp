// The voice map heard on the private server's null sink: a style's bank-8
// bass through the map sounds as a bass does (a plucked string's upper
// harmonics), and as written (an organ on a General MIDI SoundFont) it does
// not; an articulation played on a helper channel stops with the accompaniment.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <iostream>

#include "live/live_session.h"
#include "loading/entry.h"
#include "platform/fluid_engine.h"
#include "platform/voice_choices.h"
#include "realtime/voice_mapping_client.h"
#include "shell/error_reporter.h"
#include "sound_test_support.h"
#include "spectrum.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;
using Kind = live::LiveCommand::Kind;

constexpr int kBass = 10, kGuitar = 11;  // channels 11 and 12: the Bass and Chord 1 parts
constexpr int kBeat = 480;
constexpr int kBassNote = 36;  // C2, 65.4 Hz

// A chord-rule entry on which the channel plays over every root and chord
// type, its notes as written over C major.
Bytes PlayingEverywhere(int channel, int low, int high) {
  Bytes d(27, 0);
  d[0] = static_cast<uint8_t>(channel);
  d[9] = static_cast<uint8_t>(channel);
  d[11] = 0x0F, d[12] = 0xFF;                 // every root
  d[13] = 0x03, d[14] = d[15] = d[16] = d[17] = 0xFF;  // every chord type
  d[23] = static_cast<uint8_t>(low), d[24] = static_cast<uint8_t>(high);
  Bytes chunk = {'C', 't', 'a', 'b', 0, 0, 0, 27};
  chunk.insert(chunk.end(), d.begin(), d.end());
  return chunk;
}

// Main A: a bank-8 finger bass (MSB 8, program 17) with long low notes in
// its "open soft" band, and a bank-8 clean guitar (program 3) holding a
// chord in its "dead" band, which the map plays on a helper channel.
Bytes BankEightStyle() {
  TrackBuilder t;
  t.TimeSignature(4, 2).Tempo(500000).Marker("SInt");
  for (int ch : {kBass, kGuitar})
    t.ControlChange(ch, 0, 8).ControlChange(ch, 32, 0).ProgramChange(ch, ch == kBass ? 17 : 3).ControlChange(ch, 7, 110);
  t.Marker("Main A").NoteOn(kGuitar, 60, 70).NoteOn(kGuitar, 64, 70);
  for (int half = 0; half < 8; ++half) t.NoteOn(kBass, kBassNote, 50).Delta(2 * kBeat).NoteOff(kBass, kBassNote);
  t.NoteOff(kGuitar, 60).NoteOff(kGuitar, 64).Delta(1).EndOfTrack();
  CasmBuilder casm;
  casm.Group("Main A");
  casm.RawInGroup(PlayingEverywhere(kBass, 24, 60)).RawInGroup(PlayingEverywhere(kGuitar, 48, 84));
  return StyleBytes(t, casm.Build(), kBeat);
}

// Main A over C major.
void Start(live::LiveSession& session) {
  live::LiveCommand chord = live::Command(Kind::Chord);
  chord.chord = Chord{0, 0, -1};
  session.Client().Post(chord);
  session.Client().Post(live::Command(Kind::Start));
}

class SoundVoices : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = dir_.File("bank8.sty");
    WriteFile(path, BankEightStyle());
    CollectingErrorReporter errors;
    ASSERT_EQ(vambrio::Entry(style_, path, false, errors).outcome, EntryResult::Outcome::Loaded);
    use_ = voices::GatherVoiceUse(style_);
    ASSERT_TRUE(engine_.WaitLoaded()) << engine_.Problem();
  }

  // Plays Main A with only the parts in `parts` on, through `map`; the
  // recording of it, and the preset the bass channel played.
  std::vector<int16_t> Play(std::shared_ptr<const voices::VoiceMap> map, std::array<bool, 8> parts, double seconds,
                            std::string& bassPreset) {
    live::SessionChoices choices;
    choices.options.partsOn = parts;
    live::LiveSession session(style_, choices);
    realtime::VoiceMappingClient mapped;
    mapped.Use(&session.Client(), map);
    Recorder rec(dir_.path().string());
    EXPECT_TRUE(engine_.AttachLiveClient(mapped, nullptr, nullptr)) << engine_.Problem();
    Start(session);
    EXPECT_TRUE(rec.WaitForSound(30.0, 20));
    engine_.WithRenderingParked([&] {
      fluid_preset_t* preset = fluid_synth_get_channel_preset(engine_.Synth(), kBass);
      bassPreset = preset ? fluid_preset_get_name(preset) : "";
    });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    session.Client().Post(live::Command(Kind::Stop));
    std::this_thread::sleep_for(100ms);
    engine_.DetachLiveClient();
    std::this_thread::sleep_for(2500ms);  // the monitor's delay
    return rec.Stop();
  }

  std::shared_ptr<const voices::VoiceMap> Map() {
    return platform::MapForSynth(use_, engine_.SoundFontPath(), platform::VoiceChoices{});
  }

  TempDir dir_;
  StyleModel style_ = MakeStartupModel();
  voices::StyleVoiceUse use_;
  platform::FluidEngine engine_{platform::SoundOptions{}};
};

// Where the recording is loud: 2.5 seconds from its first loud tenth.
std::pair<double, double> LoudSpan(const std::vector<int16_t>& s) {
  const double seconds = static_cast<double>(s.size()) / 88200.0;
  double from = 0;
  while (from < seconds && Rms(s, from, from + 0.1) < 30.0) from += 0.1;
  return {from, from + 2.5};
}

TEST_F(SoundVoices, TheBankEightBassPlaysAFingerBassThroughTheMapAndAnOrganAsWritten) {
  const std::array<bool, 8> bassOnly = {false, false, true, false, false, false, false, false};
  std::string mappedPreset, writtenPreset;
  const auto mapped = Play(Map(), bassOnly, 3.0, mappedPreset);
  const auto written = Play(nullptr, bassOnly, 3.0, writtenPreset);
  EXPECT_EQ(mappedPreset, "Fingered Bass");
  EXPECT_EQ(writtenPreset, "Percussive Organ");
  ASSERT_GT(PeakRms(mapped), 300.0) << "the open soft band's velocity 50 plays loud: the top of its band";
  ASSERT_GT(PeakRms(written), 100.0);
  const double f0 = 440.0 * std::pow(2.0, (kBassNote - 69) / 12.0);
  const auto [from, to] = LoudSpan(mapped);
  const auto [writtenFrom, writtenTo] = LoudSpan(written);
  const double centroid = SpectralCentroid(mapped, 44100, from, to);
  EXPECT_LT(centroid, 4 * f0) << "the bass sounds where a bass does";
  std::cout << "C2 through the map: centroid " << centroid << " Hz, upper harmonics "
            << UpperHarmonicShare(mapped, 44100, f0, from, to) << "; as written: centroid "
            << SpectralCentroid(written, 44100, writtenFrom, writtenTo) << " Hz, upper harmonics "
            << UpperHarmonicShare(written, 44100, f0, writtenFrom, writtenTo) << "\n";
}

// Voices sounding (not released) on the helper channels 16..31.
int HelperVoicesOn(platform::FluidEngine& engine) {
  int on = 0;
  engine.WithRenderingParked([&] {
    fluid_voice_t* voices[256];
    fluid_synth_get_voicelist(engine.Synth(), voices, 256, -1);
    for (fluid_voice_t* v : voices) {
      if (!v) break;
      if (fluid_voice_get_channel(v) >= 16 && fluid_voice_is_on(v)) ++on;
    }
  });
  return on;
}

TEST_F(SoundVoices, StopLeavesNoNoteOnAHelperChannel) {
  live::SessionChoices choices;
  live::LiveSession session(style_, choices);
  realtime::VoiceMappingClient mapped;
  mapped.Use(&session.Client(), Map());
  ASSERT_TRUE(engine_.AttachLiveClient(mapped, nullptr, nullptr)) << engine_.Problem();
  Start(session);
  for (int i = 0; i < 500 && HelperVoicesOn(engine_) == 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_GT(HelperVoicesOn(engine_), 0) << "the dead guitar chord plays on a helper channel";
  session.Client().Post(live::Command(Kind::Stop));  // the client stays attached
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(HelperVoicesOn(engine_), 0);
  engine_.DetachLiveClient();
}

}  // namespace
}  // namespace vambrio::test
