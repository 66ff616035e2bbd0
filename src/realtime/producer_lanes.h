// Several producers for one consumer, without locks: each producer thread
// owns a lane (a single-producer queue of its own) and the consumer drains
// the lanes in their order. The window and the player's keyboard post the
// live arranger's commands this way, each from its own thread, while the
// audio callback takes them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "realtime/spsc_queue.h"

namespace vambrio::realtime {

template <typename T, size_t Capacity, size_t Lanes>
class ProducerLanes {
  static_assert(Lanes >= 1);

 public:
  // Producer side: only the thread that owns `lane` pushes into it. False
  // when the lane is full or does not exist (the item is not queued).
  bool TryPush(size_t lane, const T& item) { return lane < Lanes && lanes_[lane].TryPush(item); }

  // Consumer side: the next item of the first lane that has one.
  std::optional<T> TryPop() {
    for (auto& lane : lanes_) {
      if (auto item = lane.TryPop()) return item;
    }
    return std::nullopt;
  }

  bool Empty() const {
    for (const auto& lane : lanes_)
      if (!lane.Empty()) return false;
    return true;
  }

 private:
  std::array<SpscQueue<T, Capacity>, Lanes> lanes_;
};

}  // namespace vambrio::realtime
