#include "shell/library/library_host.h"

#include <QObject>

#include "shell/library/frm_library.h"
#include "shell/main_window/frm_vambrio.h"

namespace vambrio::shell {

LibraryHost::LibraryHost(frmVambrio& main, platform::MessageBoxes& boxes, StylePreview* preview,
                         std::function<void(const std::string&)> openInArranger)
    : main_(main), boxes_(boxes), preview_(preview), openInArranger_(std::move(openInArranger)) {
  QObject::connect(&main_, &frmVambrio::libraryRequested, &main_, [this] { Show(); });
  QObject::connect(&main_, &frmVambrio::unloadedWindow, &main_, [this] { Close(); });
}

LibraryHost::~LibraryHost() = default;

void LibraryHost::Show() {
  if (!window_) {
    LibraryWindowServices services{library::DefaultDatabaseFile(), boxes_, folderDialog_, preview_, {},
                                   openInArranger_};
    services.openStyle = [this](const std::string& path) {
      main_.OpenStyle(path);
      main_.raise();
      main_.activateWindow();
    };
    window_ = std::make_unique<FrmLibrary>(std::move(services));
    window_->setWindowIcon(main_.windowIcon());
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
