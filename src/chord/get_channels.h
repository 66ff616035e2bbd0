// Reading the chord rules of the CASM block behind the track: for the
// section being built (CurrentSectionName), which part each channel plays,
// from which chord root its notes were written, on which chord types it
// sounds and between which note limits it must stay.
#pragma once

#include "model/style_model.h"

namespace vambrio {

// Shortest entries that are stored: a "Ctab" entry must reach its high limit
// at data offset 24, a "Ctb2" entry (and every entry read with the "Ctb2"
// layout) its high limit at data offset 26. Shorter entries are stepped over.
inline constexpr int64_t kCtabMinLength = 25;
inline constexpr int64_t kCtb2MinLength = 27;

// Resets the destination map and the note limits, finds the CASM block just
// behind the End of Track event (EventStart) and stores the "Ctab" entries
// of every group whose section list contains CurrentSectionName. Hands the
// whole job to GetT3Channels at the first "Ctb2" entry. A fault in the block
// (a truncated chunk, a nonsense length, a source channel beyond the tables)
// ends the reading silently with what was stored up to then.
void GetChannels(StyleModel& m);

// The same for blocks with "Ctb2" entries; finds the block by TrackLength.
void GetT3Channels(StyleModel& m);

}  // namespace vambrio
