#include "platform/files/user_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "temp_dir.h"

namespace vambrio::platform {
namespace {

namespace fs = std::filesystem;

Environment Env(std::map<std::string, std::string> vars) {
  return [vars](const std::string& name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(UserPaths, PlayerTmpGoesToThePrivateRuntimeFolder) {
  test::TempDir t;
  UserPath p = PlayerTmpPath(Env({{"XDG_RUNTIME_DIR", t.path().string()}, {"HOME", t.File("home")}}));
  EXPECT_EQ(p.path, t.File("vambrio/Player.tmp"));
  EXPECT_TRUE(p.problem.empty());
  EXPECT_EQ(Mode(t.File("vambrio")), 0700u);
}

TEST(UserPaths, PlayerTmpFallsBackToTheCacheFolder) {
  test::TempDir t;
  // No runtime folder (unset, relative or missing): the cache folder, then ~/.cache.
  for (auto runtime : {std::optional<std::string>{}, std::optional<std::string>{"run"},
                       std::optional<std::string>{t.File("missing")}}) {
    std::map<std::string, std::string> vars{{"XDG_CACHE_HOME", t.File("cache")}, {"HOME", t.File("home")}};
    if (runtime) vars["XDG_RUNTIME_DIR"] = *runtime;
    EXPECT_EQ(PlayerTmpPath(Env(vars)).path, t.File("cache/vambrio/Player.tmp"));
  }
  UserPath home = PlayerTmpPath(Env({{"HOME", t.File("home")}}));
  EXPECT_EQ(home.path, t.File("home/.cache/vambrio/Player.tmp"));
  EXPECT_EQ(Mode(t.File("home/.cache/vambrio")), 0700u);
  EXPECT_FALSE(fs::exists(t.File("missing")));
}

TEST(UserPaths, AFolderOpenToOthersIsMadePrivateAndALinkIsRefused) {
  test::TempDir t;
  fs::create_directory(t.File("vambrio"));
  chmod(t.File("vambrio").c_str(), 0777);
  EXPECT_FALSE(PlayerTmpPath(Env({{"XDG_RUNTIME_DIR", t.path().string()}})).path.empty());
  EXPECT_EQ(Mode(t.File("vambrio")), 0700u);

  test::TempDir other;
  fs::create_directory(other.File("elsewhere"));
  fs::create_directory_symlink(other.File("elsewhere"), other.File("vambrio"));
  UserPath p = PlayerTmpPath(Env({{"XDG_RUNTIME_DIR", other.path().string()}}));
  EXPECT_TRUE(p.path.empty());
  EXPECT_NE(p.problem.find(other.File("vambrio")), std::string::npos);
}

TEST(UserPaths, ConfigDirFollowsTheConfigHome) {
  test::TempDir t;
  EXPECT_EQ(ConfigDir(Env({{"XDG_CONFIG_HOME", t.File("cfg")}, {"HOME", t.File("home")}})).path, t.File("cfg/Vambrio"));
  EXPECT_EQ(ConfigDir(Env({{"HOME", t.File("home")}})).path, t.File("home/.config/Vambrio"));
  EXPECT_TRUE(fs::is_directory(t.File("home/.config/Vambrio")));
}

}  // namespace
}  // namespace vambrio::platform
