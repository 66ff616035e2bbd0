// The one error reporter: turns a failure of a procedure into one message box.
#pragma once

#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "model/errors.h"
#include "model/message_box.h"

namespace vambrio {

// The text ReportError shows for a failure of `procedure`, or nothing for the
// errors it passes over (384).
std::optional<std::string> ErrorMessageText(std::string_view procedure, const VbError& error);

// ReportError on top of the platform's message boxes.
class MessageBoxErrorReporter final : public ErrorSink {
 public:
  explicit MessageBoxErrorReporter(platform::MessageBoxes& boxes) : boxes_(boxes) {}
  void ReportError(std::string_view procedure, const VbError& error) override;

 private:
  platform::MessageBoxes& boxes_;
};

// Collects the texts the reporter would show (the command-line tool prints them).
class CollectingErrorReporter final : public ErrorSink {
 public:
  void ReportError(std::string_view procedure, const VbError& error) override;
  std::vector<std::string> messages;
};

}  // namespace vambrio
