// The library window of the program: made when first asked for, opening
// styles in the main window, closed when the main window unloads.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/message_box.h"
#include "platform/qt_folder_dialog.h"
#include "shell/library/style_preview.h"

namespace vambrio {
class frmVambrio;

namespace shell {
class FrmLibrary;

class LibraryHost {
 public:
  // preview may be null (no preview controls); openInArranger empty (no Arranger button).
  LibraryHost(frmVambrio& main, platform::MessageBoxes& boxes, StylePreview* preview,
              std::function<void(const std::string&)> openInArranger = {});
  ~LibraryHost();

  void Show();
  void Close();

 private:
  frmVambrio& main_;
  platform::MessageBoxes& boxes_;
  StylePreview* preview_;
  std::function<void(const std::string&)> openInArranger_;
  platform::QtFolderDialog folderDialog_;
  std::unique_ptr<FrmLibrary> window_;
};

}  // namespace shell
}  // namespace vambrio
