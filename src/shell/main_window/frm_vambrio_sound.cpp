// The window's sound: the built-in synthesizer's choices (SoundSettings),
// the MIDI ports of "MIDI Input" and "Sound Source" (MidiPortMenus), the
// voices on the part switches (PartVoices) and the PC volume's slider
// (PcVolumeSlider), each wired to the window's controls.
#include <QStatusBar>
#include <filesystem>

#include "model/settings_file.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/midi_port_menus.h"
#include "shell/main_window/part_voices.h"
#include "shell/main_window/pc_volume_slider.h"
#include "shell/main_window/sound_settings.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

std::string SettingsPaths::SettingsFile() const {
  return configDir.empty() ? std::string() : (std::filesystem::path(configDir) / kSettingsFileName).string();
}

std::string SettingsPaths::SoundSettingsFile() const {
  return configDir.empty() ? std::string() : (std::filesystem::path(configDir) / kSoundSettingsFileName).string();
}

void frmVambrio::SetUpSound() {
  pcVolume_ = new PcVolumeSlider(services_.mixer, services_.messageBoxes, ui_->sliderVol);
  const std::string soundIni = services_.paths.SoundSettingsFile();
  soundSettings_ = new SoundSettings(
      SoundSettings::Parts{services_.sound, services_.fileDialogs, services_.clock, services_.midi,
                           services_.paths.configDir, soundIni, ui_->mnuSoundFont, ui_->mnuAudioOutput,
                           ui_->mnuAudioLatency, {ui_->mnuLatencyLow, ui_->mnuLatencyNormal, ui_->mnuLatencySafe},
                           statusBar(), ui_->lblStatus, [this] { return !model_.StyleFileName.empty(); }},
      this);
  partVoices_ = new PartVoices(PartVoices::Parts{services_.sound, services_.midi,
                                                 {PartBox(0), PartBox(1), PartBox(2), PartBox(3), PartBox(4),
                                                  PartBox(5), PartBox(6), PartBox(7)},
                                                 ui_->mnuOptions, statusBar()},
                               this);
  ui_->mnuOptions->setToolTipsVisible(true);
  if (!services_.midi) {
    ui_->mnuMidiInput->menuAction()->setVisible(false);
    ui_->mnuSoundSource->menuAction()->setVisible(false);
    return;
  }
  midiMenus_ = new MidiPortMenus(
      MidiPortMenus::Parts{*services_.midi, ui_->mnuMidiInput, ui_->mnuSoundSource, statusBar(), services_.messageBoxes,
                           services_.paths.configDir, soundIni,
                           [this] {
                             if (stopEnabled_) cmdStop_Click();
                           },
                           [this] { soundSettings_->ShowStatus(); }},
      this);
}

void frmVambrio::ShowMidiNews() {
  if (midiMenus_) midiMenus_->ShowNews();
}

}  // namespace vambrio
