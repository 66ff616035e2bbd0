#include <gtest/gtest.h>

#include <filesystem>

#include "soundfont_writer.h"
#include "voices/soundfont_catalog.h"

namespace vambrio::voices {
namespace {

std::bitset<128> Keys(int lo, int hi) {
  std::bitset<128> b;
  for (int k = lo; k <= hi; ++k) b.set(static_cast<size_t>(k));
  return b;
}

TEST(SoundFontCatalog, ReadsPresetsNamesAndTheKeysThatHaveSamples) {
  const auto bytes = test::TinySoundFont({
      {0, 33, "Finger Bass"},
      {8, 17, "Organ Variation"},
      {128, 0, "Standard", {{27, 40}, {42, 87}}},
      {128, 25, "Analog", {{0, 127}}, {35, 50}},  // the preset's range narrows the instrument's
  });
  const CatalogResult r = ReadSoundFontCatalog(bytes);
  ASSERT_TRUE(r.catalog) << r.error;
  const SoundFontCatalog& c = *r.catalog;
  ASSERT_EQ(c.Presets().size(), 4u);
  ASSERT_TRUE(c.Find(0, 33));
  EXPECT_EQ(c.Find(0, 33)->name, "Finger Bass");
  EXPECT_EQ(c.Find(8, 17)->name, "Organ Variation");
  EXPECT_FALSE(c.Has(0, 17));
  EXPECT_TRUE(c.HasBank(8));
  EXPECT_FALSE(c.HasBank(1));
  EXPECT_EQ(c.Find(128, 0)->keys, Keys(27, 40) | Keys(42, 87));
  EXPECT_EQ(c.Find(128, 25)->keys, Keys(35, 50));
  EXPECT_EQ(c.Find(0, 33)->keys, Keys(0, 127));
}

TEST(SoundFontCatalog, DamagedFilesGiveAnErrorOrWhatTheyHoldNeverAFault) {
  const auto good = test::TinyGmSoundFont(true);
  // Cut short anywhere: the header, the sample data, the preset tables.
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
    const CatalogResult r = ReadSoundFontCatalog(cut);
    EXPECT_TRUE(r.catalog || !r.error.empty()) << n;
    if (r.catalog) {
      EXPECT_LE(r.catalog->Presets().size(), 5u);
    }
  }
  // Every byte in turn set to 0xFF: bag and generator indices past the tables, sizes past the end.
  for (size_t i = 0; i < good.size(); ++i) {
    std::vector<uint8_t> bad = good;
    bad[i] = 0xFF;
    const CatalogResult r = ReadSoundFontCatalog(bad);
    EXPECT_TRUE(r.catalog || !r.error.empty()) << i;
  }
  EXPECT_EQ(ReadSoundFontCatalog(std::vector<uint8_t>{'R', 'I', 'F', 'F'}).error,
            "not a SoundFont (no RIFF \"sfbk\" header)");
  EXPECT_EQ(ReadSoundFontCatalog("/nonexistent/x.sf2").error, "cannot be read");
}

// Debian's SoundFonts, where installed (fluid-soundfont-gm, timgm6mb-soundfont).
TEST(SoundFontCatalog, DebianSoundFonts) {
  struct Case {
    const char* path;
    const char* fingerBass;
    bool bank8;  // GS variations in bank 8
  };
  const Case cases[] = {{"/usr/share/sounds/sf2/FluidR3_GM.sf2", "Fingered Bass", true},
                        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "Fingered Bass", false}};
  int read = 0;
  for (const Case& c : cases) {
    if (!std::filesystem::exists(c.path)) continue;
    ++read;
    const CatalogResult r = ReadSoundFontCatalog(c.path);
    ASSERT_TRUE(r.catalog) << c.path << ": " << r.error;
    for (int p = 0; p < 128; ++p) EXPECT_TRUE(r.catalog->Has(0, p)) << c.path << " program " << p;
    EXPECT_EQ(r.catalog->Find(0, 33)->name, c.fingerBass) << c.path;
    EXPECT_EQ(r.catalog->HasBank(8), c.bank8) << c.path;
    const SoundFontPreset* standard = r.catalog->Find(128, 0);
    ASSERT_TRUE(standard) << c.path;
    EXPECT_TRUE(standard->keys.test(36) && standard->keys.test(38) && standard->keys.test(42)) << c.path;
    EXPECT_FALSE(standard->keys.test(13)) << c.path;
  }
  if (read == 0) GTEST_SKIP() << "no Debian SoundFont installed";
}

TEST(SoundFontCatalog, FromAListAndTheGeneralMidiStandIn) {
  const SoundFontCatalog c({{0, 5, "B", {}}, {0, 5, "second with the same place", {}}, {128, 0, "Kit", {}}});
  EXPECT_EQ(c.Presets().size(), 2u);
  EXPECT_EQ(c.Find(0, 5)->name, "B");
  EXPECT_EQ(c.Find(-1, 5), nullptr);
  EXPECT_EQ(c.Find(129, 0), nullptr);
  const SoundFontCatalog gm = GeneralMidiCatalog();
  EXPECT_EQ(gm.Find(0, 33)->name, "Electric Bass (finger)");
  EXPECT_EQ(gm.Find(128, 25)->name, "Analog");
  EXPECT_TRUE(gm.Find(128, 0)->keys.test(27));
  EXPECT_FALSE(gm.Find(128, 0)->keys.test(26));
}

}  // namespace
}  // namespace vambrio::voices
