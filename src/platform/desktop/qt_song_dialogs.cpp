#include "platform/desktop/qt_song_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include "platform/desktop/qt_file_dialogs.h"

namespace vambrio::platform {
namespace {

const char* const kSetListFilter = "Set Lists (*.vset);;All Files (*)";
const char* const kLeadSheetFilter =
    "Lead Sheets (*.txt *.html *.htm *.cho *.crd *.chopro *.chordpro *.pro *.musicxml *.xml *.mxl);;All Files (*)";
const char* const kStyleFilter = "Styles (*.sty *.pcs *.sst *.pst *.prs *.bcs *.fps);;All Files (*)";

QStringList Run(QWidget* parent, const QString& title, const std::string& startPath, const QString& filter,
                QFileDialog::FileMode mode, bool save) {
  QFileDialog dialog(parent, title);
  GiveRoom(dialog);
  dialog.setNameFilter(filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(mode);
  if (save) dialog.setDefaultSuffix("vset");
  if (!startPath.empty()) {
    QFileInfo start(QString::fromStdString(startPath));
    dialog.setDirectory(start.isDir() ? start.absoluteFilePath() : start.absolutePath());
    if (!start.isDir()) dialog.selectFile(start.fileName());
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

std::string First(const QStringList& files) { return files.isEmpty() ? std::string() : files.front().toStdString(); }

}  // namespace

std::string QtSongDialogs::OpenSetList(const std::string& startPath) {
  return First(Run(parent_, "Open Set List", startPath, kSetListFilter, QFileDialog::ExistingFile, false));
}

std::string QtSongDialogs::SaveSetList(const std::string& startPath) {
  return First(Run(parent_, "Save Set List", startPath, kSetListFilter, QFileDialog::AnyFile, true));
}

std::vector<std::string> QtSongDialogs::ImportFiles(const std::string& startPath) {
  std::vector<std::string> files;
  for (const QString& f : Run(parent_, "Import Songs", startPath, kLeadSheetFilter, QFileDialog::ExistingFiles, false))
    files.push_back(f.toStdString());
  return files;
}

std::string QtSongDialogs::ChooseStyle(const std::string& startPath) {
  return First(Run(parent_, "Style for the Song", startPath, kStyleFilter, QFileDialog::ExistingFile, false));
}

std::string QtSongDialogs::ChooseRegistrationBank(const std::string& startPath) {
  return First(Run(parent_, "Bank of Registrations", startPath, "Registrations (*.vreg);;All Files (*)",
                   QFileDialog::ExistingFile, false));
}

}  // namespace vambrio::platform
