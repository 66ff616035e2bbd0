#include "midi/midi_file_events.h"

#include <algorithm>

#include "midi/tempo_map.h"
#include "midi/track_walk.h"

namespace vambrio::midi {
namespace {

// An event before the tracks are merged: its tick, the track it came from
// (events at one tick keep their track order) and, for a tempo change, the
// new tempo instead of bytes.
struct RawEvent {
  uint64_t tick = 0;
  uint32_t track = 0;
  uint32_t offset = 0;
  uint32_t size = 0;
  uint32_t tempo = 0;  // nonzero: a tempo change, nothing to send
};

// The events of one track into `events` (their bytes into `bytes`, each with
// its status); returns the tick of the track's last whole event.
uint64_t ReadTrack(const uint8_t* data, size_t first, size_t end, uint32_t track, std::vector<RawEvent>& events,
                   std::vector<uint8_t>& bytes) {
  return WalkTrack(data, first, end, [&](const TrackEvent& e) {
    RawEvent raw;
    raw.tick = e.tick;
    raw.track = track;
    if (e.status == 0xFF) {
      if (e.metaType != meta::kTempo || e.size != 3) return;
      raw.tempo = std::max<uint32_t>(1, ReadBigEndian(data + e.first, 3));
    } else {
      raw.offset = static_cast<uint32_t>(bytes.size());
      if (e.status != 0xF7) bytes.push_back(e.status);  // F7 (an escape) sends its data as it stands
      bytes.insert(bytes.end(), data + e.first, data + e.first + e.size);
      raw.size = static_cast<uint32_t>(bytes.size()) - raw.offset;
    }
    events.push_back(raw);
  }).lastTick;
}

// Ticks to microseconds: the tempo map, or SMPTE frames when the division says so.
class TickClock {
 public:
  explicit TickClock(uint16_t division) : tempos_(division & 0x8000 ? 1 : division) {
    if (division & 0x8000) {
      const long double perSecond = SmpteTicksPerSecond(division);
      smpteUsPerTick_ = perSecond > 0 ? 1e6L / perSecond : 0;
      smpte_ = true;
    }
  }
  void SetTempo(uint64_t tick, uint32_t tempo) { tempos_.Add(tick, tempo); }
  long double At(uint64_t tick) const {
    return smpte_ ? static_cast<long double>(tick) * smpteUsPerTick_ : tempos_.MicrosAt(tick);
  }

 private:
  TempoMap tempos_;
  bool smpte_ = false;
  long double smpteUsPerTick_ = 0;
};

}  // namespace

std::optional<MidiFileEvents> ReadMidiFileEvents(const uint8_t* data, size_t size) {
  const std::optional<SmfHeader> header = ReadSmfHeader(data, size);
  if (!header || header->length > size - 8 || header->division == 0) return std::nullopt;

  MidiFileEvents out;
  std::vector<RawEvent> raw;
  uint64_t endTick = 0;
  ForEachTrack(data, size, *header, [&](uint32_t track, size_t first, size_t end) {
    endTick = std::max(endTick, ReadTrack(data, first, end, track, raw, out.bytes));
  });
  std::stable_sort(raw.begin(), raw.end(), [](const RawEvent& a, const RawEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
  });

  TickClock clock(header->division);
  out.events.reserve(raw.size());
  for (const RawEvent& e : raw) {
    if (e.tempo != 0) {
      clock.SetTempo(e.tick, e.tempo);
      continue;
    }
    out.events.push_back({static_cast<int64_t>(clock.At(e.tick) + 0.5L), e.offset, e.size});
  }
  out.endUs = static_cast<int64_t>(clock.At(endTick) + 0.5L);
  return out;
}

}  // namespace vambrio::midi
