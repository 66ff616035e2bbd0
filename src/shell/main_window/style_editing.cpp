#include "shell/main_window/style_editing.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "editing/save_style.h"
#include "editing/volume_events.h"
#include "shell/add_volume_events/frm_add_volume_events.h"

namespace vambrio {

StyleEditing::StyleEditing(Parts parts, QObject* owner) : QObject(owner), p_(std::move(parts)) {
  QSlider* slider = p_.masterVolume;
  QLabel* value = p_.masterVolumeValue;
  // Only the user's own moves of the slider count as its click; loading sets its value too.
  connect(slider, &QSlider::actionTriggered, this, [this] { Apply(SlidMasterVolume_Click()); });
  // The value beside the slider follows every change, the user's and the program's.
  connect(slider, &QSlider::valueChanged, value, [value](int v) { value->setText(QString::number(v)); });
  value->setText(QString::number(slider->value()));
  // Room for the widest value, so that the slider keeps its length as the value changes.
  value->setMinimumWidth(value->fontMetrics().horizontalAdvance("127"));
  connect(p_.set, &QPushButton::clicked, this,
          [this] { Apply(vambrio::cmdSet_Click(p_.model, p_.masterVolume->value()).view); });
  connect(p_.restore, &QPushButton::clicked, this, [this] { Apply(vambrio::cmdRestore_Click(p_.model)); });
  connect(p_.volumeEventsItem, &QAction::triggered, this, &StyleEditing::mnuVolumeEvents_Click);
  connect(p_.saveStyleItem, &QAction::triggered, this, &StyleEditing::mnuSaveStyle_Click);
  connect(p_.tempoItem, &QAction::triggered, this, &StyleEditing::TempoEdit);
  p_.tempo->installEventFilter(this);
}

void StyleEditing::Reset() {
  setEnabled_ = false;
  restoreEnabled_ = false;
}

bool StyleEditing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == p_.tempo && event->type() == QEvent::MouseButtonDblClick) {
    TempoEdit();  // lblTempo_DblClick
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void StyleEditing::Apply(const ControlChanges& changes) {
  if (changes.SetEnabled) setEnabled_ = *changes.SetEnabled;
  if (changes.RestoreEnabled) restoreEnabled_ = *changes.RestoreEnabled;
  if (changes.MasterVolumeSlider) p_.masterVolume->setValue(*changes.MasterVolumeSlider);
  if (changes.TempoLabel) p_.tempo->setText(QString::fromStdString(*changes.TempoLabel));
  if (changes.EndPlayback) p_.stop();
  p_.changed();
}

void StyleEditing::mnuVolumeEvents_Click() {
  if (!vambrio::mnuVolumeEvents_Click(p_.model, p_.messages)) return;
  shell::frmAddVolumeEvents::Open(
      addVolumeEvents_, p_.window, [this] { return AddVolumeEventsLabels(p_.model); },
      [this] {
        // OK acts on the style loaded now, which may not be the one the dialog was opened for.
        Apply(AddVolumeEvents_OK(p_.model, p_.gm->isChecked(), p_.messages, p_.errors).view);
      });
}

void StyleEditing::mnuSaveStyle_Click() {
  SaveServices save{p_.fileDialogs, p_.messages, p_.errors, p_.stop};
  vambrio::mnuSaveStyle_Click(p_.model, save);
}

void StyleEditing::TempoEdit() {
  Apply(vambrio::TempoEdit(p_.model, p_.input, p_.messages, p_.errors).view);
}

}  // namespace vambrio
