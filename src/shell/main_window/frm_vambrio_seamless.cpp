// The window's side of "Play seamlessly" (seamless_play.h): what the user
// changes is passed on, and the controller reads and sets the window
// through SeamlessView.
#include <QAction>
#include <QCheckBox>
#include <QRadioButton>

#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/seamless_play.h"
#include "shell/main_window/section_combo.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

void frmVambrio::SetUpSeamless() {
  seamless_ = new SeamlessPlay(services_.seamless, model_, *this, services_.messageBoxes,
                               services_.paths.SoundSettingsFile(),
                               ui_->mnuOptions, ui_->mnuSysex);
  // The controller is the connections' context: gone with it, they never reach it.
  SeamlessPlay* play = seamless_;
  for (int part = 0; part < 8; ++part)
    connect(PartBox(part), &QCheckBox::toggled, play, [play, part](bool on) { play->PartChanged(part, on); });
  for (QRadioButton* option : {ui_->OptMajor, ui_->OptMinor, ui_->OptAnyChord})
    connect(option, &QRadioButton::toggled, play, [play](bool on) {
      if (on) play->ChordChanged();
    });
  connect(ui_->cboChordRoot, &QComboBox::currentIndexChanged, play, [play] { play->ChordChanged(); });
  connect(ui_->cboChordType, &QComboBox::currentIndexChanged, play, [play] { play->ChordChanged(); });
  connect(ui_->chkRepeat, &QCheckBox::toggled, play, [play](bool on) { play->RepeatChanged(on); });
  connect(ui_->cboSections, &SectionCombo::currentIndexChanged, play, [play] { play->SectionChanged(); });
}

bool frmVambrio::PlayingSeamlessly() const { return seamless_->Playing(); }

PlayChoices frmVambrio::PlayChoicesNow() const { return Choices(); }

// C major or C minor as the classic Play has them, else the chosen chord.
live::LiveCommand frmVambrio::ChordCommand() const {
  live::LiveCommand c = live::Command(live::LiveCommand::Kind::Chord);
  if (const std::optional<Chord> chord = ChosenChord()) {
    c.chord = *chord;
  } else {
    c.chord = *ParseChord(ui_->OptMinor->isChecked() ? "Cm" : "C");
  }
  return c;
}

std::string frmVambrio::ChosenSectionText() const { return SectionText(); }

bool frmVambrio::RepeatChosen() const { return RepeatOn(); }

void frmVambrio::ShowSectionEntry(int entry) { SelectSection(entry); }

void frmVambrio::WritePlayerFile(int16_t section, const PlayChoices& choices) { AssembleSection(section, choices); }

void frmVambrio::ShowPlaying(bool playing, const std::string& status) {
  playEnabled_ = !playing;
  stopEnabled_ = playing;
  stopIsDefault_ = playing;
  SetStatusText(status);
  UpdateControls();
}

}  // namespace vambrio
