// The window's controllers, each wired to the controls of its job.
#include <QStatusBar>

#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/midi_port_menus.h"
#include "shell/main_window/part_voices.h"
#include "shell/main_window/pc_volume_slider.h"
#include "shell/main_window/play_controls.h"
#include "shell/main_window/recent_styles.h"
#include "shell/main_window/sound_settings.h"
#include "shell/main_window/style_editing.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

void frmVambrio::SetUpControllers() {
  const std::string soundIni = services_.paths.SoundSettingsFile();
  auto updateControls = [this] { UpdateControls(); };
  auto stop = [this] { cmdStop_Click(); };
  const std::array<QCheckBox*, 8> partSwitches{PartBox(0), PartBox(1), PartBox(2), PartBox(3),
                                               PartBox(4), PartBox(5), PartBox(6), PartBox(7)};
  play_ = std::make_unique<PlayControls>(PlayControls::Parts{
      model_, services_.sequencer, services_.clock, services_.timer, services_.messageBoxes, reporter_,
      services_.sound, services_.seamless, services_.paths.playerTmpPath, soundIni, this, ui_->lblStatus,
      ui_->cboSections, ui_->chkRepeat, {ui_->OptMajor, ui_->OptMinor, ui_->OptAnyChord}, ui_->cboChordRoot,
      ui_->cboChordType, partSwitches, ui_->mnuOptions, ui_->mnuSysex, [this] { return Choices(); }, updateControls,
      [this] { return soundSettings_->SoundFontMissing(); }});
  editing_ = new StyleEditing(
      StyleEditing::Parts{model_, services_.fileDialogs, services_.messageBoxes, services_.inputBox, reporter_, this,
                          ui_->SlidMasterVolume, ui_->lblMasterVolume, ui_->cmdSet, ui_->cmdRestore, ui_->lblTempo,
                          ui_->chkGM, ui_->mnuVolumeEvents, ui_->mnuSaveStyle, ui_->mnuTempo, stop, updateControls},
      this);
  pcVolume_ = new PcVolumeSlider(services_.mixer, services_.messageBoxes, ui_->sliderVol);
  soundSettings_ = new SoundSettings(
      SoundSettings::Parts{services_.sound, services_.fileDialogs, services_.clock, services_.midi,
                           services_.paths.configDir, soundIni, ui_->mnuSoundFont, ui_->mnuAudioOutput,
                           ui_->mnuAudioLatency, {ui_->mnuLatencyLow, ui_->mnuLatencyNormal, ui_->mnuLatencySafe},
                           statusBar(), ui_->lblStatus, [this] { return !model_.StyleFileName.empty(); }},
      this);
  partVoices_ = new PartVoices(
      PartVoices::Parts{services_.sound, services_.midi, partSwitches, ui_->mnuOptions, statusBar()}, this);
  ui_->mnuOptions->setToolTipsVisible(true);
  if (services_.midi) {
    midiMenus_ = new MidiPortMenus(
        MidiPortMenus::Parts{*services_.midi, ui_->mnuMidiInput, ui_->mnuSoundSource, statusBar(),
                             services_.messageBoxes, services_.paths.configDir, soundIni,
                             [this] {
                               if (play_->StopEnabled()) cmdStop_Click();
                             },
                             [this] { soundSettings_->ShowStatus(); }},
        this);
  } else {
    ui_->mnuMidiInput->menuAction()->setVisible(false);
    ui_->mnuSoundSource->menuAction()->setVisible(false);
  }
  recentStyles_ =
      new RecentStyles(menuBar(), ui_->mnuOpen, soundIni, [this](const std::string& path) { OpenStyle(path); });
}

void frmVambrio::ShowMidiNews() {
  if (midiMenus_) midiMenus_->ShowNews();
}

}  // namespace vambrio
