#include "shell/songs/frm_songs.h"  // first: its headers come before Qt's
#include "shell/songs/songs_host.h"

#include <QAction>
#include <QMenuBar>

namespace vambrio {

SongsHost::SongsHost(std::function<frmArranger&()> arranger, std::function<std::string()> mainStyle,
                     platform::MessageBoxes& boxes, platform::InputBox& input, std::string settingsPath,
                     keyboard::PlayerKeyboard* keyboard)
    : stage_(std::move(arranger), std::move(mainStyle)),
      boxes_(boxes),
      input_(input),
      settingsPath_(std::move(settingsPath)),
      keyboard_(keyboard) {}

SongsHost::~SongsHost() = default;

void SongsHost::AddMenuTo(QMainWindow& window) {
  auto* songs = new QAction("&Songs", &window);
  songs->setObjectName("mnuSongs");
  songs->setToolTip("The set list: songs imported from iReal Pro, ChordPro and MusicXML, played in the Arranger");
  QObject::connect(songs, &QAction::triggered, &window, [this] { Show(); });
  QAction* before = nullptr;
  for (QAction* a : window.menuBar()->actions())
    if (a->objectName() == "mnuHelp" || a->text().contains("Help")) before = before ? before : a;
  window.menuBar()->insertAction(before, songs);
}

void SongsHost::Show(const std::string& setList) {
  if (!window_) {
    window_ = std::make_unique<frmSongs>(SongsWindowServices{stage_, dialogs_, boxes_, input_, settingsPath_, keyboard_});
    dialogs_.SetParent(window_.get());
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
  if (!setList.empty()) window_->OpenSetList(setList);
}

void SongsHost::OnSessionEnding() {
  if (window_) window_->OnSessionEnding();
}

void SongsHost::Close() {
  if (window_) window_->close();
}

}  // namespace vambrio
