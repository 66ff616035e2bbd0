// Message boxes: modal, captioned with the application title "Vambrio".
#pragma once

#include <string>

namespace vambrio::platform {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // OK button only, no icon.
  virtual void Show(const std::string& text) = 0;
  // OK and Cancel with the warning icon; true when the user chose OK.
  virtual bool AskOkCancel(const std::string& text) = 0;
};

}  // namespace vambrio::platform
