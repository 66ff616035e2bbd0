// The Arranger window on stage: the style's One Touch Settings (recalled
// for the player's parts by their buttons, and by the Main that starts with
// OTS Link on), the player's parts Right 1, Right 2 and Left, and the
// registrations (frm_arranger_registration.cpp).
#include <QGridLayout>

#include "keyboard/player_keyboard.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/arranger/ots_panel.h"
#include "shell/arranger/parts_panel.h"
#include "ui_frm_arranger.h"

namespace vambrio {

void frmArranger::MakeStagePanels() {
  ots_ = new OtsPanel(
      [this](int setting, bool byLink) {
        // The link's recall is made by the keyboard on the bar line; a button's here.
        if (keyboard_ && !byLink) keyboard_->RecallSetting(setting);
      },
      [this](bool on) {
        if (keyboard_) keyboard_->SetOtsLink(on);
      },
      this);
  ui_->layout_keyboard->addWidget(ots_, ui_->layout_keyboard->rowCount(), 0, 1, -1);
  MakeRegistrationPanel();
}

// Once a keyboard is given: Right 1 (with the frame's voice list), Right 2 and Left.
void frmArranger::MakeKeyboardParts() {
  if (!parts_) {
    ui_->layout_keyboard->removeWidget(ui_->cboRightVoice);
    ui_->lblRightVoice->hide();
    parts_ = new PartsPanel(*keyboard_, ui_->cboRightVoice, settingsPath_, this);
    ui_->layout_keyboard->addWidget(parts_, ui_->layout_keyboard->rowCount(), 0, 1, -1);
  }
  parts_->Load();
  keyboard_->SetOtsLink(ots_->Link());
  registrationPressesSeen_ = keyboard_->RegistrationPresses();
  StageStyleOpened();
}

void frmArranger::StageStyleOpened() {
  ots_->SetSettings(style_.ots);
  if (!keyboard_) return;
  std::vector<keyboard::PartSetup> setups;
  for (size_t i = 0; i < style_.ots.size(); ++i)
    setups.push_back(style_.ots[i].usable ? keyboard::SetupOf(style_.ots[i], static_cast<int>(i)) : keyboard::PartSetup{});
  keyboard_->SetSettings(setups);
}

void frmArranger::RefreshStage(const live::LiveState& s) {
  const bool known = s.playing && s.section >= 0 && static_cast<size_t>(s.section) < style_.sections.size();
  ots_->FollowSection(known ? style_.sections[static_cast<size_t>(s.section)] : "");
  if (parts_) parts_->Refresh();
  FollowPendingStyle(s);
  FollowRegistrationControls();
}

}  // namespace vambrio
