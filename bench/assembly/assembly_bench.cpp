// Assembly speed: every section of 1,000 typical styles of 20-60 KB,
// assembled in memory as the player does before each section (GetChannels,
// the two Store stretches, the frame), then once more with "Player.tmp"
// written each time.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "loading/scan.h"
#include "playback/assembly.h"
#include "typical_styles.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct Loaded {
  vambrio::StyleModel m;
  int sections = 0;
};

// Assembles every section of every style `rounds` times; returns sections and output bytes.
std::pair<long, double> AssembleAll(std::vector<Loaded>& styles, int rounds, const std::string& playerFile) {
  vambrio::SilentErrorSink errors;
  vambrio::PlayChoices choices;
  long sections = 0;
  double bytes = 0;
  for (int r = 0; r < rounds; ++r) {
    choices.Minor = r % 2 == 1;
    for (Loaded& s : styles) {
      for (int16_t i = 0; i < s.sections; ++i) {
        s.m.CurrentSectionName = s.m.SectionName[i];
        if (playerFile.empty()) {
          vambrio::AssembleSingleTrack(s.m, i, choices, errors);
        } else {
          vambrio::MakeSingleTrack(s.m, i, choices, errors, playerFile, {});
        }
        bytes += s.m.OutPos + 1;
        ++sections;
      }
    }
  }
  return {sections, bytes};
}

}  // namespace

int main() {
  std::vector<Loaded> styles;
  double input = 0;
  for (int i = 0; i < 1000; ++i) {
    Loaded s;
    s.m = vambrio::MakeStartupModel();
    s.m.StyleData = vambrio::test::TypicalStyle(100 + static_cast<uint32_t>(i), 20000 + (static_cast<size_t>(i) * 40000) / 1000);
    s.m.FileSize = static_cast<int32_t>(s.m.StyleData.size());
    s.m.OutData.assign(s.m.StyleData.size() + 101, 0);
    vambrio::SilentErrorSink errors;
    if (!vambrio::ScanStyle(s.m, false, errors)) {
      std::fprintf(stderr, "style %d does not load\n", i);
      return 1;
    }
    s.sections = vambrio::SectionCount(s.m);
    input += static_cast<double>(s.m.StyleData.size());
    styles.push_back(std::move(s));
  }
  std::printf("1,000 typical styles: %.1f MB, %.0f KB on average\n", input / 1e6, input / 1000 / 1024);

  AssembleAll(styles, 1, "");  // the buffers grow once, as at a style's first assembly
  Clock::time_point t = Clock::now();
  auto [sections, bytes] = AssembleAll(styles, 5, "");
  double s = Seconds(t);
  std::printf("assembly in memory: %ld sections in %.3f s: %.0f sections/s (%.0f MB/s of output)\n", sections, s,
              sections / s, bytes / s / 1e6);

  const std::string file = (std::filesystem::temp_directory_path() / "vambrio-bench-Player.tmp").string();
  t = Clock::now();
  auto [written, writtenBytes] = AssembleAll(styles, 1, file);
  s = Seconds(t);
  std::printf("with %s written each time: %ld sections in %.3f s: %.0f sections/s\n", vambrio::kPlayerFileName,
              written, s, written / s);
  (void)writtenBytes;
  std::filesystem::remove(file);
  return 0;
}
