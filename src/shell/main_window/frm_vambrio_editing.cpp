// The editing commands: master volume, initial volume events, tempo, save;
// and the Help and About menu items.
#include <QEvent>
#include <QMouseEvent>

#include "editing/edit_handlers.h"
#include "editing/save_style.h"
#include "editing/volume_events.h"
#include "shell/add_volume_events/frm_add_volume_events.h"
#include "shell/helpabout/frm_about.h"
#include "shell/helpabout/manual.h"
#include "shell/main_window/frm_vambrio.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

void frmVambrio::ConnectEditing() {
  // Only the user's own moves of the slider count as its click; loading sets its value too.
  connect(ui_->SlidMasterVolume, &QSlider::actionTriggered, this, [this] { Apply(SlidMasterVolume_Click()); });
  // The value beside the slider follows every change, the user's and the program's.
  connect(ui_->SlidMasterVolume, &QSlider::valueChanged, ui_->lblMasterVolume,
          [this](int value) { ui_->lblMasterVolume->setText(QString::number(value)); });
  ui_->lblMasterVolume->setText(QString::number(ui_->SlidMasterVolume->value()));
  // Room for the widest value, so that the slider keeps its length as the value changes.
  ui_->lblMasterVolume->setMinimumWidth(ui_->lblMasterVolume->fontMetrics().horizontalAdvance("127"));
  connect(ui_->cmdSet, &QPushButton::clicked, this,
          [this] { Apply(vambrio::cmdSet_Click(model_, ui_->SlidMasterVolume->value()).view); });
  connect(ui_->cmdRestore, &QPushButton::clicked, this, [this] { Apply(vambrio::cmdRestore_Click(model_)); });
  connect(ui_->mnuVolumeEvents, &QAction::triggered, this, &frmVambrio::mnuVolumeEvents_Click);
  connect(ui_->mnuSaveStyle, &QAction::triggered, this, &frmVambrio::mnuSaveStyle_Click);
  connect(ui_->mnuTempo, &QAction::triggered, this, &frmVambrio::TempoEdit);
  ui_->lblTempo->installEventFilter(this);
  connect(ui_->mnuHelp, &QAction::triggered, this,
          [this] { shell::ShowManual(services_.shell, services_.messageBoxes); });
  connect(ui_->mnuAbout, &QAction::triggered, this,
          [this] { shell::ShowAbout(this, services_.shell, services_.messageBoxes); });
}

bool frmVambrio::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->lblTempo && event->type() == QEvent::MouseButtonDblClick) {
    TempoEdit();  // lblTempo_DblClick
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmVambrio::Apply(const ControlChanges& changes) {
  if (changes.SetEnabled) styleVolumeSet_ = *changes.SetEnabled;
  if (changes.RestoreEnabled) styleVolumeRestore_ = *changes.RestoreEnabled;
  if (changes.MasterVolumeSlider) ui_->SlidMasterVolume->setValue(*changes.MasterVolumeSlider);
  if (changes.TempoLabel) ui_->lblTempo->setText(QString::fromStdString(*changes.TempoLabel));
  if (changes.EndPlayback) cmdStop_Click();
  UpdateControls();
}

void frmVambrio::mnuVolumeEvents_Click() {
  if (!vambrio::mnuVolumeEvents_Click(model_, services_.messageBoxes)) return;
  shell::frmAddVolumeEvents::Open(
      addVolumeEvents_, this, [this] { return AddVolumeEventsLabels(model_); },
      [this] {
        // OK acts on the style loaded now, which may not be the one the dialog was opened for.
        Apply(AddVolumeEvents_OK(model_, ui_->chkGM->isChecked(), services_.messageBoxes, reporter_).view);
      });
}

void frmVambrio::mnuSaveStyle_Click() {
  SaveServices save{services_.fileDialogs, services_.messageBoxes, reporter_, [this] { cmdStop_Click(); }};
  vambrio::mnuSaveStyle_Click(model_, save);
}

void frmVambrio::TempoEdit() {
  Apply(vambrio::TempoEdit(model_, services_.inputBox, services_.messageBoxes, reporter_).view);
}

}  // namespace vambrio
