// The time from the play command to the first audible sample, as the null
// sink's monitor receives it.
#pragma once

#include <string>
#include <vector>

namespace vambrio::bench {

struct LatencyFigures {
  std::vector<double> ms;          // per trial: until the sample was played, by the monitor's own latency
  std::vector<double> receivedMs;  // per trial: until the recording had it (an upper bound)
  std::string problem;
};

// Plays a file whose first note stands at its very start, `trials` times,
// with the SoundFont loaded and the audio output running beforehand.
LatencyFigures MeasurePlayLatency(const std::string& folder, int trials);

}  // namespace vambrio::bench
