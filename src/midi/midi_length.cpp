#include "midi/midi_length.h"

#include <algorithm>

#include "midi/midi_bytes.h"
#include "midi/tempo_map.h"

namespace vambrio::midi {
namespace {

uint32_t ReadBE(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

// Reads events of one track; records tempo changes and returns the tick of
// the last whole event.
class TrackWalker {
 public:
  TrackWalker(const uint8_t* p, size_t n, TempoMap& tempos) : p_(p), n_(n), tempos_(tempos) {}

  uint64_t Walk() {
    uint64_t lastTick = 0;
    while (i_ < n_) {
      uint32_t delta = 0;
      if (!ReadVarLen(delta)) break;
      uint64_t at = tick_ + delta;
      bool endOfTrack = false;
      if (!ReadEvent(at, endOfTrack)) break;
      tick_ = at;
      lastTick = at;
      if (endOfTrack) break;
    }
    return lastTick;
  }

 private:
  bool ReadVarLen(uint32_t& v) {
    const VarLen q = midi::ReadVarLen(p_, n_, i_);
    if (q.fault != ReadFault::None) return false;
    v = q.value;
    i_ = q.last + 1;
    return true;
  }
  bool Skip(uint64_t count) {
    if (count > n_ - i_) return false;
    i_ += static_cast<size_t>(count);
    return true;
  }
  bool ReadEvent(uint64_t at, bool& endOfTrack) {
    if (i_ >= n_) return false;
    uint8_t b = p_[i_];
    if (b == 0xFF) {
      if (n_ - i_ < 2) return false;
      uint8_t type = p_[i_ + 1];
      i_ += 2;
      uint32_t len = 0;
      if (!ReadVarLen(len) || len > n_ - i_) return false;
      if (type == 0x51 && len >= 3) tempos_.Add(at, ReadBE(p_ + i_, 3));
      endOfTrack = type == 0x2F;
      i_ += len;
      running_ = 0;
      return true;
    }
    if (b == 0xF0 || b == 0xF7) {
      ++i_;
      uint32_t len = 0;
      running_ = 0;
      return ReadVarLen(len) && Skip(len);
    }
    if (b >= 0xF1) return false;  // not a file event
    if (b >= 0x80) {
      running_ = b;
      ++i_;
    } else if (running_ == 0) {
      return false;  // data byte without a status in force
    }
    return Skip(static_cast<uint64_t>(ChannelDataLength(running_)));
  }

  const uint8_t* p_;
  size_t n_;
  size_t i_ = 0;
  uint64_t tick_ = 0;
  uint8_t running_ = 0;
  TempoMap& tempos_;
};

long double SmpteTimeUs(uint64_t end, uint16_t division) {
  int frames = -static_cast<int8_t>(division >> 8);
  long double fps = frames == 29 ? 30000.0L / 1001.0L : frames;
  int perFrame = division & 0xFF;
  if (fps <= 0 || perFrame == 0) return 0;
  return static_cast<long double>(end) * 1e6L / (fps * perFrame);
}

}  // namespace

std::optional<MidiTiming> MeasureMidi(const uint8_t* data, size_t size) {
  if (size < 14 || ReadBE(data, 4) != 0x4D546864u) return std::nullopt;  // "MThd"
  uint32_t headerLen = ReadBE(data + 4, 4);
  if (headerLen < 6 || headerLen > size - 8) return std::nullopt;
  uint32_t tracks = ReadBE(data + 10, 2);
  uint16_t division = static_cast<uint16_t>(ReadBE(data + 12, 2));
  if (division == 0) return std::nullopt;

  TempoMap tempos(division & 0x8000 ? 1 : division);
  uint64_t end = 0;
  size_t at = 8 + static_cast<size_t>(headerLen);
  for (uint32_t found = 0; found < tracks && size - at >= 8;) {
    uint32_t id = ReadBE(data + at, 4);
    uint64_t len = std::min<uint64_t>(ReadBE(data + at + 4, 4), size - at - 8);
    const uint8_t* body = data + at + 8;
    if (id == 0x4D54726Bu) {  // "MTrk"
      end = std::max(end, TrackWalker(body, static_cast<size_t>(len), tempos).Walk());
      ++found;
    }
    at += 8 + static_cast<size_t>(len);
  }

  long double us = (division & 0x8000) ? SmpteTimeUs(end, division) : tempos.MicrosAt(end);
  MidiTiming t;
  t.LengthMs = static_cast<int64_t>(us / 1000.0L + 0.5L);
  t.EndTick = static_cast<uint32_t>(std::min<uint64_t>(end, UINT32_MAX));
  return t;
}

}  // namespace vambrio::midi
