// The built-in synthesizer's choices as the window sees them: the SoundFont
// and the audio output. The choices take effect at the next Play.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "realtime/audio_latency.h"

namespace vambrio {

class SoundSource {
 public:
  virtual ~SoundSource() = default;
  // The SoundFont the next Play uses: the user's choice, else the first one
  // found in the usual places; empty when there is none.
  virtual std::string SoundFont() const = 0;
  // The user's choice; an empty path means "look in the usual places".
  virtual void ChooseSoundFont(const std::string& path) = 0;
  // The audio drivers that can be used here, the preferred one first.
  virtual std::vector<std::string> AudioDrivers() const = 0;
  // The driver the next Play uses.
  virtual std::string AudioDriver() const = 0;
  // The user's choice; an empty name means "the preferred one".
  virtual void ChooseAudioDriver(const std::string& name) = 0;
  // What the status line says when no SoundFont is found (names the package to install).
  virtual std::string MissingSoundFontText() const = 0;
  // The audio latency: the user's choice, taken at the next Play.
  virtual realtime::AudioLatency Latency() const = 0;
  virtual void ChooseLatency(realtime::AudioLatency latency) = 0;
  // Buffer underruns of the audio output since the program started.
  virtual uint64_t Underruns() const = 0;
};

}  // namespace vambrio
