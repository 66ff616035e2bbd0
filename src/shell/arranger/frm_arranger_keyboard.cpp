// The Arranger window's MIDI keyboard: split point (also set by a key), chord
// memory, the right hand's voice and channel, MIDI learn of the arranger's
// controls, and what the keyboard is doing. All of it is kept in "Sound.ini".
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <algorithm>

#include "chord/chord_name.h"
#include "keyboard/player_keyboard.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/arranger/parts_panel.h"
#include "shell/common/learned_keys.h"
#include "ui_frm_arranger.h"

namespace vambrio {
namespace {

using keyboard::Control;

QString NoteName(int note) {
  static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  return QString("%1%2").arg(kNames[note % 12]).arg(note / 12 - 1);
}

// "controller 80, channel 1", "key C4 (60), channel 10", "program 5, channel 1".
QString MessageWords(keyboard::LearnedKey key) {
  const int channel = (key.status & 0x0F) + 1;
  switch (key.status & 0xF0) {
    case 0x90: return QString("key %1 (%2), channel %3").arg(NoteName(key.data)).arg(key.data).arg(channel);
    case 0xB0: return QString("controller %1, channel %2").arg(key.data).arg(channel);
    default: return QString("program %1, channel %2").arg(key.data + 1).arg(channel);
  }
}

}  // namespace

void frmArranger::SetKeyboard(keyboard::PlayerKeyboard* keyboard) {
  keyboard_ = keyboard;
  ui_->fraKeyboard->setVisible(keyboard_ != nullptr);
  if (!keyboard_) return;
  if (ui_->cboRightVoice->count() == 0) ConnectKeyboard();
  LoadKeyboardSettings();
  MakeKeyboardParts();
  RefreshKeyboard();
}

void frmArranger::ConnectKeyboard() {
  AddGmVoices(ui_->cboRightVoice);
  connect(ui_->chkSplit, &QCheckBox::toggled, this, [this](bool on) {
    keyboard_->Router().SetSplitOn(on);
    ui_->spnSplit->setEnabled(on);
    ui_->cmdSetSplit->setEnabled(on);
    SaveKeyboardSettings();
  });
  connect(ui_->spnSplit, &QSpinBox::valueChanged, this, [this](int note) {
    keyboard_->Router().SetSplitNote(note);
    ui_->lblSplitNote->setText(NoteName(note));
    SaveKeyboardSettings();
  });
  connect(ui_->cmdSetSplit, &QPushButton::toggled, this, [this](bool on) {
    settingSplit_ = on;
    if (on) {
      keyboard_->Router().ArmSetSplit();
      statusBar()->showMessage("Press the key that is to be the highest of the left hand.");
    } else {
      keyboard_->Router().CancelModes();
      statusBar()->clearMessage();
    }
  });
  connect(ui_->chkChordMemory, &QCheckBox::toggled, this, [this](bool on) {
    keyboard_->Router().SetChordMemory(on);
    SaveKeyboardSettings();
  });
  connect(ui_->cboRightVoice, &QComboBox::currentIndexChanged, this, [this](int program) {
    keyboard_->SetRightVoice(program);
    SaveKeyboardSettings();
  });
  connect(ui_->spnRightChannel, &QSpinBox::valueChanged, this, [this](int channel) {
    keyboard_->Router().SetRightChannel(channel - 1);
    SaveKeyboardSettings();
  });
  connect(ui_->cmdLearn, &QPushButton::toggled, this, &frmArranger::cmdLearn_Toggle);
  // While a control waits for its message: Esc gives up, Delete forgets what it had.
  cancelLearning_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  forgetLearned_ = new QShortcut(QKeySequence(Qt::Key_Delete), this);
  cancelLearning_->setEnabled(false);
  forgetLearned_->setEnabled(false);
  connect(cancelLearning_, &QShortcut::activated, this, [this] { CancelLearning(false); });
  connect(forgetLearned_, &QShortcut::activated, this, [this] { CancelLearning(true); });
  // The tempo box is learned when it is clicked or tabbed to.
  ui_->spnTempo->installEventFilter(this);
  if (auto* edit = ui_->spnTempo->findChild<QLineEdit*>()) edit->installEventFilter(this);
}

void frmArranger::cmdLearn_Toggle(bool on) {
  if (ui_->cmdLearn->isChecked() != on) return ui_->cmdLearn->setChecked(on);
  if (!on) CancelLearning(false);
  statusBar()->showMessage(on ? "MIDI learn: press a control of this window, then a pad, key or controller of the "
                                "keyboard. Learn again to end."
                              : "");
}

bool frmArranger::eventFilter(QObject* watched, QEvent* event) {
  const bool tempoBox = watched == ui_->spnTempo || watched->parent() == ui_->spnTempo;
  if (tempoBox && ui_->cmdLearn->isChecked() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn)) {
    LearnInstead(Control::Tempo);
    return event->type() == QEvent::MouseButtonPress;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool frmArranger::Learning() const { return keyboard_ && ui_->cmdLearn->isChecked(); }

// Auto Fill pressed on the keyboard: the box follows while the arranger plays
// (then every command is in force within a block, and a click of the box
// is never undone by a state that has not caught up yet).
void frmArranger::FollowAutoFill(const live::LiveState& s) {
  if (!s.playing || s.autoFill == seenAutoFill_) return;
  seenAutoFill_ = s.autoFill;
  if (ui_->chkAutoFill->isChecked() == s.autoFill) return;
  const QSignalBlocker quiet(ui_->chkAutoFill);
  ui_->chkAutoFill->setChecked(s.autoFill);
}

// In learn mode a control's press arms it: true when it did.
bool frmArranger::LearnInstead(Control control) {
  if (!Learning()) return false;
  learning_ = control;
  keyboard_->Router().ArmLearn(control);
  cancelLearning_->setEnabled(true);
  forgetLearned_->setEnabled(true);
  statusBar()->showMessage(QString("%1: press a pad, key or controller of the keyboard (Esc: cancel, Delete: forget "
                                   "the one it has).")
                               .arg(live::RowOf(control).caption));
  return true;
}

void frmArranger::CancelLearning(bool forget) {
  if (!learning_) return;
  keyboard_->Router().CancelModes();
  if (forget) keyboard_->Router().SetLearned(*learning_, {});
  LearningEnded();
}

// Learning has ended (a message learned, cancelled or forgotten): what the
// control answers to now is shown and kept.
void frmArranger::LearningEnded() {
  const Control control = *learning_;
  learning_.reset();
  cancelLearning_->setEnabled(false);
  forgetLearned_->setEnabled(false);
  ShowLearned(control);
  SaveKeyboardSettings();
}

void frmArranger::ShowLearned(Control control) {
  const keyboard::LearnedKey key = keyboard_->Router().Learned(control);
  statusBar()->showMessage(key.Empty() ? QString("%1: no MIDI message").arg(live::RowOf(control).caption)
                                       : QString("%1: %2").arg(live::RowOf(control).caption, MessageWords(key)));
}

// What the keyboard did since the last refresh: a control learned, a split
// point set by a key, the chord of the left hand.
void frmArranger::RefreshKeyboard() {
  if (!keyboard_) return;
  service_.KeepKeyboardAttached(isVisible() && keyboard_->Listening());
  keyboard::KeyboardRouter& router = keyboard_->Router();
  if (learning_ && !router.LearnArmed()) LearningEnded();
  if (settingSplit_ && !router.SetSplitArmed()) {
    settingSplit_ = false;
    ui_->spnSplit->setValue(router.SplitNote());
    ui_->cmdSetSplit->setChecked(false);
    statusBar()->showMessage(QString("Split point: %1 (%2)").arg(NoteName(router.SplitNote())).arg(router.SplitNote()));
  }
  QString text;
  if (!keyboard_->Listening()) {
    text = "No MIDI input: choose one in the main window, Options > MIDI Input.";
  } else {
    const std::optional<Chord> chord = keyboard_->LastChord();
    text = QString("Keyboard: %1").arg(QString::fromStdString(keyboard_->InputName()));
    if (router.SplitOn()) text += QString("    Left hand: %1").arg(chord ? QString::fromStdString(ChordName(*chord)) : "-");
  }
  if (ui_->lblKeyboard->text() != text) ui_->lblKeyboard->setText(text);
}

void frmArranger::LoadKeyboardSettings() {
  if (settingsPath_.empty()) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.beginGroup("Keyboard");
  ui_->chkSplit->setChecked(file.value("Split", true).toBool());
  ui_->spnSplit->setValue(std::clamp(file.value("SplitNote", keyboard::kDefaultSplitNote).toInt(), 0, 127));
  ui_->chkChordMemory->setChecked(file.value("ChordMemory", true).toBool());
  ui_->cboRightVoice->setCurrentIndex(std::clamp(file.value("RightVoice", keyboard::kDefaultRightVoice).toInt(), 0, 127));
  ui_->spnRightChannel->setValue(std::clamp(file.value("RightChannel", 1).toInt(), 1, 16));
  file.endGroup();
  // The widgets hand their values on when they change; the defaults too.
  keyboard::KeyboardRouter& router = keyboard_->Router();
  router.SetSplitOn(ui_->chkSplit->isChecked());
  router.SetSplitNote(ui_->spnSplit->value());
  router.SetChordMemory(ui_->chkChordMemory->isChecked());
  router.SetRightChannel(ui_->spnRightChannel->value() - 1);
  keyboard_->SetRightVoice(ui_->cboRightVoice->currentIndex());
  ui_->lblSplitNote->setText(NoteName(ui_->spnSplit->value()));
  file.beginGroup(kLearnedKeysGroup);
  for (int c = 0; c < keyboard::kControlCount; ++c) {
    const auto control = static_cast<Control>(c);
    router.SetLearned(control, ReadLearnedKey(file, control).value_or(keyboard::LearnedKey{}));
  }
}

void frmArranger::SaveKeyboardSettings() {
  if (settingsPath_.empty() || !keyboard_) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.beginGroup("Keyboard");
  file.setValue("Split", ui_->chkSplit->isChecked());
  file.setValue("SplitNote", ui_->spnSplit->value());
  file.setValue("ChordMemory", ui_->chkChordMemory->isChecked());
  file.setValue("RightVoice", ui_->cboRightVoice->currentIndex());
  file.setValue("RightChannel", ui_->spnRightChannel->value());
  file.endGroup();
  file.beginGroup(kLearnedKeysGroup);
  for (int c = 0; c < keyboard::kControlCount; ++c) {
    const auto control = static_cast<Control>(c);
    WriteLearnedKey(file, control, keyboard_->Router().Learned(control));
  }
}

}  // namespace vambrio
