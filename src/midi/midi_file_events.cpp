#include "midi/midi_file_events.h"

#include <algorithm>

#include "midi/midi_bytes.h"
#include "midi/tempo_map.h"

namespace vambrio::midi {
namespace {

constexpr uint32_t kHeaderId = 0x4D546864u;  // "MThd"
constexpr uint32_t kTrackId = 0x4D54726Bu;   // "MTrk"

uint32_t ReadBE(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

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

class TrackReader {
 public:
  TrackReader(const uint8_t* p, size_t n, uint32_t track, std::vector<RawEvent>& events, std::vector<uint8_t>& bytes)
      : p_(p), n_(n), track_(track), events_(events), bytes_(bytes) {}

  // Returns the tick of the track's last whole event.
  uint64_t Read() {
    while (i_ < n_) {
      uint32_t delta = 0;
      if (!ReadVarLen(delta)) break;
      uint64_t at = tick_ + delta;
      bool endOfTrack = false;
      if (!ReadEvent(at, endOfTrack)) break;
      tick_ = at;
      if (endOfTrack) break;
    }
    return tick_;
  }

 private:
  bool ReadVarLen(uint32_t& v) {
    VarLen q = midi::ReadVarLen(p_, n_, i_);
    if (q.fault != ReadFault::None) return false;
    v = q.value;
    i_ = q.last + 1;
    return true;
  }

  void Add(uint64_t at, const uint8_t* first, size_t count, uint8_t lead = 0) {
    RawEvent e;
    e.tick = at;
    e.track = track_;
    e.offset = static_cast<uint32_t>(bytes_.size());
    if (lead != 0) bytes_.push_back(lead);
    bytes_.insert(bytes_.end(), first, first + count);
    e.size = static_cast<uint32_t>(bytes_.size()) - e.offset;
    events_.push_back(e);
  }

  bool ReadMeta(uint64_t at, bool& endOfTrack) {
    if (n_ - i_ < 2) return false;
    uint8_t type = p_[i_ + 1];
    i_ += 2;
    uint32_t len = 0;
    if (!ReadVarLen(len) || len > n_ - i_) return false;
    if (type == meta::kTempo && len == 3) {
      RawEvent e;
      e.tick = at;
      e.track = track_;
      e.tempo = std::max<uint32_t>(1, ReadBE(p_ + i_, 3));
      events_.push_back(e);
    }
    endOfTrack = type == meta::kEndOfTrack;
    i_ += len;
    return true;
  }

  bool ReadEvent(uint64_t at, bool& endOfTrack) {
    if (i_ >= n_) return false;  // the track ends after a delta time
    uint8_t b = p_[i_];
    if (b == 0xFF) {
      running_ = 0;
      return ReadMeta(at, endOfTrack);
    }
    if (b == 0xF0 || b == 0xF7) {
      ++i_;
      running_ = 0;
      uint32_t len = 0;
      if (!ReadVarLen(len) || len > n_ - i_) return false;
      Add(at, p_ + i_, len, b == 0xF0 ? 0xF0 : 0);
      i_ += len;
      return true;
    }
    if (b >= 0xF1) return false;  // not an event of a file
    if (b >= 0x80) {
      running_ = b;
      ++i_;
    } else if (running_ == 0) {
      return false;  // a data byte with no status in force
    }
    size_t dataBytes = static_cast<size_t>(ChannelDataLength(running_));
    if (dataBytes > n_ - i_) return false;
    Add(at, p_ + i_, dataBytes, running_);
    i_ += dataBytes;
    return true;
  }

  const uint8_t* p_;
  size_t n_;
  uint32_t track_;
  std::vector<RawEvent>& events_;
  std::vector<uint8_t>& bytes_;
  size_t i_ = 0;
  uint64_t tick_ = 0;
  uint8_t running_ = 0;
};

// Ticks to microseconds: the tempo map, or SMPTE frames when the division says so.
class TickClock {
 public:
  explicit TickClock(uint16_t division) : tempos_(division & 0x8000 ? 1 : division) {
    if (division & 0x8000) {
      int frames = -static_cast<int8_t>(division >> 8);
      long double fps = frames == 29 ? 30000.0L / 1001.0L : frames;
      int perFrame = division & 0xFF;
      smpteUsPerTick_ = (fps > 0 && perFrame > 0) ? 1e6L / (fps * perFrame) : 0;
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
  if (size < 14 || ReadBE(data, 4) != kHeaderId) return std::nullopt;
  uint32_t headerLen = ReadBE(data + 4, 4);
  if (headerLen < 6 || headerLen > size - 8) return std::nullopt;
  uint32_t tracks = ReadBE(data + 10, 2);
  uint16_t division = static_cast<uint16_t>(ReadBE(data + 12, 2));
  if (division == 0) return std::nullopt;

  MidiFileEvents out;
  std::vector<RawEvent> raw;
  uint64_t endTick = 0;
  size_t at = 8 + static_cast<size_t>(headerLen);
  for (uint32_t found = 0; found < tracks && size - at >= 8;) {
    uint32_t id = ReadBE(data + at, 4);
    size_t len = static_cast<size_t>(std::min<uint64_t>(ReadBE(data + at + 4, 4), size - at - 8));
    if (id == kTrackId) {
      endTick = std::max(endTick, TrackReader(data + at + 8, len, found, raw, out.bytes).Read());
      ++found;
    }
    at += 8 + len;
  }
  std::stable_sort(raw.begin(), raw.end(), [](const RawEvent& a, const RawEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
  });

  TickClock clock(division);
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
