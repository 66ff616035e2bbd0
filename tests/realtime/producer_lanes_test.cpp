#include "realtime/producer_lanes.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

namespace vambrio::realtime {
namespace {

struct Item {
  uint32_t lane;
  uint64_t number;
  uint64_t check;
};

TEST(ProducerLanes, DrainsTheLanesInTheirOrderAndRefusesAnUnknownLane) {
  ProducerLanes<int, 4, 2> lanes;
  EXPECT_TRUE(lanes.TryPush(1, 10));
  EXPECT_TRUE(lanes.TryPush(0, 1));
  EXPECT_TRUE(lanes.TryPush(1, 11));
  EXPECT_FALSE(lanes.TryPush(2, 99));
  EXPECT_EQ(*lanes.TryPop(), 1);
  EXPECT_EQ(*lanes.TryPop(), 10);
  EXPECT_EQ(*lanes.TryPop(), 11);
  EXPECT_FALSE(lanes.TryPop());
  EXPECT_TRUE(lanes.Empty());
}

// Two producer threads (the window and the keyboard) push numbered items at
// once while the consumer pops: every item of each arrives once, in its
// producer's order, with the payload written before it was published.
TEST(ProducerLanes, TwoProducerThreadsPassEveryItemOnceInOrder) {
  constexpr uint64_t kCount = 100'000;
  ProducerLanes<Item, 64, 2> lanes;
  auto produce = [&](uint32_t lane) {
    for (uint64_t i = 0; i < kCount;) {
      if (lanes.TryPush(lane, {lane, i, i * 2654435761u + lane})) {
        ++i;
      } else {
        std::this_thread::yield();
      }
    }
  };
  std::thread window(produce, 0), keyboard(produce, 1);
  std::array<uint64_t, 2> expected{};
  uint64_t bad = 0;
  while (expected[0] < kCount || expected[1] < kCount) {
    auto item = lanes.TryPop();
    if (!item) {
      std::this_thread::yield();
      continue;
    }
    if (item->lane > 1) {
      ++bad;
      continue;
    }
    bad += item->number != expected[item->lane] || item->check != item->number * 2654435761u + item->lane;
    ++expected[item->lane];
  }
  window.join();
  keyboard.join();
  EXPECT_EQ(bad, 0u);
  EXPECT_TRUE(lanes.Empty());
}

}  // namespace
}  // namespace vambrio::realtime
