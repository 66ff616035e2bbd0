// Copying a stretch of the track into the output buffer while moving every
// accompaniment note onto a C major or C minor chord.
#pragma once

#include <cstdint>

#include "model/errors.h"
#include "model/play_choices.h"
#include "model/style_model.h"

namespace vambrio {

// Rewrites the note number and velocity of the note events Store copies
// (note on and note off), instead of the classic chord rule and part boxes;
// the events' status bytes and channels stay as the classic rule writes them.
// channel is the event's own channel in the style (0..15); note and velocity
// come as the style holds them and must leave in 0..127.
class NoteHook {
 public:
  virtual ~NoteHook() = default;
  virtual void MapNote(int channel, int& note, int& velocity) const = 0;
};

// Copies, one whole event at a time, every event of StyleData that begins at
// an index from `from` up to below `to`, appending at OutPos. Note events are
// transposed by the chord tables, silenced for cleared parts and disabled
// chord types, and the rhythm parts moved to the drum channel; system-
// exclusive events are dropped with their delta times unless
// choices.IncludeSysex. Stops at the End of Track event without copying any
// of it. Every note written lies in 0..127, and so does every data byte of a
// channel message: one of 128 or more in the style is read and written as 127.
//
// A fault (an index outside StyleData or OutData, a destination above 16, a
// malformed event) is reported as "Store"; the event in hand is taken out of
// the output again, so what was written is always a sequence of whole events.
//
// With a note hook, the hook alone decides every note's number and velocity.
void Store(StyleModel& m, int32_t from, int32_t to, const PlayChoices& choices, ErrorSink& errors,
           const NoteHook* hook = nullptr);

}  // namespace vambrio
