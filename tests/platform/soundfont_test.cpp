#include "platform/files/soundfont.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::platform {
namespace {

namespace fs = std::filesystem;

class SoundFontLookup : public ::testing::Test {
 protected:
  // A file that begins as a SoundFont does.
  std::string Font(const std::string& rel) {
    std::string path = t.File(rel);
    fs::create_directories(fs::path(path).parent_path());
    test::WriteFile(path, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I', 'S', 'T'});
    return path;
  }
  std::string NotAFont(const std::string& rel) {
    std::string path = t.File(rel);
    fs::create_directories(fs::path(path).parent_path());
    test::WriteFile(path, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96});
    return path;
  }
  SoundFontChoice Find(const std::string& explicitChoice = "") {
    auto env = [this](const std::string& name) -> std::optional<std::string> {
      auto it = vars.find(name);
      if (it == vars.end()) return std::nullopt;
      return it->second;
    };
    return FindSoundFont(explicitChoice, env, t.File("debian"));
  }

  test::TempDir t;
  std::map<std::string, std::string> vars{{"HOME", t.File("home")}, {"XDG_DATA_DIRS", t.File("share")}};
};

TEST_F(SoundFontLookup, AnExplicitChoiceComesFirstAndFallsBackWhenUnusable) {
  std::string mine = Font("mine/Piano.sf2");
  std::string debian = Font("debian/TimGM6mb.sf2");
  EXPECT_EQ(Find(mine).path, mine);
  EXPECT_TRUE(Find(mine).note.empty());

  for (const std::string& bad : {t.File("mine/missing.sf2"), NotAFont("mine/song.sf2")}) {
    SoundFontChoice c = Find(bad);
    EXPECT_EQ(c.path, debian);
    EXPECT_NE(c.note.find(bad), std::string::npos);
    EXPECT_NE(c.note.find(debian), std::string::npos);
  }
}

TEST_F(SoundFontLookup, DebiansFontsInTheirOrderThenTheDataFolders) {
  Font("home/.local/share/sounds/sf2/Aaa.sf2");
  std::string tim = Font("debian/TimGM6mb.sf2");
  EXPECT_EQ(Find().path, tim);
  std::string fluid = Font("debian/FluidR3_GM.sf2");
  EXPECT_EQ(Find().path, fluid);
  NotAFont("debian/default-GM.sf2");  // a broken link target or a wrong file is passed over
  EXPECT_EQ(Find().path, fluid);
  std::string def = Font("debian/default-GM.sf2");
  EXPECT_EQ(Find().path, def);
}

TEST_F(SoundFontLookup, DataFoldersInOrderAndTheirFontsByName) {
  std::string b = Font("share/soundfonts/b.SF2");
  EXPECT_EQ(Find().path, b);
  std::string a = Font("share/sounds/sf2/zz.sf3");
  EXPECT_EQ(Find().path, a);  // sounds/sf2 before soundfonts
  Font("data/sounds/sf2/Own.sf2");
  Font("data/sounds/sf2/Other.sf2");
  vars["XDG_DATA_HOME"] = t.File("data");
  EXPECT_EQ(Find().path, t.File("data/sounds/sf2/Other.sf2"));
  vars.erase("XDG_DATA_HOME");
  std::string home = Font("home/.local/share/sounds/sf2/Home.sf2");
  EXPECT_EQ(Find().path, home);
}

TEST_F(SoundFontLookup, NothingFoundLeavesThePathEmpty) {
  NotAFont("share/sounds/sf2/fake.sf2");
  SoundFontChoice c = Find();
  EXPECT_TRUE(c.path.empty());
  EXPECT_NE(std::string(kNoSoundFontText).find("fluid-soundfont-gm"), std::string::npos);
}

}  // namespace
}  // namespace vambrio::platform
