// sliderVol, the frame "PC Sound Source Volume": the mixer's master volume
// control, opened at the start-up and moved by the slider. The main window
// owns it and enables the slider while there is a control to move.
#pragma once

#include <QObject>

#include "model/message_box.h"
#include "playback/mixer.h"
#include "playback/pc_volume.h"

class QSlider;

namespace vambrio {

class PcVolumeSlider final : public QObject {
 public:
  PcVolumeSlider(platform::Mixer& mixer, platform::MessageBoxes& messages, QSlider* slider);

  // Opens the mixer and sets the slider from its control; a mixer that
  // cannot be opened is said once.
  void Start();
  // Whether the mixer has a volume control for the slider to move.
  bool Enabled() const { return enabled_; }
  // The user moved the slider.
  void sliderVol_Change();

 private:
  platform::Mixer& mixer_;
  platform::MessageBoxes& messages_;
  QSlider* slider_;
  PcVolume state_;
  bool enabled_ = false;
};

}  // namespace vambrio
