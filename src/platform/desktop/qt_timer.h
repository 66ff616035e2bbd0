// The playback loop's timer on the Qt event loop.
#pragma once

#include <QTimer>
#include <functional>

#include "playback/clock.h"

namespace vambrio::platform {

class QtTimer final : public Timer {
 public:
  explicit QtTimer(const Clock& clock);
  ~QtTimer() override;

  // Fires `fire` from the event loop once the clock has reached `due`; a due
  // time already past fires after the events that are pending now.
  void Arm(double due, std::function<void()> fire) override;
  void Cancel() override;

 private:
  void OnTimeout();

  const Clock& clock_;
  QTimer timer_;
  std::function<void()> fire_;
};

}  // namespace vambrio::platform
