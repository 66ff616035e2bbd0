#include "platform/files/soundfont.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/ascii_case.h"

namespace vambrio::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> out;
  std::stringstream s(list);
  for (std::string item; std::getline(s, item, ':');)
    if (!item.empty() && item[0] == '/') out.push_back(item);
  return out;
}

std::vector<std::string> DataDirs(const Environment& env) {
  std::vector<std::string> dirs;
  if (auto home = env("XDG_DATA_HOME"); home && !home->empty() && (*home)[0] == '/') {
    dirs.push_back(*home);
  } else if (auto h = env("HOME"); h && !h->empty()) {
    dirs.push_back(*h + "/.local/share");
  }
  auto system = env("XDG_DATA_DIRS");
  auto rest = Split(system && !system->empty() ? *system : "/usr/local/share:/usr/share");
  dirs.insert(dirs.end(), rest.begin(), rest.end());
  return dirs;
}

// The SoundFonts of one folder, by name.
std::vector<std::string> SoundFontsIn(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string ext = AsciiLower(it->path().extension().string());
    if (ext == ".sf2" || ext == ".sf3") found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::vector<std::string> DebianSoundFonts(const std::string& folder) {
  return {folder + "/default-GM.sf2", folder + "/FluidR3_GM.sf2", folder + "/TimGM6mb.sf2"};
}

bool LooksLikeSoundFont(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream f(path, std::ios::binary);
  char head[12] = {};
  if (!f.read(head, sizeof head)) return false;
  return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

SoundFontChoice FindSoundFont(const std::string& explicitChoice, const Environment& env,
                              const std::string& debianFolder) {
  SoundFontChoice choice;
  if (!explicitChoice.empty()) {
    if (LooksLikeSoundFont(explicitChoice)) return {explicitChoice, ""};
    choice.note = "The SoundFont " + explicitChoice + " cannot be read or is no SoundFont.";
  }
  std::vector<std::string> candidates = DebianSoundFonts(debianFolder);
  for (const auto& dir : DataDirs(env)) {
    for (const char* sub : {"sounds/sf2", "sounds/sf3", "soundfonts"}) {
      auto in = SoundFontsIn(fs::path(dir) / sub);
      candidates.insert(candidates.end(), in.begin(), in.end());
    }
  }
  for (const auto& c : candidates) {
    if (LooksLikeSoundFont(c)) {
      choice.path = c;
      if (!choice.note.empty()) choice.note += " Using " + c + " instead.";
      return choice;
    }
  }
  return choice;
}

}  // namespace vambrio::platform
