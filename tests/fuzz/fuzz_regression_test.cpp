// Every input the fuzzer ever found a fault with, and the seeds, run through
// the same path as the fuzzer (and so under the sanitizers in their build).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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
    ++inputs;
  }
  // Truncations of built styles at every length reach every early exit of the walk.
  for (const auto& [name, bytes] : vambrio::fuzz::SeedStyles()) {
    SCOPED_TRACE(name);
    for (size_t n = 0; n <= bytes.size(); ++n) EXPECT_EQ(vambrio::fuzz::FuzzOneInput(bytes.data(), n), "") << n;
  }
  RecordProperty("regression_inputs", inputs);
}

}  // namespace
