// Writing a format 0 Standard MIDI File: events with absolute ticks in,
// delta times out. Events may be added in any order; at the same tick they
// keep the order they were added in.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "midi/event_sink.h"

namespace vambrio::midi {

class SmfWriter final : public EventSink {
 public:
  // `division`: ticks per quarter note, written into the header as it is.
  explicit SmfWriter(uint16_t division) : division_(division) {}

  void Send(const Event& e) override;
  void Channel(uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2 = 0);
  void Meta(uint64_t tick, uint8_t type, const uint8_t* data, uint32_t size);
  void Tempo(uint64_t tick, uint32_t microsPerQuarter);
  void Marker(uint64_t tick, std::string_view text);
  void Text(uint64_t tick, std::string_view text);

  // The last tick of any event added so far.
  uint64_t LastTick() const { return lastTick_; }
  size_t EventCount() const { return events_.size(); }

  // The whole file: header chunk (format 0, one track, the division), the
  // track chunk, its events in tick order with running status never used,
  // and End of Track at max(endTick, the last event's tick).
  std::vector<uint8_t> Finish(uint64_t endTick = 0) const;

 private:
  struct Stored {
    uint64_t tick;
    uint32_t first;  // in bytes_: status and the rest as the file holds them, without the delta time
    uint32_t size;
  };
  void Add(uint64_t tick, const std::vector<uint8_t>& bytes);

  uint16_t division_;
  uint64_t lastTick_ = 0;
  std::vector<Stored> events_;
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> scratch_;
};

}  // namespace vambrio::midi
