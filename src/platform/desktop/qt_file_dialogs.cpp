#include "platform/desktop/qt_file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace vambrio::platform {

std::optional<std::string> QtFileDialogs::OpenStyle(const std::string& startPath) {
  return Run("Open", startPath, kStyleFileFilter, false, {});
}

std::optional<std::string> QtFileDialogs::SaveStyle(const std::string& startPath, const std::string& defaultSuffix) {
  return Run("Save As", startPath, kStyleFileFilter, true, defaultSuffix);
}

std::optional<std::string> QtFileDialogs::OpenSoundFont(const std::string& startPath) {
  return Run("SoundFont", startPath, kSoundFontFilter, false, {});
}

void GiveRoom(QFileDialog& dialog) {
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(960, 580);
}

std::optional<std::string> QtFileDialogs::Run(const QString& title, const std::string& startPath,
                                              const QString& filter, bool save, const std::string& defaultSuffix) {
  QFileDialog dialog(parent_, title);
  GiveRoom(dialog);
  dialog.setNameFilter(filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (save) {
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
  }
  if (!startPath.empty()) {
    QFileInfo start(QString::fromStdString(startPath));
    if (start.isDir()) {
      dialog.setDirectory(start.absoluteFilePath());
    } else {
      dialog.setDirectory(start.absolutePath());
      dialog.selectFile(start.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return files.front().toStdString();
}

}  // namespace vambrio::platform
