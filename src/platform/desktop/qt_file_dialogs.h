// Open and save dialogs on QFileDialog.
#pragma once

#include <QPointer>
#include <QWidget>

class QFileDialog;

#include "editing/file_dialogs.h"

namespace vambrio::platform {

// The style filter of the open and save dialogs.
inline constexpr const char* kStyleFileFilter = "Style Files (*.sty *.pcs *.sst *.pst *.prs *.bcs *.fps)";
inline constexpr const char* kSoundFontFilter = "SoundFont Files (*.sf2 *.sf3)";

// A file dialog opens in the detailed view at a size where the names,
// sizes and dates are not cut.
void GiveRoom(QFileDialog& dialog);

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
