#include "shell/main_window/pc_volume_slider.h"

#include <QSignalBlocker>
#include <QSlider>

namespace vambrio {

PcVolumeSlider::PcVolumeSlider(platform::Mixer& mixer, platform::MessageBoxes& messages, QSlider* slider)
    : QObject(slider), mixer_(mixer), messages_(messages), slider_(slider) {
  connect(slider_, &QSlider::valueChanged, this, &PcVolumeSlider::sliderVol_Change);
}

void PcVolumeSlider::Start() {
  const SliderVolSetup setup = StartPcVolume(mixer_, state_);
  // The rest of the load goes on.
  if (!setup.Message.empty()) messages_.Show(setup.Message);
  enabled_ = setup.Enabled;
  QSignalBlocker quiet(slider_);  // the start-up value is set here, not by the slider
  if (setup.RangeSet) slider_->setRange(setup.Minimum, setup.Maximum);
  slider_->setValue(setup.Position);
}

void PcVolumeSlider::sliderVol_Change() { SliderVolChange(mixer_, state_, slider_->value()); }

}  // namespace vambrio
