// The PC's output volume on ALSA's simple mixer: the playback volume of the
// "Master" element of a control device (through the pulse plugin, the volume
// of the sound server's output), else of "PCM". The control is presented with
// the range 0..65535 and scaled onto the element's own range.
#pragma once

#include <string>

#include "playback/mixer.h"

typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

namespace vambrio::platform {

// Keeps ALSA's own diagnostics (also those of its plugins) off the terminal;
// the callers report failures in their own words.
void QuietAlsaDiagnostics();

class AlsaMixer final : public Mixer {
 public:
  explicit AlsaMixer(std::string device = "default") : device_(std::move(device)) {}
  ~AlsaMixer() override;
  AlsaMixer(const AlsaMixer&) = delete;
  AlsaMixer& operator=(const AlsaMixer&) = delete;

  bool Open() override;
  bool FindVolumeControl(MixerControl& control) override;
  bool SetVolume(const MixerControl& control, uint32_t value) override;

  static constexpr int32_t kPresentedMaximum = 65535;

 private:
  snd_mixer_elem_t* Element(uint32_t id) const;

  std::string device_;
  snd_mixer_t* mixer_ = nullptr;
  snd_mixer_elem_t* master_ = nullptr;
  snd_mixer_elem_t* pcm_ = nullptr;
};

}  // namespace vambrio::platform
