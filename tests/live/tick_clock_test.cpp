#include "live/tick_clock.h"

#include <gtest/gtest.h>

#include "live/tap_tempo.h"

namespace vambrio::live {
namespace {

// 120 bpm, 480 ticks a quarter, 48 kHz: 50 samples a tick.
TEST(TickClock, TicksFollowSamplesExactlyWithoutDrift) {
  TickClock clock(480, 48000, 500000);
  clock.Anchor(1000, 0);
  EXPECT_EQ(clock.SampleOf(1), 1050);
  EXPECT_EQ(clock.TickAt(1049), 0);
  EXPECT_EQ(clock.TickAt(1050), 1);
  // A block of 256 frames from sample 1000 holds ticks 0..5 (tick 6 begins at 1300).
  EXPECT_EQ(clock.TickLimit(1256), 6);
  EXPECT_EQ(clock.TickLimit(1300), 6);
  EXPECT_EQ(clock.TickLimit(1301), 7);

  // 97 bpm at 44.1 kHz: an uneven number of samples a tick. After an hour of
  // blocks the ticks a block sees join up exactly and the position is exact.
  TickClock odd(1920, 44100, 618557);
  odd.Anchor(0, 0);
  int64_t reached = 0, end = 0;
  for (int64_t start = 0; start < 3600LL * 44100; start += 512) {
    end = start + 512;
    const int64_t limit = odd.TickLimit(end);
    ASSERT_GE(odd.SampleOf(reached), start);  // no tick of this block fell into the last one
    if (limit > reached) {
      ASSERT_LT(odd.SampleOf(limit - 1), end);
    }
    ASSERT_GE(odd.SampleOf(limit), end);
    reached = limit;
  }
  const double exact = static_cast<double>(end) * 1920e6 / (618557.0 * 44100.0);
  EXPECT_NEAR(static_cast<double>(reached), exact, 1.0);
}

TEST(TickClock, ATempoChangeKeepsThePositionAndChangesThePace) {
  TickClock clock(480, 48000, 500000);  // 50 samples a tick
  clock.Anchor(0, 0);
  clock.SetTempo(1025, 250000);  // twice as fast from tick 20, which began at 1000
  EXPECT_EQ(clock.TickAt(1024), 20);
  EXPECT_EQ(clock.TickAt(1025), 21);
  EXPECT_EQ(clock.SampleOf(21), 1025);
  EXPECT_EQ(clock.SampleOf(30), 1250);
  EXPECT_EQ(clock.Tempo(), 250000u);
}

TEST(TapTempo, AveragesTheLastTapsAndStartsOverAfterAPause) {
  TapTempo tap;
  EXPECT_FALSE(tap.Tap(10.0));
  EXPECT_DOUBLE_EQ(*tap.Tap(10.5), 120.0);
  tap.Tap(11.0);
  EXPECT_DOUBLE_EQ(*tap.Tap(11.6), 60.0 / (1.6 / 3));  // the mean interval
  EXPECT_FALSE(tap.Tap(20.0)) << "after a pause the count starts over";
  EXPECT_NEAR(*tap.Tap(20.75), 80.0, 1e-9);
}

}  // namespace
}  // namespace vambrio::live
