// "MIDI Input" and "Sound Source" of the main window's Options menu: the
// keyboard the Arranger listens to, and where Play and the Arranger are
// heard. Both are kept in "Sound.ini"; a chosen port that is not connected
// is named in the status bar until it is back. The main window owns it.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/message_box.h"
#include "shell/midi/midi_routing.h"

class QLabel;
class QMenu;
class QStatusBar;

namespace vambrio {

class MidiPortMenus final : public QObject {
 public:
  struct Parts {
    MidiRouting& midi;
    QMenu* inputMenu;
    QMenu* sourceMenu;
    QStatusBar* statusBar;
    platform::MessageBoxes& messageBoxes;
    std::string configDir;     // where "Sound.ini" is ("" keeps nothing)
    std::string settingsFile;  // "Sound.ini"
    std::function<void()> stopPlaying;    // before the sound source changes
    std::function<void()> sourceChanged;  // after it changed
  };
  explicit MidiPortMenus(Parts parts, QObject* owner);

  // The ports kept in the settings, chosen again.
  void Load();
  // The status bar's word on the chosen ports (one gone, or back).
  void ShowNews();

 private:
  void FillPortMenu(QMenu* menu, const std::vector<std::pair<std::string, std::string>>& fixed,
                    const std::vector<std::string>& ports, const std::string& chosen,
                    const std::function<void(const std::string&)>& choose);
  void ChooseInput(const std::string& port);
  void ChooseSoundSource(const std::string& port);
  void Save();
  void ShowPortState();

  Parts p_;
  QLabel* lblMidiPorts_ = nullptr;
};

}  // namespace vambrio
