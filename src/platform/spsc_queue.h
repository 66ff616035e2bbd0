// A bounded queue between exactly one producing and one consuming thread,
// without locks or allocation after construction: what a port's thread uses
// to hand messages to the thread that plays, and back.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>

namespace vambrio::platform {

template <typename T>
class SpscQueue {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  // Holds up to `capacity` items (rounded up to a power of two).
  explicit SpscQueue(size_t capacity) {
    size_t n = 2;
    while (n < capacity) n *= 2;
    mask_ = n - 1;
    items_ = std::make_unique<T[]>(n);
  }

  // Producer side. False (and the item dropped) when the queue is full.
  bool Push(const T& item) {
    size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) > mask_) return false;
    items_[tail & mask_] = item;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer side. False when the queue is empty.
  bool Pop(T& item) {
    size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    item = items_[head & mask_];
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

 private:
  size_t mask_ = 0;
  std::unique_ptr<T[]> items_;
  alignas(64) std::atomic<size_t> head_{0};
  alignas(64) std::atomic<size_t> tail_{0};
};

}  // namespace vambrio::platform
