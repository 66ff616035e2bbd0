// Per-user folders: where "Player.tmp" is written and where the window keeps
// its settings. Never a fixed name in a shared temporary folder.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vambrio::platform {

// Looks up an environment variable (empty when unset).
using Environment = std::function<std::optional<std::string>(const std::string& name)>;
Environment ProcessEnvironment();

struct UserPath {
  std::string path;     // empty when the folder could not be made
  std::string problem;  // why, in words for the user
};

// "Player.tmp" in $XDG_RUNTIME_DIR/vambrio/, else in $XDG_CACHE_HOME/vambrio/
// or ~/.cache/vambrio/. The folder is created owner-only (0700); a folder of
// that name that is a link or belongs to someone else is refused.
UserPath PlayerTmpPath(const Environment& env = ProcessEnvironment());

// $XDG_CONFIG_HOME/Vambrio/, else ~/.config/Vambrio/, created when missing.
UserPath ConfigDir(const Environment& env = ProcessEnvironment());

}  // namespace vambrio::platform
