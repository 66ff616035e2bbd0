// The audio latency the user chooses: how many frames the audio output
// asks for at a time and how many such periods it keeps queued.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vambrio::realtime {

// The sample rate of the live output.
inline constexpr int kOutputSampleRate = 48000;

enum class AudioLatency { Low, Normal, Safe };

struct LatencyFrames {
  int periodSize;
  int periods;
  int BufferFrames() const { return periodSize * periods; }
};

// "Low" 2 x 64 frames, "Normal" 2 x 256, "Safe" 4 x 512.
LatencyFrames FramesOf(AudioLatency latency);
// "Low", "Normal" or "Safe", as the menu and the settings file say it.
const char* LatencyName(AudioLatency latency);
// The name in any case ("low" on the command line, "Low" in the settings file).
std::optional<AudioLatency> ParseLatency(std::string_view name);
// What one period and the whole buffer last, e.g. "2 x 256 frames (10.7 ms)".
std::string DescribeLatency(AudioLatency latency, int sampleRate = kOutputSampleRate);

}  // namespace vambrio::realtime
