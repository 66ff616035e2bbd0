// Choosing a folder (the library's "Add Folder...").
#pragma once

#include <optional>
#include <string>

namespace vambrio::platform {

class FolderDialog {
 public:
  virtual ~FolderDialog() = default;
  // The chosen folder, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFolder(const std::string& startPath) = 0;
};

}  // namespace vambrio::platform
