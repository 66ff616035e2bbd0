#include "platform/clock/mono_clock.h"

#include <cerrno>
#include <ctime>

namespace vambrio::platform {

int64_t MonotonicNowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

int64_t SystemMonoClock::NowNs() const { return MonotonicNowNs(); }

void SystemMonoClock::SleepUntil(int64_t ns) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(ns / 1000000000);
  ts.tv_nsec = static_cast<long>(ns % 1000000000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

}  // namespace vambrio::platform
