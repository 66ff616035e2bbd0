// The chosen chord kept in "Sound.ini" between runs ([Arranger] Chord=Am7,
// "N.C." for no chord), so that the library's preview plays over it even
// before the Arranger window is opened.
#pragma once

#include <string>

#include "live/chosen_chord.h"

namespace vambrio {

// Reads the kept chord into `chord`; a missing file, key or unknown name leaves it as it is.
void ReadKeptChord(const std::string& settingsPath, live::ChosenChord& chord);
// Keeps `chord` ("" keeps nothing).
void KeepChord(const std::string& settingsPath, const live::ChosenChord& chord);

}  // namespace vambrio
