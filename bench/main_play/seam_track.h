// The Repeat seam, measured on a recording of a section looped: every 10 ms
// of the recording is matched to the sample against the pass after it. In a
// gap-free loop the same music comes back exactly one section length later.
// Time the output added (silence while it ran dry, or a loop point that
// adds time) makes that distance longer for the music before the added
// time and no longer after it: the place where the distance shrinks is
// where the time was added, and by how much it shrinks, how much.
#pragma once

#include <cstddef>
#include <vector>

namespace vambrio::bench {

struct AddedTime {
  double atFrame = 0;  // where in the recording
  double frames = 0;   // how long (negative: music left out)
};

struct SeamTrack {
  std::vector<double> passes;     // pass k to k + 1: start to start, minus the section's length (frames)
  std::vector<double> passStart;  // where each pass starts in the recording (frames)
  std::vector<AddedTime> added;   // every place where time was added
  int unmatched = 0;              // 10 ms windows unlike the next pass (besides quiet ones)
  int windows = 0;
};

struct Silence {
  size_t atFrame = 0;
  size_t frames = 0;
};

// Runs of at least `minFrames` frames of digital silence (every sample 0)
// from `from` to `to`: what the sink plays while the output has run dry.
std::vector<Silence> SilentRuns(const std::vector<float>& x, size_t from, size_t to, size_t minFrames);

// `firstPass`: where the first pass starts in `x` (mono), `passFrames` the
// section's length, `passes` the number of passes recorded whole.
SeamTrack TrackSeams(const std::vector<float>& x, size_t firstPass, size_t passFrames, int passes, int rate);

// The time from the start of the pass at `firstPass` to the next pass's,
// minus the section's length, searched up to `longest` frames more, by one
// 300 ms window matched on its changes from frame to frame, then to the
// frame (for a loop with long pauses, as the classic playback's).
double StartToStart(const std::vector<float>& x, size_t firstPass, size_t passFrames, size_t longest, int rate);

}  // namespace vambrio::bench
