#include "playback/pc_volume.h"

#include <algorithm>

#include "model/checked.h"

namespace vambrio {

bool FindMixerVolumeControl(platform::Mixer& mixer, platform::MixerControl& control) {
  platform::MixerControl found;
  if (!mixer.FindVolumeControl(found)) return false;
  control = found;
  return true;
}

bool SetMixerVolume(platform::Mixer& mixer, const platform::MixerControl& control, int32_t value) {
  return mixer.SetVolume(control, static_cast<uint32_t>(std::max<int32_t>(value, 0)));
}

SliderVolSetup StartPcVolume(platform::Mixer& mixer, PcVolume& state) {
  SliderVolSetup setup;
  state = PcVolume{};
  if (!mixer.Open()) {
    setup.Message = kCouldNotOpenMixer;
    return setup;
  }
  state.MixerOpened = true;
  state.ControlFound = FindMixerVolumeControl(mixer, state.MixerVolumeControl);
  if (!state.ControlFound) return setup;
  setup.Enabled = true;
  setup.RangeSet = true;
  SetMixerVolume(mixer, state.MixerVolumeControl, RoundToInt32(state.MixerVolumeControl.Maximum / 2.0));
  return setup;
}

int32_t SliderVolumeValue(int position) {
  return RoundToInt32(position / 100.0 * kPcVolumeFullScale);
}

void SliderVolChange(platform::Mixer& mixer, const PcVolume& state, int position) {
  if (!state.ControlFound) return;
  SetMixerVolume(mixer, state.MixerVolumeControl, SliderVolumeValue(position));
}

}  // namespace vambrio
