// Catalogs and voice uses for the voice map's tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "soundfont_writer.h"
#include "voices/voice_map.h"

namespace vambrio::voices::fixtures {

struct NamedCatalog {
  std::string name;
  std::shared_ptr<const SoundFontCatalog> catalog;
};

inline std::shared_ptr<const SoundFontCatalog> TinyCatalog(bool bank8) {
  CatalogResult r = ReadSoundFontCatalog(vambrio::test::TinyGmSoundFont(bank8));
  EXPECT_TRUE(r.catalog) << r.error;
  return std::make_shared<SoundFontCatalog>(r.catalog ? std::move(*r.catalog) : SoundFontCatalog());
}

// The tiny written SoundFonts, and Debian's where installed.
inline std::vector<NamedCatalog> AllCatalogs() {
  std::vector<NamedCatalog> out = {{"tiny", TinyCatalog(false)}, {"tiny with bank 8", TinyCatalog(true)}};
  for (const char* path : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
    if (!std::filesystem::exists(path)) continue;
    CatalogResult r = ReadSoundFontCatalog(path);
    EXPECT_TRUE(r.catalog) << path << ": " << r.error;
    if (r.catalog) out.push_back({path, std::make_shared<SoundFontCatalog>(std::move(*r.catalog))});
  }
  return out;
}

// A style's use: channel, part, median note.
inline StyleVoiceUse UseOf(std::initializer_list<std::tuple<int, int, int>> channels) {
  StyleVoiceUse use;
  for (auto [channel, part, median] : channels) {
    ChannelVoiceUse c;
    c.channel = static_cast<uint8_t>(channel);
    c.part = part;
    c.medianNote = static_cast<uint8_t>(median);
    c.noteCount = 1;
    use.channels.push_back(c);
  }
  return use;
}

}  // namespace vambrio::voices::fixtures
