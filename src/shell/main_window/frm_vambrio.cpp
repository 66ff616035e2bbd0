#include "shell/main_window/frm_vambrio.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

#include "shell/helpabout/frm_about.h"
#include "shell/helpabout/manual.h"
#include "shell/main_window/pc_volume_slider.h"
#include "shell/main_window/play_controls.h"
#include "shell/main_window/section_combo.h"
#include "shell/main_window/style_editing.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

frmVambrio::frmVambrio(WindowServices services, std::string commandLine, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::frmVambrio>()),
      services_(std::move(services)),
      commandLine_(std::move(commandLine)),
      reporter_(services_.messageBoxes),
      model_(MakeStartupModel()) {
  Form_Initialize();
}

frmVambrio::~frmVambrio() = default;

void frmVambrio::Form_Initialize() {
  ui_->setupUi(this);
  ui_->cmdPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  ui_->cmdStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  SetUpControllers();
  ConnectControls();
  UpdateControls();
}

void frmVambrio::ConnectControls() {
  connect(ui_->mnuOpen, &QAction::triggered, this, &frmVambrio::mnuOpen_Click);
  connect(ui_->mnuLibrary, &QAction::triggered, this, &frmVambrio::libraryRequested);
  connect(ui_->mnuExit, &QAction::triggered, this, &frmVambrio::mnuExit_Click);
  connect(ui_->chkGM, &QCheckBox::toggled, this, &frmVambrio::chkGM_Click);
  connect(ui_->cmdPlay, &QPushButton::clicked, this, &frmVambrio::cmdPlay_Click);
  connect(ui_->cmdStop, &QPushButton::clicked, this, &frmVambrio::cmdStop_Click);
  connect(ui_->cboSections, &SectionCombo::itemDoubleClicked, this, &frmVambrio::cmdPlay_Click);  // cboSections_DblClick
  connect(ui_->cmdAllCheck, &QPushButton::clicked, this, &frmVambrio::cmdAllCheck_Click);
  connect(ui_->cmdUnCheck, &QPushButton::clicked, this, &frmVambrio::cmdUnCheck_Click);
  connect(ui_->mnuArranger, &QAction::triggered, this, [this] {
    if (services_.openArranger) services_.openArranger(model_.StyleFileName);
  });
  connect(ui_->mnuHelp, &QAction::triggered, this,
          [this] { shell::ShowManual(services_.shell, services_.messageBoxes); });
  connect(ui_->mnuAbout, &QAction::triggered, this,
          [this] { shell::ShowAbout(this, services_.shell, services_.messageBoxes); });
}

void frmVambrio::UpdateControls() {
  ui_->cmdPlay->setEnabled(play_->PlayEnabled());
  ui_->cmdStop->setEnabled(play_->StopEnabled());
  ui_->cmdSet->setEnabled(editing_->SetEnabled());
  ui_->cmdRestore->setEnabled(editing_->RestoreEnabled());
  ui_->sliderVol->setEnabled(pcVolume_->Enabled());
  ui_->cboChordRoot->setEnabled(ui_->OptAnyChord->isChecked());
  ui_->cboChordType->setEnabled(ui_->OptAnyChord->isChecked());

  // A main window has no default button of its own: the one chosen here is
  // drawn as the default and pressed by Enter (keyPressEvent).
  QPushButton* wanted = play_->StopIsDefault() ? ui_->cmdStop : ui_->cmdPlay;
  if (defaultButton_ != wanted) {
    if (defaultButton_) defaultButton_->setDefault(false);
    defaultButton_ = wanted;
    defaultButton_->setDefault(true);
  }
}

void frmVambrio::keyPressEvent(QKeyEvent* event) {
  // Keys that the focused control leaves alone arrive here, as in a dialog.
  bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (enter && mods == Qt::NoModifier) {
    // A button that has the focus is pressed itself, as on any desktop;
    // from anywhere else Enter presses the default button.
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QPushButton* target = focused ? focused : defaultButton_;
    if (target && target->isEnabled()) target->click();
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

QCheckBox* frmVambrio::PartBox(int index) const {
  QCheckBox* boxes[] = {ui_->chkPart0, ui_->chkPart1, ui_->chkPart2, ui_->chkPart3,
                        ui_->chkPart4, ui_->chkPart5, ui_->chkPart6, ui_->chkPart7};
  return boxes[index];
}

void frmVambrio::SetAllParts(bool checked) {
  for (int i = 0; i < 8; ++i) PartBox(i)->setChecked(checked);
}

void frmVambrio::cmdAllCheck_Click() { SetAllParts(true); }

void frmVambrio::cmdUnCheck_Click() { SetAllParts(false); }

void frmVambrio::cmdPlay_Click() {
  if (ui_->cmdPlay->isEnabled()) play_->Play();
}

void frmVambrio::cmdStop_Click() { play_->Stop(); }

bool frmVambrio::Playing() const { return play_->Playing(); }

std::optional<Chord> frmVambrio::ChosenChord() const { return play_->ChosenChord(); }

PlayChoices frmVambrio::Choices() const {
  PlayChoices c;
  for (int i = 0; i < 8; ++i) c.Parts[static_cast<size_t>(i)] = PartBox(i)->isChecked() ? 1 : 0;
  c.GmPlayer = ui_->chkGM->isChecked();
  c.Minor = ui_->OptMinor->isChecked();
  c.IncludeSysex = ui_->mnuSysex->isChecked();
  c.XgSystemOn = ui_->chkXG->isChecked();
  return c;
}

}  // namespace vambrio
