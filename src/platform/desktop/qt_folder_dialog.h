// The folder dialog on Qt.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/desktop/folder_dialog.h"

namespace vambrio::platform {

class QtFolderDialog final : public FolderDialog {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::optional<std::string> ChooseFolder(const std::string& startPath) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace vambrio::platform
