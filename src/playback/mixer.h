// The PC's master output volume.
#pragma once

#include <cstdint>

namespace vambrio::platform {

// The volume control as the mixer describes it.
struct MixerControl {
  uint32_t ControlId = 0;
  int32_t Maximum = 0;  // upper end of the value range (the control is presented as 0..65535)
};

class Mixer {
 public:
  virtual ~Mixer() = default;
  // Opens the mixer device; false when it cannot be opened.
  virtual bool Open() = 0;
  // Looks up the master volume control; false when there is none.
  virtual bool FindVolumeControl(MixerControl& control) = 0;
  // Sets the control to value (0..Maximum); false when the platform refuses.
  virtual bool SetVolume(const MixerControl& control, uint32_t value) = 0;
};

}  // namespace vambrio::platform
