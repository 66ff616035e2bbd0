// What the audio callback asks of the code that plays live: once per audio
// block, the MIDI events that fall inside it, each at its frame offset.
//
// The callback runs on the audio driver's thread. A client's Process must
// not allocate, lock or wait: it reads its commands from a lock-free queue
// (spsc_queue.h) and writes into the fixed-capacity sink it is handed.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vambrio::realtime {

// One audio block: `frames` frames starting at `sampleTime`, the number of
// frames the output has been handed since it started.
struct BlockInfo {
  int64_t sampleTime = 0;
  int frames = 0;
  int sampleRate = 48000;
  int64_t callbackNs = 0;  // the monotonic clock when the callback began
};

// A MIDI message at a frame offset inside the block. A channel message is
// held inline; a longer message (system exclusive) points at bytes that stay
// valid until the block has been rendered (the sink's own copy, or bytes
// its producer keeps).
struct RealtimeEvent {
  static constexpr size_t kInline = 3;

  uint32_t offset = 0;
  uint32_t size = 0;
  std::array<uint8_t, kInline> inlineBytes{};
  // For a synthesizer with more than sixteen MIDI channels: the message's
  // channel is 16 * channelGroup + its status's low four bits.
  uint8_t channelGroup = 0;
  const uint8_t* external = nullptr;

  int Channel() const { return 16 * channelGroup + (status() & 0x0F); }

  const uint8_t* data() const { return external ? external : inlineBytes.data(); }
  uint8_t status() const { return size > 0 ? data()[0] : 0; }

  static RealtimeEvent Short(uint32_t offset, uint8_t status, uint8_t d1 = 0, uint8_t d2 = 0) {
    RealtimeEvent e;
    e.offset = offset;
    e.inlineBytes = {status, d1, d2};
    e.size = MessageSize(status);
    return e;
  }
  // A message of any length; up to three bytes are copied, longer ones are
  // referred to.
  static RealtimeEvent Bytes(uint32_t offset, const uint8_t* bytes, size_t size) {
    RealtimeEvent e;
    e.offset = offset;
    e.size = static_cast<uint32_t>(size);
    if (size <= kInline) {
      std::copy_n(bytes, size, e.inlineBytes.begin());
    } else {
      e.external = bytes;
    }
    return e;
  }
  // The length of a channel message by its status byte (1 for anything else).
  static uint32_t MessageSize(uint8_t status) {
    switch (status & 0xF0) {
      case 0xC0:
      case 0xD0:
        return 2;
      case 0x80:
      case 0x90:
      case 0xA0:
      case 0xB0:
      case 0xE0:
        return 3;
      default:
        return 1;
    }
  }
};

// The events of one block, kept in the order of their offsets (events at
// the same offset keep the order they were added in). Its room is fixed: an
// event that does not fit is dropped and counted, never allocated. Long
// messages added with AddCopy are copied into the sink's own byte room.
class RealtimeEventSink {
 public:
  static constexpr size_t kCapacity = 1024;
  static constexpr size_t kByteRoom = 16384;

  explicit RealtimeEventSink(uint32_t frames = 0) : frames_(frames) {}
  void Reset(uint32_t frames) {
    count_ = 0;
    bytesUsed_ = 0;
    frames_ = frames;
  }

  // An offset beyond the block is moved to its last frame.
  bool Add(RealtimeEvent event) {
    if (count_ == kCapacity) {
      ++dropped_;
      return false;
    }
    if (frames_ > 0) event.offset = std::min(event.offset, frames_ - 1);
    size_t at = count_;
    while (at > 0 && events_[at - 1].offset > event.offset) {
      events_[at] = events_[at - 1];
      --at;
    }
    events_[at] = event;
    ++count_;
    return true;
  }

  // A message of any length whose bytes are valid during the call only.
  bool AddCopy(uint32_t offset, const uint8_t* bytes, size_t size) {
    if (size <= RealtimeEvent::kInline) return Add(RealtimeEvent::Bytes(offset, bytes, size));
    if (size > kByteRoom - bytesUsed_ || count_ == kCapacity) {
      ++dropped_;
      return false;
    }
    uint8_t* copy = bytes_.data() + bytesUsed_;
    std::memcpy(copy, bytes, size);
    bytesUsed_ += size;
    return Add(RealtimeEvent::Bytes(offset, copy, size));
  }

  size_t size() const { return count_; }
  const RealtimeEvent& operator[](size_t i) const { return events_[i]; }
  const RealtimeEvent* begin() const { return events_.data(); }
  const RealtimeEvent* end() const { return events_.data() + count_; }
  uint32_t frames() const { return frames_; }
  // Events that did not fit, since the sink was made.
  uint64_t dropped() const { return dropped_; }

 private:
  std::array<RealtimeEvent, kCapacity> events_{};
  size_t count_ = 0;
  std::array<uint8_t, kByteRoom> bytes_{};
  size_t bytesUsed_ = 0;
  uint32_t frames_ = 0;
  uint64_t dropped_ = 0;
};

class RealtimeClient {
 public:
  virtual ~RealtimeClient() = default;
  // Called from the audio thread once per block, before the block renders.
  virtual void Process(const BlockInfo& block, RealtimeEventSink& events) = 0;
};

}  // namespace vambrio::realtime
