// A modal input box: prompt, title and the text already in its field.
#pragma once

#include <optional>
#include <string>

namespace vambrio::platform {

class InputBox {
 public:
  virtual ~InputBox() = default;
  // The text entered, or an empty text when the user pressed Cancel.
  virtual std::string Ask(const std::string& prompt, const std::string& title, const std::string& initial) = 0;
};

}  // namespace vambrio::platform
