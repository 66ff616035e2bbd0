// Open and save dialogs of the main window.
#pragma once

#include <optional>
#include <string>

namespace vambrio::platform {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen file, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenStyle(const std::string& startPath) = 0;
  // defaultSuffix is added to a name typed without extension ("sty").
  virtual std::optional<std::string> SaveStyle(const std::string& startPath, const std::string& defaultSuffix) = 0;
  virtual std::optional<std::string> OpenSoundFont(const std::string& startPath) = 0;
};

}  // namespace vambrio::platform
