// A clock that moves only when the test says so, and a timer that the test
// fires by moving the clock: the event loop of the playback tests.
#pragma once

#include <functional>
#include <utility>

#include "playback/clock.h"

namespace vambrio::test {

class FakeClock final : public platform::Clock {
 public:
  double Seconds() const override { return now; }
  double now = 1000.0;
};

class FakeTimer final : public platform::Timer {
 public:
  explicit FakeTimer(FakeClock& clock) : clock_(clock) {}
  void Arm(double due, std::function<void()> fire) override {
    armed_ = true;
    due_ = due;
    fire_ = std::move(fire);
    ++arms;
  }
  void Cancel() override { armed_ = false; }

  bool Armed() const { return armed_; }
  double Due() const { return due_; }

  // Handles what is due now (the yields), at most `limit` firings; returns
  // how many fired.
  int RunPending(int limit = 1000) { return AdvanceTo(clock_.now, limit); }

  // Moves the clock forward to `t`, firing the timer each time its due time
  // is reached on the way (the clock stands at the due time while it fires).
  int AdvanceTo(double t, int limit = 1000) {
    int fired = 0;
    while (armed_ && due_ <= t && fired < limit) {
      if (due_ > clock_.now) clock_.now = due_;
      armed_ = false;
      auto fire = std::move(fire_);
      fire();
      ++fired;
    }
    if (clock_.now < t) clock_.now = t;
    return fired;
  }
  int Advance(double seconds, int limit = 1000) { return AdvanceTo(clock_.now + seconds, limit); }

  int arms = 0;

 private:
  FakeClock& clock_;
  bool armed_ = false;
  double due_ = 0;
  std::function<void()> fire_;
};

}  // namespace vambrio::test
