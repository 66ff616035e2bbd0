#include "latency_probe.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/fluid_engine.h"
#include "platform/fluid_sequencer.h"
#include "style_builder.h"

namespace vambrio::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 441;          // 10 ms blocks
constexpr int kLoud = 300;            // clearly above the dither of silence

double Seconds(Clock::time_point t) { return std::chrono::duration<double>(t.time_since_epoch()).count(); }

// Records the monitor; remembers when each block's last frame was captured.
class MonitorRecorder {
 public:
  bool Start(std::string& problem) {
    pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, 44100, 2};
    pa_buffer_attr attr{static_cast<uint32_t>(-1), static_cast<uint32_t>(-1), static_cast<uint32_t>(-1),
                        static_cast<uint32_t>(-1), kFrames * 4};
    int err = 0;
    stream_ = pa_simple_new(nullptr, "bench_sound", PA_STREAM_RECORD, "vambrio_test.monitor", "latency", &sampleFormat, nullptr,
                            &attr, &err);
    if (!stream_) {
      problem = std::string("cannot record the monitor: ") + pa_strerror(err);
      return false;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
  }
  ~MonitorRecorder() {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_) pa_simple_free(stream_);
  }
  // The first loud frame after `after`: when it was captured, as the
  // stream's latency tells, and when it reached us (0, 0 when none).
  std::pair<double, double> FirstLoudAfter(double after) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [captured, received] : loud_)
      if (captured > after) return {captured, received};
    return {0, 0};
  }

 private:
  void Run() {
    int16_t buf[kFrames * 2];
    while (!quit_) {
      int err = 0;
      if (pa_simple_read(stream_, buf, sizeof buf, &err) < 0) return;
      double readAt = Seconds(Clock::now());
      double latency = static_cast<double>(pa_simple_get_latency(stream_, &err)) / 1e6;
      for (int k = 0; k < kFrames; ++k) {
        if (std::abs(buf[2 * k]) > kLoud || std::abs(buf[2 * k + 1]) > kLoud) {
          std::lock_guard<std::mutex> lock(mutex_);
          loud_.emplace_back(readAt - latency - static_cast<double>(kFrames - 1 - k) / 44100.0, readAt);
          break;
        }
      }
    }
  }
  pa_simple* stream_ = nullptr;
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::mutex mutex_;
  std::vector<std::pair<double, double>> loud_;
};

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
