// Start-up, the settings file and the end of the program.
#include <QCloseEvent>
#include <filesystem>

#include "shell/helpabout/frm_about.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/midi_port_menus.h"
#include "shell/main_window/pc_volume_slider.h"
#include "shell/main_window/play_controls.h"
#include "shell/main_window/sound_settings.h"
#include "shell/main_window/style_editing.h"
#include "model/settings_file.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

std::string SettingsPaths::SettingsFile() const {
  return configDir.empty() ? std::string() : (std::filesystem::path(configDir) / kSettingsFileName).string();
}

std::string SettingsPaths::SoundSettingsFile() const {
  return configDir.empty() ? std::string() : (std::filesystem::path(configDir) / kSoundSettingsFileName).string();
}

void StartUp(frmVambrio& window, bool shown) {
  // The model starts with CtabDestChannel 0..16 and the volume tables in place.
  window.Form_Load(shown);
  if (window.Unloaded()) return;  // the session ended during the load's messages
  if (shown) window.show();
  window.model().PlaybackStopped = true;
  window.UpdateControls();  // Stop disabled: nothing plays yet
  if (!window.model().StyleFileName.empty()) window.Entry(window.model().StyleFileName, shown);
}

void frmVambrio::Form_Load(bool shown) {
  ApplySettingsFile();
  if (shown) pcVolume_->Start();
  editing_->Reset();
  services_.sequencer.SetWait(true);
  services_.sequencer.SetNotify(false);
  if (!services_.paths.configDir.empty()) {  // the choices kept in "Sound.ini"
    soundSettings_->Load();
    if (midiMenus_) midiMenus_->Load();
    play_->LoadSetting();
  }
  soundSettings_->ShowStatus();
  model_.StyleFileName = StyleNameFromCommandLine(commandLine_);
  UpdateControls();
}

void frmVambrio::ApplySettingsFile() {
  WindowSettings settings;
  settings.GmPlayer = ui_->chkGM->isChecked();
  settings.IncludeSysex = ui_->mnuSysex->isChecked();
  ApplySettingsText(ReadTextFileContents(services_.paths.SettingsFile(), reporter_), settings);
  ui_->chkGM->setChecked(settings.GmPlayer);
  ui_->chkGM->setText(settings.GmPlayer ? "GM" : "XG");
  ui_->mnuSysex->setChecked(settings.IncludeSysex);
}

bool frmVambrio::Form_QueryUnload(UnloadMode mode) {
  bool userClose = mode == UnloadMode::CloseBox || mode == UnloadMode::TaskManager;
  if (model_.PlaybackStopped || !userClose) return false;
  cmdStop_Click();
  services_.messageBoxes.Show(kWaitBeforeExitingText);
  return true;
}

void frmVambrio::mnuExit_Click() {
  if (model_.PlaybackStopped) {
    closingFromProgram_ = true;
    close();
    closingFromProgram_ = false;
    return;
  }
  cmdStop_Click();
  services_.messageBoxes.Show(kWaitBeforeExitingText);
}

void frmVambrio::OnSessionEnding() {
  sessionEnding_ = true;
  if (!unloaded_) close();
}

void frmVambrio::closeEvent(QCloseEvent* event) {
  if (!unloaded_) {
    UnloadMode mode = sessionEnding_        ? UnloadMode::SystemShutdown
                      : closingFromProgram_ ? UnloadMode::Program
                                            : UnloadMode::CloseBox;
    if (Form_QueryUnload(mode)) {
      event->ignore();
      return;
    }
    Form_Unload();
  }
  event->accept();
}

void frmVambrio::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  play_->Abandon();  // a playback still running ends here, without the window
  WindowSettings settings{ui_->chkGM->text() == "GM", ui_->mnuSysex->isChecked()};
  std::error_code ec;
  if (!services_.paths.configDir.empty()) std::filesystem::create_directories(services_.paths.configDir, ec);
  // No configuration folder: the write is reported.
  WriteTextFileContents(SettingsText(settings), services_.paths.SettingsFile(), false, reporter_);
  services_.sequencer.Command("close");
  shell::UnloadAbout(this);
  emit unloadedWindow();
}

}  // namespace vambrio
