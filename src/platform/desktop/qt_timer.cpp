#include "platform/desktop/qt_timer.h"

#include <algorithm>
#include <cmath>

namespace vambrio::platform {

QtTimer::QtTimer(const Clock& clock) : clock_(clock) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { OnTimeout(); });
}

QtTimer::~QtTimer() { timer_.stop(); }

void QtTimer::Arm(double due, std::function<void()> fire) {
  fire_ = std::move(fire);
  double wait = due - clock_.Seconds();
  // Whole milliseconds, rounded up so that the clock has reached `due` when
  // the timer fires; the caller checks the clock and arms again if it has not.
  int ms = wait > 0 ? static_cast<int>(std::min(std::ceil(wait * 1000.0), 2.0e9)) : 0;
  timer_.start(ms);
}

void QtTimer::Cancel() {
  timer_.stop();
  fire_ = nullptr;
}

void QtTimer::OnTimeout() {
  // The callback may arm the timer again, so it runs from a copy.
  std::function<void()> fire = std::move(fire_);
  fire_ = nullptr;
  if (fire) fire();
}

}  // namespace vambrio::platform
