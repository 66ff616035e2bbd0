// Every section of built, truncated and damaged styles assembles into a
// well-formed file (the same check the fuzz target makes).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "assembly_fuzz.h"
#include "typical_styles.h"

namespace vambrio {
namespace {

test::Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return test::Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

std::vector<test::Bytes> Styles() {
  std::vector<test::Bytes> styles = {ReadAll(std::filesystem::path(VAMBRIO_SOURCE_DIR) / "examples/Demo.sty")};
  for (uint32_t seed = 1; seed <= 3; ++seed) styles.push_back(test::TypicalStyle(seed, 3000 * seed));
  return styles;
}

TEST(AssemblyOfEverySection, BuiltStylesUnderEveryOption) {
  for (const auto& style : Styles()) {
    int sections = 0;
    for (uint32_t bits : {0u, 0x1FFu, 0x2AAu, 0x555u, 0x700u})
      for (bool gm : {false, true})
        EXPECT_EQ(test::AssembleEverySection(style.data(), style.size(), gm, bits, &sections), "") << bits;
    EXPECT_GE(sections, 60);
  }
}

TEST(AssemblyOfEverySection, DamagedStylesThatStillLoad) {
  std::mt19937 rng(20240607);
  int loaded = 0;
  for (const auto& style : Styles()) {
    // Every cut through the chord-rule block, and random damage anywhere.
    for (size_t n = style.size(); n > 22 && style.size() - n < 700; --n) {
      int sections = 0;
      EXPECT_EQ(test::AssembleEverySection(style.data(), n, false, static_cast<uint32_t>(n), &sections), "") << n;
      loaded += sections > 0;
    }
    for (int round = 0; round < 300; ++round) {
      test::Bytes damaged = style;
      for (int k = 0; k < 1 + round % 6; ++k) damaged[22 + rng() % (damaged.size() - 22)] = static_cast<uint8_t>(rng());
      int sections = 0;
      EXPECT_EQ(test::AssembleEverySection(damaged.data(), damaged.size(), round % 2 == 0, rng(), &sections), "")
          << "round " << round;
      loaded += sections > 0;
    }
  }
  EXPECT_GT(loaded, 1000);  // most damaged styles still load and assemble
}

}  // namespace
}  // namespace vambrio
