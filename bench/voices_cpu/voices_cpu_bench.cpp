// bench_voices_cpu [STYLE [SOUNDFONT]]: a style of bank-8 voices (without STYLE:
// one made here, a finger bass and clean and nylon guitars over drums, with
// velocities across the articulation bands and noise notes) played live for
// a minute of audio, block by block as the audio callback does it: the live
// arranger's events through the voice map (or as written) applied to
// FluidSynth with 32 MIDI channels, which renders each block. Prints the CPU
// time of each way, runs taken in turns, and their ratio against the 1.03
// goal. (bench_voices measures making the map and mapping one note.)
#include <fluidsynth.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "live/live_session.h"
#include "loading/entry.h"
#include "percentile.h"
#include "platform/fluidsynth/fluid_apply.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/files/soundfont.h"
#include "platform/files/voice_choices.h"
#include "realtime/block_renderer.h"
#include "realtime/voice_mapping_client.h"
#include "style_builder.h"

namespace {

using vambrio::bench::Median;

using namespace vambrio;
using Kind = live::LiveCommand::Kind;
constexpr int kRate = 48000, kBlock = 256, kSeconds = 60, kRuns = 5;

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Four bars of Main A: drums, a bank-8 finger bass, a clean and a nylon
// guitar whose velocities walk through their bands, and strum noises.
test::Bytes BankEightStyle() {
  std::mt19937 rng(8);
  test::TrackBuilder t;
  t.TimeSignature(4, 2).Tempo(500000).Marker("SInt");
  t.ControlChange(9, 0, 127).ProgramChange(9, 0);
  const int programs[] = {17, 3, 0};  // channels 11, 12, 13
  for (int i = 0; i < 3; ++i) t.ControlChange(10 + i, 0, 8).ControlChange(10 + i, 32, 0).ProgramChange(10 + i, programs[i]);
  t.Marker("Main A");
  for (int eighth = 0; eighth < 32; ++eighth) {
    const int velocity = 1 + static_cast<int>(rng() % 127);
    t.NoteOn(9, eighth % 4 == 0 ? 36 : 42, 100).NoteOn(10, 36 + static_cast<int>(rng() % 12), velocity);
    for (int note : {60, 64, 67}) t.NoteOn(11, note, velocity).NoteOn(12, note - 12, 128 - velocity);
    if (eighth % 8 == 7) t.NoteOn(11, 96 + static_cast<int>(rng() % 30), 90);
    t.Delta(240);
    t.NoteOff(9, eighth % 4 == 0 ? 36 : 42).NoteOff(10, 36).NoteOff(10, 37).NoteOff(10, 38).NoteOff(10, 39);
    for (int note = 40; note < 48; ++note) t.NoteOff(10, note);
    for (int note : {60, 64, 67}) t.NoteOff(11, note).NoteOff(12, note - 12);
    for (int note = 96; note < 127; ++note) t.NoteOff(11, note);
  }
  t.EndOfTrack();
  test::CasmBuilder casm;
  casm.Group("Main A");
  for (int ch = 9; ch < 13; ++ch) {
    test::Bytes d(27, 0);
    d[0] = d[9] = static_cast<uint8_t>(ch);
    d[11] = 0x0F, d[12] = 0xFF, d[13] = 0x03, d[14] = d[15] = d[16] = d[17] = 0xFF, d[24] = 127;
    test::Bytes chunk = {'C', 't', 'a', 'b', 0, 0, 0, 27};
    chunk.insert(chunk.end(), d.begin(), d.end());
    casm.RawInGroup(chunk);
  }
  return test::StyleBytes(t, casm.Build(), 480);
}

class SynthTarget final : public realtime::SynthTarget {
 public:
  explicit SynthTarget(fluid_synth_t* synth) : synth_(synth) {}
  void Apply(const realtime::RealtimeEvent& e) override { platform::ApplyToSynth(synth_, e.data(), e.size, e.channelGroup); }
  void Render(uint32_t offset, uint32_t frames) override {
    float* outs[2] = {left_ + offset, right_ + offset};
    fluid_synth_process(synth_, static_cast<int>(frames), 0, nullptr, 2, outs);
  }
  void Clear() {
    std::fill(std::begin(left_), std::end(left_), 0.0f);
    std::fill(std::begin(right_), std::end(right_), 0.0f);
  }

