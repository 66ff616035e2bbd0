#include "platform/fluidsynth/fluid_apply.h"

#include <fluidsynth.h>

#include "realtime/realtime_client.h"

namespace vambrio::platform {
namespace {

constexpr int kSustain = 64;
constexpr int kSostenuto = 66;

}  // namespace

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
