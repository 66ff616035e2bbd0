// Every input the fuzzer ever found a fault with, and the seeds, run through
// the same path as the fuzzer (and so under the sanitizers in their build).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "agreement_one.h"
#include "chart_one.h"
#include "fuzz_one.h"
#include "seed_styles.h"

namespace {

TEST(FuzzRegressions, KnownInputsEndInAnOutcome) {
  namespace fs = std::filesystem;
  int inputs = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VAMBRIO_SOURCE_DIR) / "tests/fuzz/regressions")) {
    if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
    std::ifstream f(entry.path(), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(vambrio::fuzz::FuzzOneInput(bytes.data(), bytes.size()), "");
    EXPECT_EQ(vambrio::fuzz::AgreementOneInput(bytes.data(), bytes.size()), "");
    ++inputs;
  }
  // Truncations of built styles at every length reach every early exit of the walk.
  for (const auto& [name, bytes] : vambrio::fuzz::SeedStyles()) {
    SCOPED_TRACE(name);
    for (size_t n = 0; n <= bytes.size(); ++n) EXPECT_EQ(vambrio::fuzz::FuzzOneInput(bytes.data(), n), "") << n;
  }
  RecordProperty("regression_inputs", inputs);
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The demo style with 27 bytes cut out of its chord rules at each place in
// turn, and the seeds: every command that reads the rules agrees.
TEST(FuzzRegressions, CommandsAgreeOnDamagedChordRules) {
  const std::vector<uint8_t> demo = FileBytes(std::filesystem::path(VAMBRIO_SOURCE_DIR) / "examples/Demo.sty");
  const auto casm = std::search(demo.begin(), demo.end(), std::begin("CASM"), std::begin("CASM") + 4);
  ASSERT_NE(casm, demo.end());
  for (auto cut = casm + 8; cut + 27 < demo.end(); cut += 3) {
    std::vector<uint8_t> damaged(demo.begin(), cut);
    damaged.insert(damaged.end(), cut + 27, demo.end());
    EXPECT_EQ(vambrio::fuzz::AgreementOneInput(damaged.data(), damaged.size()), "") << cut - demo.begin();
  }
  for (const auto& [name, bytes] : vambrio::fuzz::SeedStyles())
    EXPECT_EQ(vambrio::fuzz::AgreementOneInput(bytes.data(), bytes.size()), "") << name;
}

TEST(FuzzRegressions, HostileChartsEndInAShortPrintableMessage) {
  const std::vector<uint8_t> demo = FileBytes(std::filesystem::path(VAMBRIO_SOURCE_DIR) / "examples/Demo.chart");
  const std::string hostile[] = {std::string("[Main A] \x1B[2J\x1B[31mG7\a\0 |", 24), "[Main A] C" + std::string(100000, 'x'),
                                 "[" + std::string(5000, '\x9B') + "]", "tempo \xFF\xFE\n[Main A] C"};
  EXPECT_EQ(vambrio::fuzz::ChartOneInput(demo.data(), demo.size()), "");
  const std::filesystem::path kept = std::filesystem::path(VAMBRIO_SOURCE_DIR) / "tests/fuzz/regressions/charts";
  if (std::filesystem::is_directory(kept))
    for (const auto& entry : std::filesystem::directory_iterator(kept)) {
      const std::vector<uint8_t> bytes = FileBytes(entry.path());
      EXPECT_EQ(vambrio::fuzz::ChartOneInput(bytes.data(), bytes.size()), "") << entry.path();
    }
  for (const std::string& text : hostile)
    EXPECT_EQ(vambrio::fuzz::ChartOneInput(reinterpret_cast<const uint8_t*>(text.data()), text.size()), "");
}

}  // namespace
