// The editing commands of the main window: the master volume (SlidMasterVolume
// with "Set" and "Restore"), "Add &Initial Volume Events...", "&Edit Tempo"
// (and a double-click on lblTempo) and "&Save Style As...". Each runs the
// edit on the loaded style and applies the changes it reports to the
// controls. The main window owns it and reads which buttons it enables.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "editing/edit_handlers.h"
#include "editing/file_dialogs.h"
#include "editing/input_box.h"
#include "model/errors.h"
#include "model/message_box.h"
#include "model/style_model.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;

namespace vambrio {
namespace shell {
class frmAddVolumeEvents;
}

class StyleEditing final : public QObject {
 public:
  struct Parts {
    StyleModel& model;
    platform::FileDialogs& fileDialogs;
    platform::MessageBoxes& messages;
    platform::InputBox& input;
    ErrorSink& errors;
    QWidget* window;            // the dialogs' parent
    QSlider* masterVolume;      // SlidMasterVolume
    QLabel* masterVolumeValue;  // its value beside it
    QPushButton* set;           // cmdSet
    QPushButton* restore;       // cmdRestore
    QLabel* tempo;              // lblTempo
    QCheckBox* gm;              // chkGM: the player type the volume events are written for
    QAction* volumeEventsItem;
    QAction* saveStyleItem;
    QAction* tempoItem;
    std::function<void()> stop;     // presses Stop
    std::function<void()> changed;  // the controls' enabled states are to be set again
  };
  StyleEditing(Parts parts, QObject* owner);

  // Whether "Set" and "Restore" are enabled.
  bool SetEnabled() const { return setEnabled_; }
  bool RestoreEnabled() const { return restoreEnabled_; }
  // A new start: both disabled.
  void Reset();

  void mnuVolumeEvents_Click();
  void mnuSaveStyle_Click();
  void TempoEdit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply(const ControlChanges& changes);

  Parts p_;
  bool setEnabled_ = false;
  bool restoreEnabled_ = false;
  QPointer<shell::frmAddVolumeEvents> addVolumeEvents_;
};

}  // namespace vambrio
