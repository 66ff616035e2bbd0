#include "platform/desktop/qt_desktop_shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

namespace vambrio::platform {

bool QtDesktopShell::OpenDocument(const std::string& path) {
  if (path.empty()) return false;
  const QString text = QString::fromStdString(path);
  // A plain path is a local file; a URL with a scheme ("https:", "file:")
  // is handed on as it stands.
  const QUrl asUrl(text);
  const bool hasScheme = asUrl.isValid() && asUrl.scheme().size() > 1;
  return QDesktopServices::openUrl(hasScheme ? asUrl : QUrl::fromLocalFile(text));
}

std::string QtDesktopShell::FindProgram(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(name));
    if (!found.isEmpty()) return found.toStdString();
  }
  return {};
}

bool QtDesktopShell::StartProgram(const std::string& path) {
  if (path.empty()) return false;
  return QProcess::startDetached(QString::fromStdString(path), {});
}

}  // namespace vambrio::platform
