// Master volume: every recorded channel-volume event rescaled to a new
// average, and put back as the last scan found it.
#pragma once

#include <cstdint>

#include "model/style_model.h"

namespace vambrio {

// The value an event loaded as `loaded` gets with the slider at `slider`:
// slider / masterVolume x loaded, the division first, rounded half to even,
// clipped at 127. masterVolume must not be 0.
uint8_t ScaledVolume(int slider, int masterVolume, int loaded);

// Set's work on the bytes: every used slot of the volume tables written anew
// from its loaded value, so repeated Sets never accumulate. With
// MasterVolume 0 (no volume events, or all of them 0) there is no ratio to
// apply and StyleData is left unchanged; the result is then false.
bool ApplyMasterVolume(StyleModel& m, int slider);

// Undo's work on the bytes: every used slot's loaded value written back.
void RestoreVolumes(StyleModel& m);

}  // namespace vambrio
