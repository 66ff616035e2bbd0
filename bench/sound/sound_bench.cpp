// bench_sound [STYLE [SECTION]]: (a) CPU seconds of `vambrio-cli play` over a
// whole section against `fluidsynth -ni` playing the same "Player.tmp" with
// the same SoundFont and driver; (b) `vambrio-cli render` speed, as a
// multiple of real time, against `fluidsynth -F` on the same file; (c) the
// time from the play command to the first audible sample.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench_server.h"
#include "latency_probe.h"
#include "platform/files/soundfont.h"

namespace vb = vambrio::bench;

namespace {

constexpr int kRuns = 3;

// Seconds of sound in a 44.1 kHz 16-bit stereo WAV file.
double WavSeconds(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::string b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  size_t data = b.find("data");
  if (data == std::string::npos || data + 8 > b.size()) return 0;
  uint32_t n = 0;
  for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<uint8_t>(b[data + 4 + static_cast<size_t>(i)]);
  return n / (4.0 * 44100.0);
}

// The best of kRuns runs: the least CPU time, or the shortest when `byWall`.
vb::RunFigures Best(const std::vector<std::string>& argv, bool byWall = false) {
  vb::RunFigures best;
  for (int i = 0; i < kRuns; ++i) {
    vb::RunFigures f = vb::RunMeasured(argv);
    if (f.status != 0) return f;
    bool better = byWall ? f.wallSeconds < best.wallSeconds : f.cpuSeconds < best.cpuSeconds;
    if (i == 0 || better) best = f;
  }
  return best;
}

struct Render {
  double seconds = 0;  // of sound
  double wall = 0;
};

Render RenderWith(std::vector<std::string> argv, const std::string& wav) {
  vb::RunFigures f = Best(argv, true);
  if (f.status != 0) return {};
  return {WavSeconds(wav), f.wallSeconds};
}

void PrintRender(const char* who, const Render& r) {
  std::printf("    %-18s %6.1f x (%.2f s of sound in %.3f s)\n", who, r.seconds / r.wall, r.seconds, r.wall);
}

bool Check(const vb::RunFigures& f, const char* what) {
  if (f.status == 0) return true;
  std::printf("%s failed (exit status %d)\n", what, f.status);
  return false;
}

std::vector<std::string> FluidOptions(const std::string& font, const std::string& midi) {
  return {"-o", "synth.midi-bank-select=xg", "-o", "synth.lock-memory=0", "-r", "44100", font, midi};
}

}  // namespace

int main(int argc, char** argv) {
  std::string style = argc > 1 ? argv[1] : std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  std::string section = argc > 2 ? argv[2] : "Main A";
  vb::PrivateServer server;
  if (!server.ok()) {
    std::printf("the private PulseAudio server did not start\n");
    return 1;
  }
  std::string font = vambrio::platform::FindSoundFont("").path;
  if (font.empty()) {
    std::printf("%s\n", vambrio::platform::kNoSoundFontText);
    return 1;
  }
  std::string run = server.runtimeDir();
  std::string player = run + "/vambrio/Player.tmp";
  std::printf("style %s, section \"%s\", SoundFont %s, best of %d runs\n\n", style.c_str(), section.c_str(),
              font.c_str(), kRuns);

  // (a) playback control
  vb::RunFigures ours = Best({VAMBRIO_CLI, "play", style, section});
  if (!Check(ours, "vambrio-cli play")) return 1;
  std::vector<std::string> ni = {"fluidsynth", "-ni", "-a", "pulseaudio"};
  auto opts = FluidOptions(font, player);
  ni.insert(ni.end(), opts.begin(), opts.end());
  vb::RunFigures theirs = Best(ni);
  if (!Check(theirs, "fluidsynth -ni")) return 1;
  std::printf("(a) CPU of playing the section (goal: ratio at most 1.10)\n");
  std::printf("    vambrio-cli play   %6.3f s CPU in %6.2f s\n", ours.cpuSeconds, ours.wallSeconds);
  std::printf("    fluidsynth -ni     %6.3f s CPU in %6.2f s\n", theirs.cpuSeconds, theirs.wallSeconds);
  std::printf("    ratio              %6.3f (per second of running: %.3f)\n\n", ours.cpuSeconds / theirs.cpuSeconds,
              (ours.cpuSeconds / ours.wallSeconds) / (theirs.cpuSeconds / theirs.wallSeconds));

  // (b) offline rendering of the same file. fluidsynth -F renders its own
  // tail after the file's end, so both the speed and the time per file count.
  std::string oursWav = run + "/vambrio.wav", theirWav = run + "/fluidsynth.wav";
  Render ours2 = RenderWith({VAMBRIO_CLI, "render", style, section, "-o", oursWav}, oursWav);
  std::vector<std::string> fast = {"fluidsynth", "-ni", "-F", theirWav};
  fast.insert(fast.end(), opts.begin(), opts.end());
  Render their2 = RenderWith(fast, theirWav);
  if (ours2.wall == 0 || their2.wall == 0) {
    std::printf("a render failed\n");
    return 1;
  }
  std::printf("(b) render speed, times real time, SoundFont loading included (goal: at least 0.9 of fluidsynth's)\n");
  PrintRender("vambrio-cli render", ours2);
  PrintRender("fluidsynth -F", their2);
  std::printf("    ratio              %6.3f of the speed; %.3f of the time per file\n\n",
              (ours2.seconds / ours2.wall) / (their2.seconds / their2.wall), ours2.wall / their2.wall);

  // (c) latency
  vb::LatencyFigures lat = vb::MeasurePlayLatency(run, 5);
  if (!lat.problem.empty()) {
    std::printf("(c) latency not measured: %s\n", lat.problem.c_str());
    return 1;
  }
  std::printf("(c) play command to first audible sample, SoundFont loaded (goal: under 150 ms)\n");
  auto print = [](const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("    %-34s min %6.1f ms, median %6.1f ms, max %6.1f ms over %zu plays\n", what, v.front(),
                v[v.size() / 2], v.back(), v.size());
  };
  print("played (by the monitor's latency)", lat.ms);
  print("received by the recorder", lat.receivedMs);
  return 0;
}
