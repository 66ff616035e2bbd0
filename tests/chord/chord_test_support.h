// A model holding a built style, as the section scan would leave it, for the
// tests of the chord tables and of note transposition.
#pragma once

#include "model/style_model.h"
#include "style_builder.h"

namespace vambrio::test {

// The track's End of Track event goes last; `after` follows the track chunk.
inline StyleModel ModelWith(TrackBuilder track, const Bytes& after = {}) {
  StyleModel m = MakeStartupModel();
  const int32_t endOfTrack = track.Here();
  track.Delta(0).EndOfTrack();
  m.StyleData = StyleBytes(track, after);
  m.FileSize = static_cast<int32_t>(m.StyleData.size());
  m.OutData.assign(m.StyleData.size() + 101, 0);
  m.TrackLength = static_cast<int32_t>(track.size());
  m.EventStart = endOfTrack;
  m.Pos = endOfTrack + 1;
  m.StatusByte = 0xFF;
  return m;
}

}  // namespace vambrio::test
