// Scan speed: one style of about 1 MB of events and 1,000 typical styles of
// 20-60 KB, scanned in memory; then `vambrio-cli info --json` over the 1,000
// styles written to a temporary folder. Prints the figures.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "loading/scan.h"
#include "model/style_model.h"
#include "temp_dir.h"
#include "typical_styles.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Scans every style `rounds` times; returns the seconds taken.
double ScanAll(const std::vector<vambrio::test::Bytes>& styles, int rounds) {
  vambrio::StyleModel m = vambrio::MakeStartupModel();
  vambrio::SilentErrorSink errors;
  auto start = Clock::now();
  for (int r = 0; r < rounds; ++r) {
    for (const auto& s : styles) {
      m.StyleData = s;
      m.InitialVolumeEventCount = 0;
      if (!vambrio::ScanStyle(m, false, errors)) std::fprintf(stderr, "scan failed\n");
    }
  }
  return Seconds(start);
}

}  // namespace

int main() {
  std::vector<vambrio::test::Bytes> big = {vambrio::test::TypicalStyle(1, 1 << 20)};
  double bigBytes = static_cast<double>(big[0].size());
  double t = ScanAll(big, 50);
  std::printf("scan, one style of %.2f MB: %.0f MB/s\n", bigBytes / 1e6, 50 * bigBytes / 1e6 / t);

  std::vector<vambrio::test::Bytes> typical;
  double total = 0;
  for (uint32_t i = 0; i < 1000; ++i) {
    typical.push_back(vambrio::test::TypicalStyle(100 + i, 20000 + (i * 40000) / 1000));
    total += static_cast<double>(typical.back().size());
  }
  t = ScanAll(typical, 5);
  std::printf("scan, 1,000 styles of 20-60 KB (%.1f MB): %.0f files/s, %.0f MB/s\n", total / 1e6, 5000 / t,
              5 * total / 1e6 / t);

  vambrio::test::TempDir dir;
  std::string cmd = std::string(VAMBRIO_CLI) + " info --json";
  for (size_t i = 0; i < typical.size(); ++i) {
    std::string path = dir.File("style" + std::to_string(i) + ".sty");
    vambrio::test::WriteFile(path, typical[i]);
  }
  cmd += " " + dir.path().string() + "/*.sty > /dev/null";
  auto start = Clock::now();
  int status = std::system(cmd.c_str());
  std::printf("vambrio-cli info --json over 1,000 styles: %.3f s (exit %d)\n", Seconds(start), status);
  return 0;
}
