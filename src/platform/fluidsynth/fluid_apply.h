// What the audio callback does to a FluidSynth synthesizer: MIDI messages
// applied at once (the live client's events, and the mapped events of
// FluidSynth's own file player), and the synthesizer rendered into the
// callback's buffers. Allocation-free; safe in the audio callback.
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

// Adds `frames` frames of the synthesizer to the `nout` outputs from frame
// `offset` on. Reverb and chorus go to the `nfx` effect buffers; when the
// output gives none (FluidSynth's own audio drivers give none), they are
// mixed into the first two outputs, so that the output sounds as a file
// render of the same music does. Up to 32 buffers of each kind are used.
void RenderSynth(fluid_synth_t* synth, uint32_t offset, uint32_t frames, int nfx, float* fx[], int nout, float* out[]);

}  // namespace vambrio::platform