 private:
  fluid_synth_t* synth_;
  float left_[kBlock]{}, right_[kBlock]{};
};

// One minute of the style live, chords changing every bar: the CPU seconds
// of the rendering thread.
double PlayMinute(const StyleModel& style, const std::string& font, std::shared_ptr<const voices::VoiceMap> map) {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setstr(settings, "synth.midi-bank-select", "xg");
  fluid_settings_setnum(settings, "synth.sample-rate", kRate);
  fluid_settings_setint(settings, "synth.midi-channels", platform::kSynthChannels);
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_synth_sfload(synth, font.c_str(), 1);
  live::LiveSession session(style, live::SessionChoices{});
  realtime::VoiceMappingClient mapped;
  mapped.Use(&session.Client(), map);
  auto events = std::make_unique<realtime::RealtimeEventSink>();
  SynthTarget target(synth);
  const int roots[] = {0, 5, 7, 9};
  const double start = ThreadCpuSeconds();
  for (int64_t block = 0, sample = 0; sample < int64_t{kSeconds} * kRate; ++block, sample += kBlock) {
    if (sample % (2 * kRate) < kBlock) {  // a chord each bar (2 s at 120 a minute)
      live::LiveCommand chord = live::Command(Kind::Chord);
      chord.chord = Chord{roots[(sample / (2 * kRate)) % 4], 0, -1};
      session.Client().Post(chord);
      if (sample == 0) session.Client().Post(live::Command(Kind::Start));
    }
    target.Clear();
    realtime::RenderBlock(&mapped, realtime::BlockInfo{sample, kBlock, kRate, 0}, *events, target);
  }
  const double cpu = ThreadCpuSeconds() - start;
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  return cpu;
}

}  // namespace

int main(int argc, char** argv) {
  StyleModel style = MakeStartupModel();
  SilentErrorSink errors;
  std::string path = argc > 1 ? argv[1] : "/tmp/bench_voices_cpu_bank8.sty";
  if (argc <= 1) test::WriteFile(path, BankEightStyle());
  if (vambrio::Entry(style, path, false, errors).outcome != EntryResult::Outcome::Loaded) {
    std::fprintf(stderr, "bench_voices_cpu: %s could not be loaded\n", path.c_str());
    return 1;
  }
  const std::string font = platform::FindSoundFont(argc > 2 ? argv[2] : "").path;
  if (font.empty()) {
    std::fprintf(stderr, "bench_voices_cpu: no SoundFont\n");
    return 1;
  }
  const voices::StyleVoiceUse use = voices::GatherVoiceUse(style);
  platform::SoundFontCatalogOf(font);  // read once, as the engines do before they play

  const auto map = platform::MapForSynth(use, font, platform::VoiceChoices{});

  std::vector<double> withMap, written;
  for (int run = 0; run < kRuns; ++run) {
    withMap.push_back(PlayMinute(style, font, map));
    written.push_back(PlayMinute(style, font, nullptr));
  }
  std::printf("%s on %s, %d s of audio in blocks of %d frames at %d Hz, %d runs each in turns:\n", path.c_str(),
              font.c_str(), kSeconds, kBlock, kRate, kRuns);
  std::printf("  through the voice map: %.3f s CPU (median)\n", Median(withMap));
  std::printf("  as written:            %.3f s CPU (median)\n", Median(written));
  std::printf("  ratio: %.3f (goal <= 1.03)\n", Median(withMap) / Median(written));

  return 0;
}
