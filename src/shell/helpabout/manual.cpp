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

void ShowManual(platform::DesktopShell& shell, platform::MessageBoxes& boxes) {
  try {
    Navigate(shell, ManualPath(QCoreApplication::applicationDirPath().toStdString()));
  } catch (const std::exception&) {
    boxes.Show(kManualNotFoundMessage);
  }
}

}  // namespace vambrio::shell
