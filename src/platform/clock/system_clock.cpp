#include "platform/clock/system_clock.h"

#include <poll.h>

#include <chrono>
#include <cmath>
#include <utility>

namespace vambrio::platform {

double SystemClock::Seconds() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void PollLoop::Arm(double due, std::function<void()> fire) {
  armed_ = true;
  due_ = due;
  fire_ = std::move(fire);
}

void PollLoop::Cancel() {
  armed_ = false;
  fire_ = nullptr;
}

void PollLoop::Watch(int fd, std::function<void()> onReadable) { watched_.emplace_back(fd, std::move(onReadable)); }

bool PollLoop::RunOnce() {
  if (!armed_ && watched_.empty()) return false;
  int timeoutMs = -1;
  if (armed_) {
    double left = due_ - clock_.Seconds();
    timeoutMs = left <= 0 ? 0 : static_cast<int>(std::ceil(left * 1000.0));
  }
  std::vector<pollfd> fds;
  for (const auto& w : watched_) fds.push_back({w.first, POLLIN, 0});
  int n = poll(fds.data(), fds.size(), timeoutMs);
  if (n < 0) return true;  // interrupted: the caller looks at its state again
  for (size_t i = 0; i < fds.size() && i < watched_.size(); ++i) {
    if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) watched_[i].second();
  }
  if (armed_ && clock_.Seconds() >= due_) {
    armed_ = false;
    auto fire = std::move(fire_);
    fire();
  }
  return true;
}

}  // namespace vambrio::platform
