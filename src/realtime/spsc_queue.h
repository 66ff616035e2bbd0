// A bounded single-producer/single-consumer queue without locks: one thread
// pushes, one other thread pops, neither ever waits or allocates. It carries
// commands from the window or the command line into the audio callback.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>
#include <type_traits>

namespace vambrio::realtime {

template <typename T, size_t Capacity>
class SpscQueue {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "the capacity is a power of two");
  static_assert(std::is_trivially_copyable_v<T>, "items are copied by the audio thread without side effects");

 public:
  // Producer side. False when the queue is full (the item is not queued).
  bool TryPush(const T& item) {
    const size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - headCache_ == Capacity) {
      headCache_ = head_.load(std::memory_order_acquire);
      if (tail - headCache_ == Capacity) return false;
    }
    slots_[tail & (Capacity - 1)] = item;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer side. Empty when nothing is queued.
  std::optional<T> TryPop() {
    const size_t head = head_.load(std::memory_order_relaxed);
    if (head == tailCache_) {
      tailCache_ = tail_.load(std::memory_order_acquire);
      if (head == tailCache_) return std::nullopt;
    }
    T item = slots_[head & (Capacity - 1)];
    head_.store(head + 1, std::memory_order_release);
    return item;
  }

  // Either side; only a snapshot while the other side runs.
  bool Empty() const { return head_.load(std::memory_order_acquire) == tail_.load(std::memory_order_acquire); }
  static constexpr size_t capacity() { return Capacity; }

 private:
  static constexpr size_t kLine = 64;  // the two indices on cache lines of their own
  alignas(kLine) std::atomic<size_t> head_{0};
  size_t tailCache_ = 0;  // the consumer's last look at tail_
  alignas(kLine) std::atomic<size_t> tail_{0};
  size_t headCache_ = 0;  // the producer's last look at head_
  alignas(kLine) std::array<T, Capacity> slots_{};
};

}  // namespace vambrio::realtime
