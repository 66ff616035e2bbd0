// A timed MIDI event as the sequencing code hands it on, and the interface
// of whatever takes such events: a file writer, a synthesizer, a port.
#pragma once

#include <cstdint>

namespace vambrio::midi {

struct Event {
  uint64_t tick = 0;
  uint8_t status = 0;    // channel status 80..EF, F0 or F7 (system exclusive), FF (meta)
  uint8_t metaType = 0;  // for FF
  uint32_t size = 0;     // bytes at `data`
  // A channel message's data bytes (one or two); the payload of a system-
  // exclusive or meta event as a file holds it after its length field (for
  // F0 the bytes after F0, usually ending in F7). Valid during the call only.
  const uint8_t* data = nullptr;

  bool IsChannel() const { return status >= 0x80 && status <= 0xEF; }
  bool IsMeta() const { return status == 0xFF; }
  bool IsSysex() const { return status == 0xF0 || status == 0xF7; }
  int Channel() const { return status & 0x0F; }
  int Kind() const { return status >> 4; }
};

class EventSink {
 public:
  virtual ~EventSink() = default;
  // Events come in the order of their ticks.
  virtual void Send(const Event& e) = 0;
};

}  // namespace vambrio::midi
