#include "shell/helpabout/manual.h"

#include <QCoreApplication>
#include <exception>
#include <filesystem>
#include <system_error>

namespace vambrio::shell {

namespace fs = std::filesystem;

std::vector<std::string> ManualCandidates(const std::string& programDir) {
  const fs::path dir(programDir);
  std::vector<std::string> candidates;
  for (const fs::path& folder : {dir, dir / VAMBRIO_BIN_TO_DOCDIR, dir / VAMBRIO_BIN_TO_DATADIR}) {
    candidates.push_back((folder / kManualFileName).lexically_normal().string());
  }
  return candidates;
}

std::string ManualPath(const std::string& programDir) {
  const std::vector<std::string> candidates = ManualCandidates(programDir);
  for (const std::string& candidate : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return candidates.front();
}

void Navigate(platform::DesktopShell& shell, const std::string& NavTo) {
  shell.OpenDocument(NavTo);
}

// When no program opens the manual (no PDF viewer), the player is told
// where it is and offered its folder.
void ShowManual(platform::DesktopShell& shell, platform::MessageBoxes& boxes) {
  try {
    const std::string manual = ManualPath(QCoreApplication::applicationDirPath().toStdString());
    if (shell.OpenDocument(manual)) return;
    const std::string folder = fs::path(manual).parent_path().string();
    if (boxes.AskOkCancel("No program could open the manual, " + std::string(kManualFileName) +
                          " (a PDF file). It is in the folder " + folder + ".\n\nOK opens that folder."))
      shell.OpenDocument(folder);
  } catch (const std::exception&) {
    boxes.Show(kManualNotFoundMessage);
  }
}

}  // namespace vambrio::shell
