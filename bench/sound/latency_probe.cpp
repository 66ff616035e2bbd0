#include "latency_probe.h"

#include <chrono>
#include <thread>

#include "monitor_recorder.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_sequencer.h"
#include "style_builder.h"

namespace vambrio::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t) { return std::chrono::duration<double>(t.time_since_epoch()).count(); }

std::string WriteProbe(const std::string& folder) {
  test::TrackBuilder t;
  t.ProgramChange(0, 0).NoteOn(0, 72, 127).Delta(480).NoteOff(0, 72).Delta(480).EndOfTrack();
  std::string path = folder + "/latency-probe.mid";
  test::WriteFile(path, test::StyleBytes(t, {}, 480));
  return path;
}

}  // namespace

LatencyFigures MeasurePlayLatency(const std::string& folder, int trials) {
  LatencyFigures f;
  platform::FluidEngine engine{platform::SoundOptions{}};
  platform::FluidSequencer seq(engine);
  seq.SetFileName(WriteProbe(folder));
  if (!seq.Command("open")) {
    f.problem = seq.LastError();
    return f;
  }
  MonitorRecorder rec;
  if (!rec.Start(f.problem)) return f;
  std::this_thread::sleep_for(std::chrono::seconds(2));  // the output and the recording have settled
  for (int i = 0; i < trials; ++i) {
    double t0 = Seconds(Clock::now());
    seq.Command("play");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    seq.Command("stop");
    seq.Command("prev");
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // the monitor has caught up
    auto [heard, received] = rec.FirstLoudAfter(t0 - 0.05);
    if (heard > 0 && heard < t0 + 1.5) {
      f.ms.push_back((heard - t0) * 1000.0);
      f.receivedMs.push_back((received - t0) * 1000.0);
    }
  }
  seq.Command("close");
  if (f.ms.empty()) f.problem = "the probe's note was never heard";
  return f;
}

}  // namespace vambrio::bench
