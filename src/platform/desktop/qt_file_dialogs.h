// Open and save dialogs on QFileDialog.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <string>

#include "editing/file_dialogs.h"

namespace vambrio::platform {

// The style filter of the open and save dialogs.
inline constexpr const char* kStyleFileFilter = "Style Files (*.sty *.pcs *.sst *.pst *.prs *.bcs *.fps)";
inline constexpr const char* kSoundFontFilter = "SoundFont Files (*.sf2 *.sf3)";
inline constexpr const char* kRegistrationFilter = "Registrations (*.vreg);;All Files (*)";

// What one open or save dialog asks for.
struct FileDialogAsk {
  QString title;
  std::string startPath;  // a folder opens there; a file opens its folder with the file selected
  QString filter;
  bool save = false;
  QString defaultSuffix = {};    // saving: added to a name typed without one
  bool confirmOverwrite = true;  // saving: the dialog asks before a file is replaced
  bool manyFiles = false;        // opening: several files may be chosen
};

// The files chosen in a dialog that opens in the detailed view at a size
// where the names, sizes and dates are not cut; none when it is cancelled.
QStringList AskForFiles(QWidget* parent, const FileDialogAsk& ask);

class QtFileDialogs final : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> OpenStyle(const std::string& startPath) override;
  // The replace question is the caller's: the dialog does not ask it.
  std::optional<std::string> SaveStyle(const std::string& startPath, const std::string& defaultSuffix) override;
  std::optional<std::string> OpenSoundFont(const std::string& startPath) override;

 private:
  std::optional<std::string> Run(const QString& title, const std::string& startPath, const QString& filter,
                                 bool save, const std::string& defaultSuffix);
  QPointer<QWidget> parent_;
};

}  // namespace vambrio::platform
