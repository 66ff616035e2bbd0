// The importers' fuzz seeds and the inputs kept in tests/fuzz/regressions/import
// run through the fuzzers' path (and so under the sanitizers in their build),
// each seed cut at every length.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "import_fuzz.h"
#include "import_seeds.h"
#include "temp_dir.h"

namespace {

TEST(ImportFuzz, SeedsCutAtEveryLengthAndKeptInputsEndInAnOutcome) {
  vambrio::test::TempDir dir;
  for (const char* kind : {"ireal", "chordpro", "musicxml"})
    for (const auto& [name, bytes] : vambrio::fuzz::ImportSeeds(kind, dir.File("scratch.zip"))) {
      SCOPED_TRACE(name);
      ASSERT_FALSE(bytes.empty());
      const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
      for (size_t n = 0; n <= bytes.size(); n += 1 + n / 64) EXPECT_EQ(vambrio::fuzz::FuzzImport(data, n, kind), "") << n;
    }
  const std::filesystem::path kept = std::filesystem::path(VAMBRIO_SOURCE_DIR) / "tests/fuzz/regressions/import";
  if (!std::filesystem::exists(kept)) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kept)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream f(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const std::string kind = entry.path().parent_path().filename().string();
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(vambrio::fuzz::FuzzImport(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), kind), "");
  }
}

}  // namespace
