// MIDI messages applied to a FluidSynth synthesizer at once: the live
// client's events, and the mapped events of FluidSynth's own file player.
// Allocation-free; safe in the audio callback.
#pragma once

#include <cstdint>

typedef struct _fluid_synth_t fluid_synth_t;

namespace vambrio::platform {

// A channel message (note on/off, key pressure, controller, program, channel
// pressure, pitch bend) or a system-exclusive message with its F0 (and F7).
// A message shorter than its status asks for is left out. `channelGroup`:
// the message's channel is 16 * channelGroup + its status's low four bits.
void ApplyToSynth(fluid_synth_t* synth, const uint8_t* message, uint32_t size, int channelGroup = 0);

// The sustain and sostenuto pedals let go on every channel of the synthesizer.
void ReleasePedals(fluid_synth_t* synth);

}  // namespace vambrio::platform
