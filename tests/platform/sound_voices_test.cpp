// The voice map heard on the private server's null sink: a style's bank-8
// bass through the map sounds as a bass does (a plucked string's upper
// harmonics), and as written (an organ on a General MIDI SoundFont) it does
// not; an articulation played on a helper channel stops with the accompaniment.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <iostream>

#include "live/live_session.h"
#include "loading/entry.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_sequencer.h"
#include "platform/files/voice_choices.h"
#include "realtime/voice_mapping_client.h"
#include "model/error_reporter.h"
#include "sound_test_support.h"
#include "spectrum.h"
#include "bank_eight_live_style.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;
using Kind = live::LiveCommand::Kind;

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
    WriteFile(path, BankEightLiveStyle());
    CollectingErrorReporter errors;
    ASSERT_EQ(vambrio::Entry(style_, path, false, errors).outcome, EntryResult::Outcome::Loaded);
    use_ = voices::GatherVoiceUse(style_);
    ASSERT_TRUE(engine_.WaitLoaded()) << engine_.Problem();
  }

  std::string BassPreset() {
    std::string name;
    engine_.WithRenderingParked([&] {
      fluid_preset_t* preset = fluid_synth_get_channel_preset(engine_.Synth(), kBass);
      name = preset ? fluid_preset_get_name(preset) : "";
    });
    return name;
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
    bassPreset = BassPreset();
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

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  const std::string bytes = Child::Slurp(path);
  return {bytes.begin(), bytes.end()};
}

// The classic Play: FluidSynth's own player plays "Player.tmp" as it is, its
// events mapped on their way to the synthesizer.
TEST_F(SoundVoices, TheClassicPlayMapsThePlayersEventsAndStopLeavesNoHelperNote) {
  const std::string style = dir_.File("bank8.sty"), file = dir_.File("Player.tmp");
  ASSERT_EQ(RunProcess({Cli(), "assemble", style, "Main A", "-o", file}).status, 0);
  const std::vector<uint8_t> before = ReadFileBytes(file);
  platform::FluidSequencer sequencer(engine_);
  sequencer.SetVoices([this](const std::string& soundFont) {
    return platform::MapForSynth(use_, soundFont, platform::VoiceChoices{});
  });
  sequencer.SetFileName(file);
  ASSERT_TRUE(sequencer.Command("open")) << sequencer.LastError();
  ASSERT_TRUE(sequencer.Command("play"));
  for (int i = 0; i < 500 && HelperVoicesOn(engine_) == 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_GT(HelperVoicesOn(engine_), 0);
  EXPECT_EQ(BassPreset(), "Fingered Bass");
  ASSERT_TRUE(sequencer.Command("stop"));
  EXPECT_EQ(HelperVoicesOn(engine_), 0);
  sequencer.Command("close");
  EXPECT_EQ(ReadFileBytes(file), before);
}

// WAV output plays through the map unless --voices written: the bass's
// velocity 50, the top of its "open soft" band, plays loud only through it.
TEST_F(SoundVoices, RenderMapsUnlessAskedToPlayAsWritten) {
  const std::string style = dir_.File("bank8.sty");
  auto render = [&](const std::string& voices) {
    const std::string out = dir_.File(voices + ".wav");
    const ProcessResult r = RunProcess({Cli(), "render", style, "Main A", "-o", out, "--parts", "00100000", "--voices", voices});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string wav = Child::Slurp(out);
    const size_t data = wav.find("data");
    std::vector<int16_t> samples(data == std::string::npos ? 0 : (wav.size() - data - 8) / 2);
    if (!samples.empty()) std::memcpy(samples.data(), wav.data() + data + 8, samples.size() * 2);
    return PeakRms(samples);
  };
  const double mapped = render("gm"), written = render("written");
  EXPECT_GT(mapped, 2 * written) << mapped << " against " << written;
  EXPECT_GT(written, 30.0);
  EXPECT_EQ(RunProcess({Cli(), "render", style, "Main A", "-o", dir_.File("x.wav"), "--voices", "bogus"}).status, 2);
}

}  // namespace
}  // namespace vambrio::test
