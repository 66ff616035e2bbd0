// The library window of the program: made when first asked for, opening
// styles through the callback it is given (the main window's opening), beside
// the window it is shown for. Whoever makes it calls Show and Close.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/message_box.h"
#include "platform/desktop/qt_folder_dialog.h"
#include "shell/library/style_preview.h"

class QWidget;

namespace vambrio {
namespace shell {
class frmLibrary;

class LibraryHost {
 public:
  // owner: the window a chosen style opens in (raised then, and whose icon the
  // library shows); openStyle opens a style there. preview may be null (no
  // preview controls); openInArranger empty (no Arranger button).
  LibraryHost(QWidget& owner, platform::MessageBoxes& boxes, StylePreview* preview,
              std::function<void(const std::string&)> openStyle,
              std::function<void(const std::string&)> openInArranger = {});
  ~LibraryHost();

  void Show();
  void Close();

 private:
  QWidget& owner_;
  platform::MessageBoxes& boxes_;
  StylePreview* preview_;
  std::function<void(const std::string&)> openStyle_;
  std::function<void(const std::string&)> openInArranger_;
  platform::QtFolderDialog folderDialog_;
  std::unique_ptr<frmLibrary> window_;
};

}  // namespace shell
}  // namespace vambrio
