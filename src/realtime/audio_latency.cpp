#include "realtime/audio_latency.h"

#include <cctype>
#include <cstdio>

namespace vambrio::realtime {

LatencyFrames FramesOf(AudioLatency latency) {
  switch (latency) {
    case AudioLatency::Low:
      return {64, 2};
    case AudioLatency::Safe:
      return {512, 4};
    case AudioLatency::Normal:
      break;
  }
  return {256, 2};
}

const char* LatencyName(AudioLatency latency) {
  switch (latency) {
    case AudioLatency::Low:
      return "Low";
    case AudioLatency::Safe:
      return "Safe";
    case AudioLatency::Normal:
      break;
  }
  return "Normal";
}

std::optional<AudioLatency> ParseLatency(std::string_view name) {
  for (AudioLatency l : {AudioLatency::Low, AudioLatency::Normal, AudioLatency::Safe}) {
    std::string_view known = LatencyName(l);
    if (known.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(name[i])) == std::tolower(static_cast<unsigned char>(known[i]));
    if (same) return l;
  }
  return std::nullopt;
}

std::string DescribeLatency(AudioLatency latency, int sampleRate) {
  LatencyFrames f = FramesOf(latency);
  char text[64];
  std::snprintf(text, sizeof text, "%d x %d frames (%.1f ms)", f.periods, f.periodSize,
                1000.0 * f.BufferFrames() / sampleRate);
  return text;
}

}  // namespace vambrio::realtime
