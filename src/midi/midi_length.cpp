#include "midi/midi_length.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "midi/tempo_map.h"
#include "midi/track_walk.h"

namespace vambrio::midi {
namespace {

// Records the tempo changes of one track; returns the tick of its last whole event.
uint64_t WalkTempos(const uint8_t* data, size_t first, size_t end, TempoMap& tempos) {
  return WalkTrack(data, first, end, [&](const TrackEvent& e) {
    if (e.status == 0xFF && e.metaType == meta::kTempo && e.size >= 3) tempos.Add(e.tick, ReadBigEndian(data + e.first, 3));
  }).lastTick;
}

}  // namespace

std::optional<MidiTiming> MeasureMidi(const uint8_t* data, size_t size) {
  const std::optional<SmfHeader> header = ReadSmfHeader(data, size);
  if (!header || header->length > size - 8 || header->division == 0) return std::nullopt;
  const uint16_t division = header->division;

  TempoMap tempos(division & 0x8000 ? 1 : division);
  uint64_t end = 0;
  ForEachTrack(data, size, *header,
               [&](uint32_t, size_t first, size_t last) { end = std::max(end, WalkTempos(data, first, last, tempos)); });

  const long double perSecond = SmpteTicksPerSecond(division);
  long double us = (division & 0x8000) ? (perSecond > 0 ? static_cast<long double>(end) * 1e6L / perSecond : 0)
                                       : tempos.MicrosAt(end);
  MidiTiming t;
  t.LengthMs = static_cast<int64_t>(us / 1000.0L + 0.5L);
  t.EndTick = static_cast<uint32_t>(std::min<uint64_t>(end, UINT32_MAX));
  return t;
}

std::optional<MidiFileToPlay> ReadMidiFileToPlay(const std::string& path, std::string& problem) {
  MidiFileToPlay file;
  std::ifstream f(path, std::ios::binary);
  bool read = false;
  if (f) {
    file.bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    read = !f.bad();
  }
  if (!read) {
    problem = "The file " + path + " could not be read.";
    return std::nullopt;
  }
  const std::optional<MidiTiming> timing = MeasureMidi(file.bytes);
  if (!timing) {
    problem = "The file " + path + " is not a MIDI file.";
    return std::nullopt;
  }
  file.timing = *timing;
  return file;
}

}  // namespace vambrio::midi
