// The PC's output volume: the slider sliderVol of the frame "PC Sound Source
// Volume" and the mixer's master volume control behind it.
#pragma once

#include <cstdint>
#include <string>

#include "playback/mixer.h"

namespace vambrio {

inline constexpr const char* kCouldNotOpenMixer = "Couldn't open the mixer.";
inline constexpr int32_t kPcVolumeFullScale = 65000;  // what the slider's 100% hands on

// What the main window keeps for its whole life.
struct PcVolume {
  bool MixerOpened = false;
  bool ControlFound = false;
  platform::MixerControl MixerVolumeControl;  // all zero until a control is found
};

// How the start-up leaves sliderVol. Without a volume control nothing is sent
// and the slider is disabled; `message` is the text to show when the mixer
// could not be opened (the rest of the window's load is then skipped).
struct SliderVolSetup {
  bool Enabled = false;
  bool RangeSet = false;  // minimum 1 and maximum 100 apply
  int Minimum = 1;
  int Maximum = 100;
  int Position = 50;
  std::string Message;
};

// Looks up the master volume control and fills `control`; false when there is none.
bool FindMixerVolumeControl(platform::Mixer& mixer, platform::MixerControl& control);

// Sets the control to `value`; true when the platform reports success.
bool SetMixerVolume(platform::Mixer& mixer, const platform::MixerControl& control, int32_t value);

// Opens the mixer, finds its control and sets half the control's range.
SliderVolSetup StartPcVolume(platform::Mixer& mixer, PcVolume& state);

// The value a slider position (1..100) hands on: position / 100 x 65000,
// rounded half to even.
int32_t SliderVolumeValue(int position);

// sliderVol_Change: sets the volume for the slider's new position; the
// result is ignored.
void SliderVolChange(platform::Mixer& mixer, const PcVolume& state, int position);

}  // namespace vambrio
