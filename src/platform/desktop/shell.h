// The desktop shell: opening documents and starting programs.
#pragma once

#include <string>
#include <vector>

namespace vambrio::platform {

class DesktopShell {
 public:
  virtual ~DesktopShell() = default;
  // Asks the desktop to open a document (the "open" verb); false when the request failed.
  virtual bool OpenDocument(const std::string& path) = 0;
  // The full path of the first program of `names` found on PATH, or empty.
  virtual std::string FindProgram(const std::vector<std::string>& names) = 0;
  // Starts a program as a separate process; false when it could not be started.
  virtual bool StartProgram(const std::string& path) = 0;
};

}  // namespace vambrio::platform
