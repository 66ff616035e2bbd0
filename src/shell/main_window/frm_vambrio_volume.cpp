// The PC volume: the mixer's start-up and the slider.
#include "shell/main_window/frm_vambrio.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

void frmVambrio::StartMixer() {
  SliderVolSetup setup = StartPcVolume(services_.mixer, pcVolume_);
  // A mixer that cannot be opened is said once; the rest of the load goes on.
  if (!setup.Message.empty()) services_.messageBoxes.Show(setup.Message);
  volumeControl_ = setup.Enabled;
  QSignalBlocker quiet(ui_->sliderVol);  // the start-up value is set above, not by the slider
  if (setup.RangeSet) ui_->sliderVol->setRange(setup.Minimum, setup.Maximum);
  ui_->sliderVol->setValue(setup.Position);
}

void frmVambrio::sliderVol_Change() { SliderVolChange(services_.mixer, pcVolume_, ui_->sliderVol->value()); }

}  // namespace vambrio
