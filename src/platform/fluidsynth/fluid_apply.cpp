#include "platform/fluidsynth/fluid_apply.h"

#include <fluidsynth.h>

#include <algorithm>

#include "realtime/realtime_client.h"

namespace vambrio::platform {
namespace {

constexpr int kSustain = 64;
constexpr int kSostenuto = 66;
constexpr int kMaxBuffers = 32;

}  // namespace

void RenderSynth(fluid_synth_t* synth, uint32_t offset, uint32_t frames, int nfx, float* fx[], int nout, float* out[]) {
  nout = std::min(nout, kMaxBuffers);
  nfx = std::min(nfx, kMaxBuffers);
  float* outAt[kMaxBuffers];
  float* fxAt[kMaxBuffers];
  for (int i = 0; i < nout; ++i) outAt[i] = out[i] + offset;
  if (nfx > 0) {
    for (int i = 0; i < nfx; ++i) fxAt[i] = fx[i] ? fx[i] + offset : nullptr;
  } else if (nout >= 2) {
    // Every effect unit (reverb, chorus; per group) mixed into left and right.
    const int units = fluid_synth_count_effects_channels(synth) * fluid_synth_count_effects_groups(synth);
    nfx = std::min(2 * units, kMaxBuffers);
    for (int i = 0; i < nfx; ++i) fxAt[i] = outAt[i % 2];
  }
  fluid_synth_process(synth, static_cast<int>(frames), nfx, nfx > 0 ? fxAt : nullptr, nout, outAt);
}

void ApplyToSynth(fluid_synth_t* synth, const uint8_t* d, uint32_t size, int channelGroup) {
  if (size == 0) return;
  const uint8_t status = d[0];
  const int channel = 16 * channelGroup + (status & 0x0F);
  if (status >= 0x80 && status < 0xF0 && size < realtime::RealtimeEvent::MessageSize(status)) return;
  switch (status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, d[1]);
      break;
    case 0x90:
      if (d[2] == 0) {
        fluid_synth_noteoff(synth, channel, d[1]);
      } else {
        fluid_synth_noteon(synth, channel, d[1], d[2]);
      }
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, channel, d[1], d[2]);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, d[1], d[2]);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, d[1]);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, channel, d[1]);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, channel, d[1] | (d[2] << 7));
      break;
    default:
      if (status == 0xF0 && size >= 2) {
        // FluidSynth takes the message without its F0 and F7.
        int length = static_cast<int>(size) - 1 - (d[size - 1] == 0xF7 ? 1 : 0);
        fluid_synth_sysex(synth, reinterpret_cast<const char*>(d + 1), length, nullptr, nullptr, nullptr, 0);
      }
      break;
  }
}

void ReleasePedals(fluid_synth_t* synth) {
  for (int channel = 0; channel < fluid_synth_count_midi_channels(synth); ++channel) {
    fluid_synth_cc(synth, channel, kSustain, 0);
    fluid_synth_cc(synth, channel, kSostenuto, 0);
  }
}

}  // namespace vambrio::platform
