#include "platform/files/user_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vambrio::platform {
namespace {

namespace fs = std::filesystem;

// An absolute path from the variable, or nothing (relative values are ignored,
// as the base-directory rules ask).
std::optional<std::string> AbsoluteVar(const Environment& env, const std::string& name) {
  auto v = env(name);
  if (!v || v->empty() || (*v)[0] != '/') return std::nullopt;
  return v;
}

std::string HomeDir(const Environment& env) {
  if (auto home = AbsoluteVar(env, "HOME")) return *home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

// Makes `dir` (and missing parents) and checks that it is a private folder of
// this user: a real directory, owned by us, with no access for others.
UserPath PrivateFolder(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(fs::path(dir).parent_path(), ec);
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    return {"", "The folder " + dir + " could not be created: " + std::strerror(errno)};
  }
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
    return {"", "The folder " + dir + " is not a folder of your own."};
  }
  if ((st.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0) {
    return {"", "The folder " + dir + " could not be made private: " + std::strerror(errno)};
  }
  return {dir, ""};
}

}  // namespace

Environment ProcessEnvironment() {
  return [](const std::string& name) -> std::optional<std::string> {
    if (const char* v = std::getenv(name.c_str())) return std::string(v);
    return std::nullopt;
  };
}

UserPath PlayerTmpPath(const Environment& env) {
  std::string base;
  if (auto runtime = AbsoluteVar(env, "XDG_RUNTIME_DIR"); runtime && fs::is_directory(*runtime)) {
    base = *runtime;
  } else if (auto cache = AbsoluteVar(env, "XDG_CACHE_HOME")) {
    base = *cache;
  } else {
    std::string home = HomeDir(env);
    if (home.empty()) return {"", "There is no home folder for Player.tmp."};
    base = home + "/.cache";
  }
  UserPath folder = PrivateFolder(base + "/vambrio");
  if (!folder.path.empty()) folder.path += "/Player.tmp";
  return folder;
}

UserPath ConfigDir(const Environment& env) {
  std::string base;
  if (auto config = AbsoluteVar(env, "XDG_CONFIG_HOME")) {
    base = *config;
  } else {
    std::string home = HomeDir(env);
    if (home.empty()) return {"", "There is no home folder for the settings."};
    base = home + "/.config";
  }
  return PrivateFolder(base + "/Vambrio");
}

}  // namespace vambrio::platform
