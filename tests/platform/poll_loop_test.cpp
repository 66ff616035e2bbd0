#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/clock/system_clock.h"

namespace vambrio::platform {
namespace {

TEST(PollLoop, HandlesReadableDescriptorsBeforeTheTimerAndNeverFiresEarly) {
  SystemClock clock;
  PollLoop loop(clock);
  EXPECT_FALSE(loop.RunOnce());  // nothing to wait for

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::vector<std::string> order;
  loop.Watch(fds[0], [&] {
    char c;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
    order.push_back(std::string("fd ") + c);
  });
  double due = clock.Seconds() + 0.03;
  double firedAt = 0;
  loop.Arm(due, [&] {
    firedAt = clock.Seconds();
    order.push_back("timer");
  });
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  while (firedAt == 0 && loop.RunOnce()) {
  }
  EXPECT_EQ(order, (std::vector<std::string>{"fd x", "timer"}));
  EXPECT_GE(firedAt, due);

  // A yield (due already past) fires at the next turn; a cancelled timer never.
  loop.Arm(clock.Seconds() - 1, [&] { order.push_back("yield"); });
  loop.RunOnce();
  loop.Arm(clock.Seconds(), [&] { order.push_back("cancelled"); });
  loop.Cancel();
  ASSERT_EQ(write(fds[1], "y", 1), 1);
  loop.RunOnce();
  EXPECT_EQ(order, (std::vector<std::string>{"fd x", "timer", "yield", "fd y"}));
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
}  // namespace vambrio::platform
