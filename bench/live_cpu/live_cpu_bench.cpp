// bench_live_cpu [STYLE CHART [RUNS]]: what the arranger costs when it plays a
// chord chart live. Process CPU time (user + system) of `vambrio-cli arrange
// STYLE CHART` (live, the normal latency) against `fluidsynth -ni` playing
// the MIDI file `vambrio-cli arrange -o` exports from the same chart, with
// the same SoundFont, sample rate, audio buffer and bank-select mode, both
// into the null sink of a private PulseAudio server.
//
// Both programs also load the SoundFont, open the output and close it, and
// each lets the end of the song sound out in its own way; so each is run
// on the chart and on a chart of one bar, and the difference is the CPU the
// song's remaining musical length costs. Goal: that difference at most 1.10
// x fluidsynth's. The whole runs are printed too.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_server.h"
#include "platform/files/soundfont.h"
#include "realtime/audio_latency.h"

namespace vb = vambrio::bench;
namespace rt = vambrio::realtime;

namespace {

std::string LoadAverage() {
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) != 3) return "unknown";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
  return text;
}

void Print(const char* who, const vb::RunFigures& f) {
  std::printf("    %-26s %7.3f s CPU in %6.2f s (%.1f %% of a core)\n", who, f.cpuSeconds, f.wallSeconds,
              100.0 * f.cpuSeconds / f.wallSeconds);
}

// The least CPU of `runs` runs of each program on one chart.
struct Pair {
  vb::RunFigures live, player;
  std::string song;  // what the export says of it: bars and length
  std::string failed;
};

Pair Measure(const std::string& style, const std::string& chart, const std::string& midi, const std::string& font,
             int runs) {
  Pair p;
  const vb::RunFigures exported = vb::RunMeasured({VAMBRIO_CLI, "arrange", style, chart, "-o", midi});
  if (exported.status != 0) {
    p.failed = "the export of " + chart + " failed";
    return p;
  }
  p.song = exported.out;
  const rt::LatencyFrames buffer = rt::FramesOf(rt::AudioLatency::Normal);
  const std::vector<std::string> ours = {VAMBRIO_CLI, "arrange", style, chart, "--latency", "normal",
                                         "--audio-driver", "pulseaudio", "--soundfont", font};
  const std::vector<std::string> theirs = {"fluidsynth", "-ni", "-a", "pulseaudio", "-r",
                                           std::to_string(rt::kOutputSampleRate), "-z",
                                           std::to_string(buffer.periodSize), "-c", std::to_string(buffer.periods),
                                           "-o", "synth.midi-bank-select=xg", "-o", "synth.lock-memory=0", font, midi};
  // Taken in turns, so that both meet the same load on a shared machine.
  for (int i = 0; i < runs; ++i) {
    const vb::RunFigures live = vb::RunMeasured(ours);
    const vb::RunFigures player = vb::RunMeasured(theirs);
    if (live.status != 0) p.failed = "vambrio-cli arrange failed on " + chart;
    if (player.status != 0) p.failed = "fluidsynth -ni failed on " + midi;
    if (!p.failed.empty()) return p;
    if (i == 0 || live.cpuSeconds < p.live.cpuSeconds) p.live = live;
    if (i == 0 || player.cpuSeconds < p.player.cpuSeconds) p.player = player;
  }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = VAMBRIO_SOURCE_DIR;
  const std::string style = argc > 2 ? argv[1] : root + "/examples/Demo.sty";
  const std::string chart = argc > 2 ? argv[2] : root + "/examples/Demo.chart";
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  vb::PrivateServer server;
  if (!server.ok()) {
    std::printf("the private PulseAudio server did not start\n");
    return 1;
  }
  const std::string font = vambrio::platform::FindSoundFont("").path;
  if (font.empty()) {
    std::printf("%s\n", vambrio::platform::kNoSoundFontText);
    return 1;
  }
  const std::string oneBar = server.runtimeDir() + "/one-bar.chart";
  std::ofstream(oneBar) << "[Main A] C |\n";
  const rt::LatencyFrames buffer = rt::FramesOf(rt::AudioLatency::Normal);
  std::printf("chart %s on %s, SoundFont %s\n", chart.c_str(), style.c_str(), font.c_str());
  std::printf("both at %d Hz, %d x %d frames, XG bank select; least CPU of %d runs each, taken in turns; load average before: %s\n\n",
              rt::kOutputSampleRate, buffer.periods, buffer.periodSize, runs, LoadAverage().c_str());

  const Pair song = Measure(style, chart, server.runtimeDir() + "/song.mid", font, runs);
  const Pair bar = Measure(style, oneBar, server.runtimeDir() + "/bar.mid", font, runs);
  for (const Pair* p : {&song, &bar}) {
    if (p->failed.empty()) continue;
    std::printf("%s\n", p->failed.c_str());
    return 1;
  }
  std::printf("the chart:    %s", song.song.c_str());
  Print("vambrio-cli arrange (live)", song.live);
  Print("fluidsynth -ni (the export)", song.player);
  std::printf("one bar:      %s", bar.song.c_str());
  Print("vambrio-cli arrange (live)", bar.live);
  Print("fluidsynth -ni (the export)", bar.player);
  const double ours = song.live.cpuSeconds - bar.live.cpuSeconds;
  const double theirs = song.player.cpuSeconds - bar.player.cpuSeconds;
  std::printf("\nCPU of the song beyond its first bar (goal: ratio at most 1.10)\n");
  std::printf("    vambrio-cli arrange (live)  %7.3f s\n", ours);
  std::printf("    fluidsynth -ni              %7.3f s\n", theirs);
  std::printf("    ratio                       %7.3f\n", ours / theirs);
  std::printf("whole runs: ratio %.3f\n", song.live.cpuSeconds / song.player.cpuSeconds);
  std::printf("load average after: %s\n", LoadAverage().c_str());
  return 0;
}
