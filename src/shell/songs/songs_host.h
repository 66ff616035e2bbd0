// The program's Songs window: made when first asked for (the "&Songs" menu
// of the main window and the Arranger, or vambrio --songs), playing its
// songs in the Arranger window.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop/qt_song_dialogs.h"
#include "shell/songs/arranger_stage.h"
#include "editing/input_box.h"
#include "model/message_box.h"

namespace vambrio {

class frmSongs;
namespace keyboard {
class PlayerKeyboard;
}

class SongsHost {
 public:
  SongsHost(std::function<frmArranger&()> arranger, std::function<std::string()> mainStyle, platform::MessageBoxes& boxes,
            platform::InputBox& input, std::string settingsPath, keyboard::PlayerKeyboard* keyboard);
  ~SongsHost();

  // A "&Songs" entry in the window's menu bar, before its help.
  void AddMenuTo(QMainWindow& window);
  // Shows the window; with a set list's file, opens it.
  void Show(const std::string& setList = {});
  void Close();
  // The session ends: the window closes without asking.
  void OnSessionEnding();

 private:
  ArrangerStage stage_;
  platform::QtSongDialogs dialogs_;
  platform::MessageBoxes& boxes_;
  platform::InputBox& input_;
  std::string settingsPath_;
  keyboard::PlayerKeyboard* keyboard_;
  std::unique_ptr<frmSongs> window_;
};

}  // namespace vambrio
