#include "platform/desktop/qt_folder_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace vambrio::platform {

std::optional<std::string> QtFolderDialog::ChooseFolder(const std::string& startPath) {
  QString start = startPath.empty() ? QDir::homePath() : QFile::decodeName(startPath.c_str());
  QString dir = QFileDialog::getExistingDirectory(parent_, QStringLiteral("Add a Folder of Styles"), start);
  if (dir.isEmpty()) return std::nullopt;
  return QFile::encodeName(dir).toStdString();
}

}  // namespace vambrio::platform
