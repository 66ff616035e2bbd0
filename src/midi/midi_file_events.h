// The events of a Standard MIDI File as they are to be sent, in time order:
// the tracks merged, running status spelt out, tempo changes applied. Meta
// events are not sent and are left out; a system-exclusive event keeps its
// F0 and data (an F7 "escape" event gives its data as they stand).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vambrio::midi {

struct MidiFileEvent {
  int64_t timeUs = 0;   // from the start of the file
  uint32_t offset = 0;  // first byte in MidiFileEvents::bytes
  uint32_t size = 0;
};

struct MidiFileEvents {
  std::vector<MidiFileEvent> events;
  std::vector<uint8_t> bytes;
  int64_t endUs = 0;  // time of the last event of any kind, End of Track included

  const uint8_t* Bytes(const MidiFileEvent& e) const { return bytes.data() + e.offset; }
};

// Reads the header and as many track chunks as it announces (other chunks are
// passed over). A track cut short or spoilt ends at its last whole event, as
// a player reads it. Empty when the bytes do not begin with a valid header.
std::optional<MidiFileEvents> ReadMidiFileEvents(const uint8_t* data, size_t size);
inline std::optional<MidiFileEvents> ReadMidiFileEvents(const std::vector<uint8_t>& bytes) {
  return ReadMidiFileEvents(bytes.data(), bytes.size());
}

}  // namespace vambrio::midi
