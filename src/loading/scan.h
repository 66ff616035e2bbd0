// The section scan: one walk over the track that records sections, name and
// copyright, tempo, time signature, volume and tempo events.
#pragma once

#include "model/errors.h"
#include "model/style_model.h"

namespace vambrio {

// Walks the track of m.StyleData. Returns false ("failed") when the track
// cannot be walked. gmPlayer is chkGM: with an XG player (false) a GM System
// On message is neutralised in StyleData. The caller sets
// InitialVolumeEventCount to 0 first. Errors inside TextData go to `errors`.
[[nodiscard]] bool ScanStyle(StyleModel& m, bool gmPlayer, ErrorSink& errors);

// Reads the variable-length quantity at m.Pos, leaving Pos on its last byte.
// Raises a RuntimeError (error 9) when it runs off StyleData.
uint32_t CalcTime(StyleModel& m);

// With m.Pos on the FF byte of a meta event, builds m.TextStr from its data
// (characters 32..122 only). Reports its own errors as "TextData".
void TextData(StyleModel& m, ErrorSink& errors);

}  // namespace vambrio
