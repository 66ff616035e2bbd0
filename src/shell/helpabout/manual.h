// Opening the user manual "Vambrio.pdf" from the Help menu.
#pragma once

#include <string>
#include <vector>

#include "model/message_box.h"
#include "platform/desktop/shell.h"

namespace vambrio::shell {

inline constexpr const char* kManualFileName = "Vambrio.pdf";
inline constexpr const char* kManualNotFoundMessage = "Cannot find the Manual File ";

// The places the manual may lie, for a program in `programDir`, in the order
// they are tried: beside the program (a build tree), then the installed data
// folders share/doc/vambrio and share/vambrio of the program's prefix.
std::vector<std::string> ManualCandidates(const std::string& programDir);

// The first candidate that exists; when none does, the one beside the program
// (the desktop is still asked to open it, and says itself what it finds).
std::string ManualPath(const std::string& programDir);

// Asks the desktop to open the document or program `NavTo`. The answer is
// not examined: a failed request is silent.
void Navigate(platform::DesktopShell& shell, const std::string& NavTo);

// The handler of "Info/&Help": looks the manual up beside the running program
// and opens it; an error on the way shows "Cannot find the Manual File ".
void ShowManual(platform::DesktopShell& shell, platform::MessageBoxes& boxes);

}  // namespace vambrio::shell
