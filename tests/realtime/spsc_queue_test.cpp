#include "realtime/spsc_queue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

namespace vambrio::realtime {
namespace {

TEST(SpscQueue, KeepsOrderAndRefusesWhenFull) {
  SpscQueue<int, 4> q;
  EXPECT_FALSE(q.TryPop());
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(q.TryPush(i));
  EXPECT_FALSE(q.TryPush(5));
  EXPECT_EQ(*q.TryPop(), 1);
  EXPECT_TRUE(q.TryPush(5));  // the freed slot is used again, across the wrap
  for (int i = 2; i <= 5; ++i) EXPECT_EQ(*q.TryPop(), i);
  EXPECT_TRUE(q.Empty());
}

// One thread pushes a numbered sequence while another pops it: every item
// arrives once, in order, with the payload written before it was published.
TEST(SpscQueue, TwoThreadsPassEveryItemInOrder) {
  struct Item {
    uint64_t number;
    uint64_t check;
  };
  SpscQueue<Item, 64> q;
  constexpr uint64_t kCount = 200'000;
  std::thread producer([&] {
    for (uint64_t i = 0; i < kCount;) {
      if (q.TryPush({i, i * 2654435761u})) {
        ++i;
      } else {
        std::this_thread::yield();
      }
    }
  });
  uint64_t expected = 0, bad = 0;
  while (expected < kCount) {
    if (auto item = q.TryPop()) {
      bad += item->number != expected || item->check != expected * 2654435761u;
      ++expected;
    } else {
      std::this_thread::yield();
    }
  }
  producer.join();
  EXPECT_EQ(bad, 0u);
  EXPECT_TRUE(q.Empty());
}

}  // namespace
}  // namespace vambrio::realtime
