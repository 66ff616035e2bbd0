// The playing time of a Standard MIDI File, from its own tempo map and division.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vambrio::midi {

struct MidiTiming {
  int64_t LengthMs = 0;  // time of the last event of the longest track, rounded to a millisecond
  uint32_t EndTick = 0;  // tick of that event
};

// Walks the header and the track chunks of the file (as many as the header
// announces; anything after them, such as zero padding, is ignored). Tempo
// events of every track form one tempo map (120 quarters a minute until the
// first). A track cut short or spoilt ends at its last whole event. Empty
// when the bytes do not begin with a valid header chunk.
std::optional<MidiTiming> MeasureMidi(const uint8_t* data, size_t size);
inline std::optional<MidiTiming> MeasureMidi(const std::vector<uint8_t>& bytes) {
  return MeasureMidi(bytes.data(), bytes.size());
}

// A MIDI file read whole to be played: its bytes and timing. Nothing when it
// cannot be read or is no MIDI file; problem then says so ("The file F could
// not be read.", "The file F is not a MIDI file.").
struct MidiFileToPlay {
  std::vector<uint8_t> bytes;
  MidiTiming timing;
};
std::optional<MidiFileToPlay> ReadMidiFileToPlay(const std::string& path, std::string& problem);

}  // namespace vambrio::midi

namespace vambrio {
using midi::MeasureMidi;
using midi::MidiTiming;
}  // namespace vambrio
