// bench_recording [RUNS]: the CPU time recording costs beside live playback.
// The demo chart is played with the demo style as the audio callback plays
// it (blocks of 256 frames at 48 kHz, the live arranger's events applied at
// their frames, FluidSynth rendering the block), on this thread without an
// audio device. Each run is played twice in turns, once plain and once with
// the recorder between the client and the synthesizer (its ring drained
// every 20 ms of music, as the command line does, and the MIDI file and
// chart written at the end). Prints the thread CPU time of both, and the
// recorder's own share measured apart: the same blocks replayed into it
// without the arranger or the synthesizer, against the goal of 2 %.
#include <fluidsynth.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "live/live_session.h"
#include "loading/entry.h"
#include "platform/files/soundfont.h"
#include "realtime/block_renderer.h"
#include "recording/performance.h"
#include "model/error_reporter.h"

namespace {

using namespace vambrio;
constexpr int kFrames = 256;
constexpr int kRate = 48000;

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

class FluidTarget final : public realtime::SynthTarget {
 public:
  explicit FluidTarget(fluid_synth_t* synth) : synth_(synth), left_(kFrames), right_(kFrames) {}
  void Apply(const realtime::RealtimeEvent& e) override {
    const uint8_t* b = e.data();
    const int ch = b[0] & 0x0F;
    switch (b[0] >> 4) {
      case 0x8: fluid_synth_noteoff(synth_, ch, b[1]); break;
      case 0x9: b[2] ? fluid_synth_noteon(synth_, ch, b[1], b[2]) : fluid_synth_noteoff(synth_, ch, b[1]); break;
      case 0xB: fluid_synth_cc(synth_, ch, b[1], b[2]); break;
      case 0xC: fluid_synth_program_change(synth_, ch, b[1]); break;
      case 0xE: fluid_synth_pitch_bend(synth_, ch, b[1] | (b[2] << 7)); break;
      default: break;
    }
  }
  void Render(uint32_t offset, uint32_t frames) override {
    fluid_synth_write_float(synth_, static_cast<int>(frames), left_.data(), static_cast<int>(offset), 1, right_.data(),
                            static_cast<int>(offset), 1);
  }

 private:
  fluid_synth_t* synth_;
  std::vector<float> left_, right_;
};

// The blocks a run produced, to be replayed into the recorder alone.
class Replay final : public realtime::RealtimeClient {
 public:
  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override {
    const size_t i = static_cast<size_t>(block.sampleTime / kFrames);
    if (i < blocks.size())
      for (const auto& e : blocks[i]) events.Add(e);
  }
  std::vector<std::vector<realtime::RealtimeEvent>> blocks;
};

class Capture final : public realtime::RealtimeClient {
 public:
  explicit Capture(realtime::RealtimeClient& inner, Replay& into) : inner_(inner), into_(into) {}
  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override {
    inner_.Process(block, events);
    into_.blocks.emplace_back(events.begin(), events.end());
  }

