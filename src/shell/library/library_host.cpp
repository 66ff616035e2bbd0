#include "shell/library/library_host.h"

#include <QWidget>

#include "shell/library/frm_library.h"

namespace vambrio::shell {

LibraryHost::LibraryHost(QWidget& owner, platform::MessageBoxes& boxes, StylePreview* preview,
                         std::function<void(const std::string&)> openStyle,
                         std::function<void(const std::string&)> openInArranger)
    : owner_(owner),
      boxes_(boxes),
      preview_(preview),
      openStyle_(std::move(openStyle)),
      openInArranger_(std::move(openInArranger)) {}

LibraryHost::~LibraryHost() = default;

void LibraryHost::Show() {
  if (!window_) {
    LibraryWindowServices services{library::DefaultDatabaseFile(), boxes_, folderDialog_, preview_, {},
                                   openInArranger_};
    services.openStyle = [this](const std::string& path) {
      openStyle_(path);
      owner_.raise();
      owner_.activateWindow();
    };
    window_ = std::make_unique<frmLibrary>(std::move(services));
    window_->setWindowIcon(owner_.windowIcon());
    folderDialog_.SetParent(window_.get());
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void LibraryHost::Close() {
  if (window_) window_->close();
}

}  // namespace vambrio::shell
