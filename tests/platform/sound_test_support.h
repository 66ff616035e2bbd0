// Helpers of the real-sound tests: programs started with a deadline, the
// private server's null sink recorded with parec, loudness of a recording.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "run_process.h"

namespace vambrio::test {

inline std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

inline std::string DemoStyle() { return std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty"; }

// A program running in the background, its output going to files.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::string& out, const std::string& err) : out_(out), err_(err) {
    pid_ = fork();
    if (pid_ == 0) {
      FILE* o = std::freopen(out.c_str(), "w", stdout);
      FILE* e = std::freopen(err.c_str(), "w", stderr);
      (void)o;
      (void)e;
      std::vector<char*> args;
      for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
  }
  ~Child() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  void Signal(int sig) const { kill(pid_, sig); }
  // The exit status (128 + signal for a program killed by one), or -1 when it
  // is still running after `seconds` (it is then killed).
  int Wait(double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (status_ < 0) {
      int st = 0;
      pid_t r = waitpid(pid_, &st, WNOHANG);
      if (r == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        break;
      }
      if (std::chrono::steady_clock::now() > until) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
  }
  std::string Out() const { return Slurp(out_); }
  std::string Err() const { return Slurp(err_); }

  static std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string out_, err_;
};

// Records the null sink's monitor as raw 16-bit stereo at 44.1 kHz. The
// monitor hands samples on up to two seconds after the sink played them.
class Recorder {
 public:
  explicit Recorder(const std::string& dir)
      : file_(dir + "/monitor.raw"),
        parec_({"parec", "-d", "vambrio_test.monitor", "--format=s16le", "--rate=44100", "--channels=2",
                "--latency-msec=20", "--raw", file_},
               dir + "/parec.out", dir + "/parec.err") {
    // Recording has begun once the first samples of silence arrive.
    for (int i = 0; i < 500 && Size() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Seconds recorded so far.
  double Seconds() const { return static_cast<double>(Size()) / (44100.0 * 4); }
  // Whether the last quarter second recorded is louder than `rms`.
  bool LoudNow(double rms) const {
    std::string bytes = Child::Slurp(file_);
    size_t samples = bytes.size() / 2, tail = std::min<size_t>(samples, 22050);
    double sum = 0;
    for (size_t i = samples - tail; i < samples; ++i) {
      int16_t v;
      std::memcpy(&v, bytes.data() + 2 * i, 2);
      sum += static_cast<double>(v) * v;
    }
    return tail > 0 && std::sqrt(sum / static_cast<double>(tail)) > rms;
  }
  // Waits until the recording is louder than `rms`, at most `seconds` (a busy
  // machine may start the stream late); false when it never was.
  bool WaitForSound(double rms, double seconds) const {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
      if (LoudNow(rms)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  std::vector<int16_t> Stop() {
    parec_.Signal(SIGINT);
    parec_.Wait(10);
    std::string bytes = Child::Slurp(file_);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }

 private:
  size_t Size() const {
    std::ifstream f(file_, std::ios::binary | std::ios::ate);
    return f ? static_cast<size_t>(f.tellg()) : 0;
  }
  std::string file_;
  Child parec_;
};

// RMS of interleaved stereo samples in [from, to) seconds.
inline double Rms(const std::vector<int16_t>& s, double from, double to) {
  size_t a = static_cast<size_t>(std::max(0.0, from) * 44100) * 2;
  size_t b = std::min(s.size(), static_cast<size_t>(std::max(0.0, to) * 44100) * 2);
  if (b <= a) return 0;
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / static_cast<double>(b - a));
}

// The loudest quarter second.
inline double PeakRms(const std::vector<int16_t>& s) {
  double seconds = static_cast<double>(s.size()) / 88200.0, peak = 0;
  for (double t = 0; t < seconds; t += 0.25) peak = std::max(peak, Rms(s, t, t + 0.25));
  return peak;
}

inline std::string Cli() { return VAMBRIO_CLI; }

}  // namespace vambrio::test
