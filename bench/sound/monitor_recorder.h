// Records the private server's null-sink monitor in 10 ms blocks and
// remembers when each loud block's first loud frame was played.
#pragma once

#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vambrio::bench {

inline double SteadySeconds(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

// Records the monitor; remembers when each block's last frame was captured.
class MonitorRecorder {
 public:
  static constexpr int kFrames = 441;  // 10 ms blocks
  static constexpr int kLoud = 300;    // clearly above the dither of silence

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
      double readAt = SteadySeconds(std::chrono::steady_clock::now());
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

}  // namespace vambrio::bench
