// bench_arranger [STYLE]: a 200-bar chord chart played through the arranger
// with a style (the demo style by default).
// (a) MIDI export in the process: chart read, song planned, arranger run
//     into the file writer, file finished (goal: under 20 ms), and the whole
//     `vambrio-cli arrange ... -o song.mid` command;
// (b) WAV export: `vambrio-cli arrange ... -o song.wav` against
//     `fluidsynth -F` rendering the exported MIDI file with the same
//     SoundFont, as multiples of real time (goal: at least 0.9 of its speed).
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "arranger/song.h"
#include "loading/entry.h"
#include "midi/midi_length.h"
#include "midi/smf_writer.h"
#include "platform/files/soundfont.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace arr = vambrio::arranger;

// A 200-bar song over the sections the style has: an intro, then Mains of
// eight bars with a fill between them and a chord progression in every
// bar, and an ending.
std::string Chart200(const arr::StylePatterns& style) {
  auto has = [&](const char* name) { return style.Find(name) >= 0; };
  const char* progression[] = {"C", "Am7", "Dm7 G7", "C . A7 .", "F", "Fm6", "Em7 A7", "Dm7 G7"};
  std::string chart = "tempo 110\n";
  int bars = 0;
  if (has("Intro A")) chart += "[Intro A] C | G7 |\n", bars += 2;
  const char* mains[] = {"Main A", "Main B"};
  const char* fills[] = {"Fill In AA", "Fill In BB"};
  for (int k = 0; bars < 198; ++k) {
    const int m = k % 2;
    chart += std::string("[") + (has(mains[m]) ? mains[m] : style.sections[0].name.c_str()) + "]";
    for (int b = 0; b < 8 && bars < 197; ++b, ++bars) chart += std::string(" ") + progression[b] + " |";
    chart += "\n";
    if (has(fills[m]) && bars < 198) chart += std::string("[") + fills[m] + "] G7 |\n", ++bars;
  }
  chart += has("Ending A") ? "[Ending A] C |\n" : "C |\n";
  return chart;
}

struct Run {
  int status = -1;
  double wall = 0;
};

Run RunProgram(const std::vector<std::string>& argv) {
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : 128, std::chrono::duration<double>(Clock::now() - start).count()};
}

Run Best(const std::vector<std::string>& argv, int runs) {
  Run best;
  for (int i = 0; i < runs; ++i) {
    const Run r = RunProgram(argv);
    if (r.status != 0) return r;
    if (i == 0 || r.wall < best.wall) best = r;
  }
  return best;
}

double WavSeconds(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<double>(size - 44) / (4.0 * 44100.0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string stylePath = argc > 1 ? argv[1] : std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  vambrio::StyleModel m = vambrio::MakeStartupModel();
  vambrio::SilentErrorSink errors;
  if (vambrio::Entry(m, stylePath, false, errors).outcome != vambrio::EntryResult::Outcome::Loaded) {
    std::printf("%s could not be loaded\n", stylePath.c_str());
    return 1;
  }
  const auto dir = std::filesystem::temp_directory_path() / ("bench-arranger-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string chartPath = (dir / "song.chart").string();
  const std::string midPath = (dir / "song.mid").string();
  const std::string wavPath = (dir / "song.wav").string();
  const std::string fluidWav = (dir / "fluidsynth.wav").string();

  // (a) MIDI export in the process.
  const auto patternsStart = Clock::now();
  const arr::StylePatterns style = arr::ReadStylePatterns(m, {});
  const double patternsMs = std::chrono::duration<double, std::milli>(Clock::now() - patternsStart).count();
  const std::string chartText = Chart200(style);
  std::ofstream(chartPath) << chartText;
  double best = 1e9;
  std::vector<uint8_t> file;
  uint32_t bars = 0;
  for (int i = 0; i < 20; ++i) {
    const auto start = Clock::now();
    auto chart = arr::ReadChart(chartText);
    auto song = arr::PlanSong(std::get<arr::Chart>(chart), style);
    const arr::Song& planned = std::get<arr::Song>(song);
    arr::Arranger arranger(style, {});
    vambrio::midi::SmfWriter writer(style.division);
    arr::PlaySong(planned, arranger, writer);
    file = writer.Finish(static_cast<uint64_t>(planned.end));
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    bars = planned.bars;
  }
  const double songSeconds = static_cast<double>(vambrio::MeasureMidi(file)->LengthMs) / 1000.0;
  std::printf("style %s: %u bars, %.1f s of music, %zu bytes of MIDI\n\n", stylePath.c_str(), bars, songSeconds,
              file.size());
  std::printf("(a) MIDI export (goal: under 20 ms for 200 bars)\n");
  std::printf("    style read into patterns        %8.3f ms (once per style)\n", patternsMs);
  std::printf("    chart, song, arranger, file     %8.3f ms (best of 20), %.0f x real time\n", best,
              songSeconds * 1000.0 / best);
  const Run cli = Best({VAMBRIO_CLI, "arrange", stylePath, chartPath, "-o", midPath}, 5);
  if (cli.status != 0) return std::printf("vambrio-cli arrange failed\n"), 1;
  std::printf("    vambrio-cli arrange -o .mid     %8.3f ms (the whole command, best of 5)\n\n", cli.wall * 1000);

  // (b) WAV export against FluidSynth's own file renderer on the same MIDI file.
  const std::string font = vambrio::platform::FindSoundFont("").path;
  if (font.empty()) return std::printf("(b) not measured: %s\n", vambrio::platform::kNoSoundFontText), 0;
  const Run ours = Best({VAMBRIO_CLI, "arrange", stylePath, chartPath, "-o", wavPath}, 3);
  const Run theirs = Best({"fluidsynth", "-ni", "-F", fluidWav, "-o", "synth.midi-bank-select=xg", "-o",
                           "synth.lock-memory=0", "-r", "44100", font, midPath},
                          3);
  if (ours.status != 0 || theirs.status != 0) return std::printf("(b) a render failed\n"), 1;
  const double oursSpeed = WavSeconds(wavPath) / ours.wall, theirSpeed = WavSeconds(fluidWav) / theirs.wall;
  std::printf("(b) WAV export, times real time, SoundFont loading included (goal: at least 0.9 of fluidsynth's)\n");
  std::printf("    vambrio-cli arrange -o .wav     %6.1f x (%.1f s of sound in %.2f s)\n", oursSpeed,
              WavSeconds(wavPath), ours.wall);
  std::printf("    fluidsynth -F on the .mid       %6.1f x (%.1f s of sound in %.2f s)\n", theirSpeed,
              WavSeconds(fluidWav), theirs.wall);
  std::printf("    ratio                           %6.2f\n", oursSpeed / theirSpeed);
  std::filesystem::remove_all(dir);
  return 0;
}
