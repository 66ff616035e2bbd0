#include "model/error_reporter.h"

namespace vambrio {

std::optional<std::string> ErrorMessageText(std::string_view procedure, const VbError& error) {
  switch (error.Number) {
    case err::DeviceIO: return "Internal disk error.";
    case err::DiskFull: return "Disk is full.";
    case err::TooManyFiles:
      return "Too Many Files For Directory. Use Save Style, create subdirectory, and place style there";
    case err::DeviceUnavailable: return "That device appears unavailable.";
    case err::PermissionDenied:
      return "Error writing to file- make sure it is not being used by another program and that the media is "
             "available.";
    case err::DiskNotReady: return "Insert a disk in the drive ";
    case err::PathFileAccess: return "File may have read-only attribute. Change attribute or choose another name.";
    case err::WindowMinimized: return std::nullopt;
    default: break;
  }
  std::string text = "Error #: ";
  text += std::to_string(error.Number);
  text += ", ";
  text += error.Description;
  text += ", encountered in Function ";
  text += procedure;
  text += ". If the solution is not obvious, please report this to the author.";
  return text;
}

void MessageBoxErrorReporter::ReportError(std::string_view procedure, const VbError& error) {
  if (auto text = ErrorMessageText(procedure, error)) boxes_.Show(*text);
}

void CollectingErrorReporter::ReportError(std::string_view procedure, const VbError& error) {
  if (auto text = ErrorMessageText(procedure, error)) messages.push_back(*text);
}

}  // namespace vambrio