 private:
  realtime::RealtimeClient& inner_;
  Replay& into_;
};

struct Run {
  double seconds = 0;
  size_t events = 0;
};

const std::string kStyle = VAMBRIO_SOURCE_DIR "/examples/Demo.sty";
const std::string kChart = VAMBRIO_SOURCE_DIR "/examples/Demo.chart";

// Plays the chart to its end; with a recorder when `record`, capturing the
// blocks into `capture` when given.
Run Play(const StyleModel& m, const std::string& chart, fluid_synth_t* synth, bool record, Replay* capture) {
  live::SessionChoices choices;
  choices.sampleRate = kRate;
  auto made = live::LiveSession::ForChart(m, choices, chart);
  auto& session = *std::get<std::unique_ptr<live::LiveSession>>(made);
  live::LiveArranger& client = session.Client();
  std::unique_ptr<Capture> capturing;
  realtime::RealtimeClient* outer = &client;
  if (capture) outer = (capturing = std::make_unique<Capture>(client, *capture)).get();
  std::unique_ptr<recording::PerformanceRecorder> recorder;
  recording::Performance performance;
  if (record) {
    recorder = std::make_unique<recording::PerformanceRecorder>(*outer);
    client.SetMetaTap(recorder.get());
    recorder->SetRecording(true);
    outer = recorder.get();
    performance.geometry = recording::PerformanceGeometry::Of(session.Patterns(), "Demo");
  }
  fluid_synth_system_reset(synth);
  FluidTarget target(synth);
  realtime::RealtimeEventSink sink;
  client.Post(live::Command(live::LiveCommand::Kind::Start));
  const double begin = ThreadSeconds();
  bool started = false;
  for (int64_t block = 0;; ++block) {
    realtime::RenderBlock(outer, realtime::BlockInfo{block * kFrames, kFrames, kRate, 0}, sink, target);
    if (recorder && block % 4 == 0) recorder->Drain(performance.events);
    const bool playing = client.State().playing;
    started = started || playing;
    if (started && !playing) break;
  }
  if (recorder) {
    recorder->Drain(performance.events);
    volatile size_t bytes = recording::PerformanceMidiFile(performance).size() + recording::PerformanceChart(performance).size();
    (void)bytes;
  }
  return {ThreadSeconds() - begin, performance.events.size()};
}

// The recorder alone over the replayed blocks, less the replay itself.
double RecorderAlone(Replay& replay, const recording::PerformanceGeometry& g) {
  realtime::RealtimeEventSink sink;
  auto time = [&](bool record) {
    recording::PerformanceRecorder recorder(replay);
    recorder.SetRecording(true);
    recording::Performance p;
    p.geometry = g;
    const double begin = ThreadSeconds();
    for (size_t block = 0; block < replay.blocks.size(); ++block) {
      const realtime::BlockInfo info{static_cast<int64_t>(block) * kFrames, kFrames, kRate, 0};
      sink.Reset(kFrames);
      if (record) recorder.Process(info, sink);
      else replay.Process(info, sink);
      if (record && block % 4 == 0) recorder.Drain(p.events);
    }
    if (record) {
      recorder.Drain(p.events);
      volatile size_t bytes = recording::PerformanceMidiFile(p).size();
      (void)bytes;
    }
    return ThreadSeconds() - begin;
  };
  double with = 1e9, without = 1e9;
  for (int i = 0; i < 5; ++i) {
    with = std::min(with, time(true));
    without = std::min(without, time(false));
  }
  return std::max(0.0, with - without);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter errors;
  if (Entry(m, kStyle, false, errors).outcome != EntryResult::Outcome::Loaded) {
    std::printf("not measured: %s does not load\n", kStyle.c_str());
    return 1;
  }
  std::ifstream in(kChart);
  std::stringstream chart;
  chart << in.rdbuf();
  const auto font = platform::FindSoundFont("");
  if (font.path.empty()) {
    std::printf("not measured: no SoundFont\n");
    return 1;
  }
  for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", kRate);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (fluid_synth_sfload(synth, font.path.c_str(), 1) < 0) {
    std::printf("not measured: %s does not load\n", font.path.c_str());
    return 1;
  }
  Replay replay;
  Play(m, chart.str(), synth, false, &replay);
  const double music = static_cast<double>(replay.blocks.size()) * kFrames / kRate;
  double plain = 1e9, recorded = 1e9;
  size_t events = 0;
  for (int i = 0; i < runs; ++i) {
    plain = std::min(plain, Play(m, chart.str(), synth, false, nullptr).seconds);
    const Run r = Play(m, chart.str(), synth, true, nullptr);
    recorded = std::min(recorded, r.seconds);
    events = r.events;
  }
  live::SessionChoices choices;
  auto made = live::LiveSession::ForChart(m, choices, chart.str());
  const auto g = recording::PerformanceGeometry::Of(std::get<std::unique_ptr<live::LiveSession>>(made)->Patterns(), "Demo");
  const double alone = RecorderAlone(replay, g);
  std::printf("bench_recording: the demo chart, %.1f s of music, %zu events recorded, best of %d runs\n", music, events,
              runs);
  std::printf("  live playback, plain          %8.1f ms CPU\n", plain * 1e3);
  std::printf("  live playback, recording      %8.1f ms CPU  (%+.2f %%)\n", recorded * 1e3,
              100.0 * (recorded - plain) / plain);
  std::printf("  the recorder alone            %8.2f ms CPU  = %.3f %% of live playback (goal: at most 2 %%)\n",
              alone * 1e3, 100.0 * alone / plain);
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) == 3) std::printf("  load average (1, 5, 15 min)  %.2f %.2f %.2f\n", load[0], load[1], load[2]);
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  return 0;
}
