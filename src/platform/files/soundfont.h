// Finding the General MIDI SoundFont the synthesizer plays with.
#pragma once

#include <string>
#include <vector>

#include "platform/files/user_paths.h"

namespace vambrio::platform {

inline constexpr const char* kNoSoundFontText =
    "No SoundFont was found. Install a General MIDI SoundFont with the Debian package fluid-soundfont-gm "
    "(or timgm6mb-soundfont), or choose a SoundFont file.";

struct SoundFontChoice {
  std::string path;  // empty: none found
  std::string note;  // what the user should know about the choice (an unusable explicit choice)
};

// Debian's SoundFonts, in the order they are preferred.
std::vector<std::string> DebianSoundFonts(const std::string& folder = "/usr/share/sounds/sf2");

// The SoundFont to use: the explicit choice when it is a readable SoundFont,
// then Debian's (see DebianSoundFonts), then the first SoundFont (by name) in
// the sounds/sf2, sounds/sf3 and soundfonts folders of $XDG_DATA_HOME
// (~/.local/share) and $XDG_DATA_DIRS (/usr/local/share:/usr/share).
SoundFontChoice FindSoundFont(const std::string& explicitChoice, const Environment& env = ProcessEnvironment(),
                              const std::string& debianFolder = "/usr/share/sounds/sf2");

// True when the file can be read and begins as a SoundFont does (RIFF ... sfbk).
bool LooksLikeSoundFont(const std::string& path);

}  // namespace vambrio::platform
