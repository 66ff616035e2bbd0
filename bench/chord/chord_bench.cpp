// "Any chord" speed: notes mapped per second by the chord rules of typical
// styles, any-chord assemblies per second against the classic assembly and
// against the same assembly with the notes left as written (what the mapping
// itself costs), and vambrio-cli assemble --chord per second (wall time; the
// in-process figures are CPU time).
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "chord/note_mapping.h"
#include "loading/scan.h"
#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"
#include "rule_entry.h"
#include "run_process.h"
#include "typical_styles.h"

namespace {

using namespace vambrio;

// The process's own CPU time, so that other work on a busy machine counts little.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
};
using Wall = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return Clock::now() - since; }

const char kMains[] = "Main A,Main B,Main C,Main D,Intro A,Ending A,Ending B";
const char kFills[] = "Fill In AA,Fill In BB,Fill In CC,Fill In DD,Fill In BA";

struct Loaded {
  StyleModel m;
  ChordRules rules;
  int sections = 0;
};

// The notes as written: the hook's call alone.
struct AsWritten final : NoteHook {
  void MapNote(int, int&, int&) const override {}
};

Loaded Load(uint32_t seed, bool newLayout) {
  Loaded s;
  s.m = MakeStartupModel();
  s.m.StyleData = test::WithBlock(test::TypicalStyle(seed, 20000 + (seed % 1000) * 40), test::RealisticRules(newLayout, kMains, kFills));
  s.m.FileSize = static_cast<int32_t>(s.m.StyleData.size());
  s.m.OutData.assign(s.m.StyleData.size() + 101, 0);
  SilentErrorSink errors;
  if (!ScanStyle(s.m, false, errors)) std::fprintf(stderr, "style %u does not load\n", seed);
  s.sections = SectionCount(s.m);
  s.rules = ReadChordRules(s.m);
  return s;
}

enum class Kind { Classic, AsWrittenHook, AnyChord };

// Every section of every style once, over a chord that changes with each section.
double AssembleAll(std::vector<Loaded>& styles, Kind kind, long& sections) {
  SilentErrorSink errors;
  PlayChoices choices;
  const AsWritten asWritten;
  sections = 0;
  const Clock::time_point t = Clock::now();
  for (Loaded& s : styles) {
    for (int16_t i = 0; i < s.sections; ++i) {
      s.m.CurrentSectionName = s.m.SectionName[i];
      const Chord chord{static_cast<int>(sections % 12), static_cast<int>(sections % kChordTypeCount), -1};
      if (kind == Kind::Classic) AssembleSingleTrack(s.m, i, choices, errors);
      else if (kind == Kind::AsWrittenHook) AssembleSingleTrack(s.m, i, choices, errors, &asWritten);
      else AssembleAnyChord(s.m, i, choices, s.rules, chord, errors);
      ++sections;
    }
  }
  return Seconds(t);
}

// Every note 24..107 of the pitched channels over all 408 chords, by MapNote
// and by a channel mapping made once per chord (as the arranger does).
void MappingSpeed(const std::vector<Loaded>& styles) {
  for (bool prepared : {false, true}) {
    long mapped = 0;
    long checksum = 0;
    const Clock::time_point t = Clock::now();
    for (size_t k = 0; k < 20; ++k) {
      const SectionRules rules = styles[k].rules.ForSection(k % 2 ? "Main A" : "Fill In AA");
      for (int root = 0; root < 12; ++root) {
        for (int type = 0; type < kChordTypeCount; ++type) {
          const Chord chord{root, type, type % 7 == 0 ? (root + 4) % 12 : -1};
          for (size_t ch = 10; ch < 16; ++ch) {
            const ChannelMapping mapping = prepared ? ChannelMapping(rules[ch], chord) : ChannelMapping();
            for (int note = 24; note < 108; ++note) checksum += prepared ? mapping.Map(note) : MapNote(rules[ch], note, chord);
            mapped += 84;
          }
        }
      }
    }
    const double s = Seconds(t);
    std::printf("note mapping (%s): %ld notes in %.3f s: %.1f million notes/s, %.1f ns a note (checksum %ld)\n",
                prepared ? "mapping made per chord" : "MapNote", mapped, s, mapped / s / 1e6, s / mapped * 1e9,
                checksum % 1000);
  }
}

}  // namespace

int main() {
  std::vector<Loaded> styles;
  for (uint32_t i = 0; i < 1000; ++i) styles.push_back(Load(100 + i, i % 2 == 1));
  std::printf("1,000 typical styles with complete chord rules (half older, half newer entries)\n");
  MappingSpeed(styles);

  long sections = 0;
  AssembleAll(styles, Kind::Classic, sections);  // the buffers grow once
  const double classic = AssembleAll(styles, Kind::Classic, sections);
  const double asWritten = AssembleAll(styles, Kind::AsWrittenHook, sections);
  const double anyChord = AssembleAll(styles, Kind::AnyChord, sections);
  std::printf("classic assembly:      %ld sections in %.3f s: %.0f sections/s\n", sections, classic, sections / classic);
  std::printf("notes as written:      %ld sections in %.3f s: %.0f sections/s\n", sections, asWritten,
              sections / asWritten);
  std::printf("any-chord assembly:    %ld sections in %.3f s: %.0f sections/s\n", sections, anyChord, sections / anyChord);
  const double mappingPerSection = (anyChord - asWritten) / static_cast<double>(sections);
  std::printf("the chord rules' share of an any-chord assembly in memory: %.1f %% (%.1f us a section)\n",
              100.0 * (anyChord - asWritten) / anyChord, mappingPerSection * 1e6);

  const std::string style = (std::filesystem::temp_directory_path() / "vambrio-bench-chord.sty").string();
  const std::string out = (std::filesystem::temp_directory_path() / "vambrio-bench-chord.mid").string();
  test::WriteFile(style, styles[0].m.StyleData);
  const int runs = 100;
  const Wall::time_point t = Wall::now();
  int failed = 0;
  for (int i = 0; i < runs; ++i) {
    const std::string chord = std::string(RootName(i % 12)) + ChordTypeName(i % kChordTypeCount);
    failed += test::RunProcess({VAMBRIO_CLI, "assemble", style, "Main A", "--chord", chord, "-o", out}).status != 0;
  }
  const double s = std::chrono::duration<double>(Wall::now() - t).count();
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  const double cpu = static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
                     static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) * 1e-6;
  std::printf("vambrio-cli assemble --chord: %d runs in %.3f s: %.0f runs/s, %.1f ms a run, %.1f ms of CPU (%d failed)\n",
              runs, s, runs / s, s / runs * 1000, cpu / runs * 1000, failed);
  std::printf("the chord rules' share of an assemble --chord run: %.2f %% of its CPU time (goal: under 5 %%)\n",
              100.0 * mappingPerSection / (cpu / runs));
  std::filesystem::remove(style);
  std::filesystem::remove(out);
  return failed == 0 ? 0 : 1;
}
