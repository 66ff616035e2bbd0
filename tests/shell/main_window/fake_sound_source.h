// A sound source whose SoundFont and drivers the test sets.
#pragma once

#include <string>
#include <vector>

#include "shell/main_window/sound_source.h"

namespace vambrio::test {

class FakeSoundSource final : public SoundSource {
 public:
  std::string SoundFont() const override { return chosenSoundFont.empty() ? foundSoundFont : chosenSoundFont; }
  void ChooseSoundFont(const std::string& path) override {
    chosenSoundFont = path;
    soundFontChoices.push_back(path);
  }
  std::vector<std::string> AudioDrivers() const override { return drivers; }
  std::string AudioDriver() const override { return chosenDriver.empty() ? drivers.front() : chosenDriver; }
  void ChooseAudioDriver(const std::string& name) override {
    chosenDriver = name;
    driverChoices.push_back(name);
  }
  std::string MissingSoundFontText() const override { return "No SoundFont found: install fluid-soundfont-gm"; }
  realtime::AudioLatency Latency() const override { return latency; }
  void ChooseLatency(realtime::AudioLatency l) override { latency = l; }
  uint64_t Underruns() const override { return underruns; }

  std::string foundSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";  // "" : none on this system
  std::string chosenSoundFont;
  std::string chosenDriver;
  std::vector<std::string> drivers{"pulseaudio", "alsa"};
  std::vector<std::string> soundFontChoices;
  std::vector<std::string> driverChoices;
  realtime::AudioLatency latency = realtime::AudioLatency::Normal;
  uint64_t underruns = 0;
};

}  // namespace vambrio::test
