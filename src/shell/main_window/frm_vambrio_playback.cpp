// The playback controls, on top of the playback controller.
#include "playback/assembly.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/section_combo.h"
#include "shell/common/shown_q.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

void frmVambrio::CreateController() {
  auto assemble = [this](int16_t section, const PlayChoices& choices) { AssembleSection(section, choices); };
  controller_ = std::make_unique<PlaybackController>(PlaybackParts{
      .model = model_,
      .sequencer = services_.sequencer,
      .clock = services_.clock,
      .timer = services_.timer,
      .view = *this,
      .messages = services_.messageBoxes,
      .errors = reporter_,
      .choices = [this] { return Choices(); },
      .assemble = assemble,
      .playerFile = services_.paths.playerTmpPath,
  });
}

void frmVambrio::cmdPlay_Click() {
  if (!ui_->cmdPlay->isEnabled()) return;
  // Without a SoundFont the synthesizer would play silence: say why instead.
  if (!model_.StyleFileName.empty() && services_.sound.SoundFont().empty()) {
    services_.messageBoxes.Show(services_.sound.MissingSoundFontText());
    return;
  }
  if (seamless_->Chosen() && !model_.StyleFileName.empty()) return seamless_->Play();
  controller_->CmdPlayClick();
}

void frmVambrio::cmdStop_Click() {
  if (seamless_->Playing()) return seamless_->Stop();
  controller_->CmdStopClick();
}

void frmVambrio::cboSections_DblClick() { cmdPlay_Click(); }

void frmVambrio::SetStatusText(const std::string& text) { ui_->lblStatus->setText(QString::fromStdString(ShownLines(text))); }

std::string frmVambrio::SectionText() const { return ui_->cboSections->currentText().toStdString(); }

void frmVambrio::SelectSection(int entry) { ui_->cboSections->setCurrentIndex(entry); }

void frmVambrio::SetPlayEnabled(bool enabled) {
  playEnabled_ = enabled;
  UpdateControls();
}

void frmVambrio::SetStopEnabled(bool enabled) {
  stopEnabled_ = enabled;
  UpdateControls();
}

void frmVambrio::SetDefaultButton(PlaybackButton button) {
  stopIsDefault_ = button == PlaybackButton::Stop;
  UpdateControls();
}

bool frmVambrio::RepeatOn() const { return ui_->chkRepeat->isChecked(); }

void frmVambrio::Repaint() { repaint(); }

}  // namespace vambrio
