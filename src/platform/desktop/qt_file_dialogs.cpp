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

QStringList AskForFiles(QWidget* parent, const FileDialogAsk& ask) {
  QFileDialog dialog(parent, ask.title);
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(960, 580);
  dialog.setNameFilter(ask.filter);
  dialog.setAcceptMode(ask.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(ask.save        ? QFileDialog::AnyFile
                     : ask.manyFiles ? QFileDialog::ExistingFiles
                                     : QFileDialog::ExistingFile);
  if (ask.save) {
    if (!ask.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(ask.defaultSuffix);
  }
  if (!ask.startPath.empty()) {
    const QFileInfo start(QString::fromStdString(ask.startPath));
    if (start.isDir()) {
      dialog.setDirectory(start.absoluteFilePath());
    } else {
      dialog.setDirectory(start.absolutePath());
      dialog.selectFile(start.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

std::optional<std::string> QtFileDialogs::Run(const QString& title, const std::string& startPath,
                                              const QString& filter, bool save, const std::string& defaultSuffix) {
  // The replace question is the caller's.
  const QStringList files = AskForFiles(parent_, {.title = title, .startPath = startPath, .filter = filter, .save = save,
                                                  .defaultSuffix = QString::fromStdString(defaultSuffix),
                                                  .confirmOverwrite = false});
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return files.front().toStdString();
}

}  // namespace vambrio::platform
