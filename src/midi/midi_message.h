// A short MIDI message as it arrives at an input port: up to three bytes and
// the moment it arrived on the monotonic clock. Longer messages (system
// exclusive) are not taken from input ports.
#pragma once

#include <array>
#include <cstdint>

namespace vambrio::platform {

struct MidiMessage {
  int64_t timeNs = 0;
  uint8_t size = 0;
  std::array<uint8_t, 3> bytes{};

  uint8_t Status() const { return size > 0 ? bytes[0] : 0; }
  int Channel() const { return bytes[0] & 0x0F; }
  bool IsNoteOn() const { return size == 3 && (bytes[0] & 0xF0) == 0x90 && bytes[2] > 0; }
  bool IsNoteOff() const {
    return size == 3 && ((bytes[0] & 0xF0) == 0x80 || ((bytes[0] & 0xF0) == 0x90 && bytes[2] == 0));
  }
};

}  // namespace vambrio::platform
