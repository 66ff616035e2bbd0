#include "platform/alsa_mixer/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>

namespace vambrio::platform {
namespace {

constexpr uint32_t kMasterId = 1;
constexpr uint32_t kPcmId = 2;

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

snd_mixer_elem_t* FindPlaybackVolume(snd_mixer_t* mixer, const char* name) {
  snd_mixer_selem_id_t* id = nullptr;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_selem_id_set_name(id, name);
  snd_mixer_elem_t* e = snd_mixer_find_selem(mixer, id);
  return e && snd_mixer_selem_has_playback_volume(e) ? e : nullptr;
}

}  // namespace

void QuietAlsaDiagnostics() { snd_lib_error_set_handler(QuietAlsa); }

AlsaMixer::~AlsaMixer() {
  if (mixer_) snd_mixer_close(mixer_);
}

bool AlsaMixer::Open() {
  QuietAlsaDiagnostics();
  if (mixer_) return true;
  snd_mixer_t* m = nullptr;
  if (snd_mixer_open(&m, 0) < 0) return false;
  if (snd_mixer_attach(m, device_.c_str()) < 0 || snd_mixer_selem_register(m, nullptr, nullptr) < 0 ||
      snd_mixer_load(m) < 0) {
    snd_mixer_close(m);
    return false;
  }
  mixer_ = m;
  return true;
}

bool AlsaMixer::FindVolumeControl(MixerControl& control) {
  if (!mixer_) return false;
  master_ = FindPlaybackVolume(mixer_, "Master");
  pcm_ = master_ ? nullptr : FindPlaybackVolume(mixer_, "PCM");
  if (!master_ && !pcm_) return false;
  control.ControlId = master_ ? kMasterId : kPcmId;
  control.Maximum = kPresentedMaximum;
  return true;
}

snd_mixer_elem_t* AlsaMixer::Element(uint32_t id) const {
  if (id == kMasterId) return master_;
  if (id == kPcmId) return pcm_;
  return nullptr;
}

bool AlsaMixer::SetVolume(const MixerControl& control, uint32_t value) {
  snd_mixer_elem_t* e = Element(control.ControlId);
  if (!mixer_ || !e) return false;
  snd_mixer_handle_events(mixer_);
  long low = 0, high = 0;
  if (snd_mixer_selem_get_playback_volume_range(e, &low, &high) < 0 || high < low) return false;
  double share = static_cast<double>(std::min<uint32_t>(value, kPresentedMaximum)) / kPresentedMaximum;
  long v = low + std::lround(share * static_cast<double>(high - low));
  return snd_mixer_selem_set_playback_volume_all(e, v) >= 0;
}

}  // namespace vambrio::platform
