// The desktop shell on Qt: documents open in the desktop's own application
// for their type (xdg-open on Linux), programs are found on PATH and started
// as processes of their own.
#pragma once

#include <string>
#include <vector>

#include "platform/desktop/shell.h"

namespace vambrio::platform {

class QtDesktopShell final : public DesktopShell {
 public:
  bool OpenDocument(const std::string& path) override;
  std::string FindProgram(const std::vector<std::string>& names) override;
  bool StartProgram(const std::string& path) override;
};

}  // namespace vambrio::platform
