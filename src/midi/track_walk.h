// Walking a Standard MIDI File: its header, its track chunks and the events
// of a track, with running status. Every reader of the files (the player's
// event list, the length of a file, the voice map's copy of a file, the
// live arranger's patterns) walks them here, so all of them agree on where
// a track ends and what a damaged one still holds.
//
// A walk stops at End of Track, at the end of the bytes, and at the first
// event that cannot be read whole (a cut-off quantity or event, a data byte
// with no status in force, a status byte no file may hold).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "midi/midi_bytes.h"

namespace vambrio::midi {

inline uint32_t ReadBigEndian(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

struct SmfHeader {
  uint32_t length = 0;  // of the header chunk's data: 6 or more
  uint32_t tracks = 0;
  uint16_t division = 0;
};

// "MThd" with a length of six or more; nothing for anything else.
inline std::optional<SmfHeader> ReadSmfHeader(const uint8_t* data, size_t size) {
  if (size < 14 || ReadBigEndian(data, 4) != 0x4D546864u) return std::nullopt;  // "MThd"
  SmfHeader h;
  h.length = ReadBigEndian(data + 4, 4);
  if (h.length < 6) return std::nullopt;
  h.tracks = ReadBigEndian(data + 10, 2);
  h.division = static_cast<uint16_t>(ReadBigEndian(data + 12, 2));
  return h;
}

// Ticks a second of a time-code division (its high byte the negative frames
// a second, -29 for 29.97; its low byte the ticks a frame); 0 for a bad one.
inline long double SmpteTicksPerSecond(uint16_t division) {
  const int frames = -static_cast<int8_t>(division >> 8);
  const long double fps = frames == 29 ? 30000.0L / 1001.0L : frames;
  const int perFrame = division & 0xFF;
  return fps > 0 && perFrame > 0 ? fps * perFrame : 0;
}

// Calls track(index, first, end) for each "MTrk" chunk, as many as the
// header counts, with the bytes first..end of its events; other chunks are
// passed over, a chunk cut off by the end of the data is read as far as it goes.
template <typename Track>
void ForEachTrack(const uint8_t* data, size_t size, const SmfHeader& header, Track&& track) {
  size_t at = 8 + static_cast<size_t>(header.length);
  for (uint32_t found = 0; found < header.tracks && at + 8 <= size;) {
    const size_t first = at + 8;
    const size_t end = first + std::min<size_t>(ReadBigEndian(data + at + 4, 4), size - first);
    if (ReadBigEndian(data + at, 4) == 0x4D54726Bu) track(found++, first, end);  // "MTrk"
    at = end;
  }
}

// A style's one track stands behind a header chunk of six bytes: its events
// start at byte 22 ("MThd", its length and data, "MTrk" and its length) and
// end where the track's length says, or with the data.
inline constexpr size_t kStyleTrackStart = 22;
inline size_t StyleTrackEnd(const uint8_t* data, size_t size) {
  size_t announced = 0;
  for (size_t k = 18; k < kStyleTrackStart && k < size; ++k) announced = announced << 8 | data[k];
  return std::min(size, kStyleTrackStart + announced);
}

// One event as the walk meets it; the indexes are into the walked bytes.
struct TrackEvent {
  size_t start = 0;  // its delta time's first byte
  uint64_t tick = 0;
  uint8_t status = 0;    // running status applied; F0 or F7 for system exclusive, FF for meta
  uint8_t metaType = 0;  // of a meta event
  size_t first = 0;      // its data: a channel message's data bytes, a meta or system-exclusive event's data
  uint32_t size = 0;
};

struct TrackEnd {
  uint64_t lastTick = 0;     // of the last whole event, End of Track included
  uint64_t reachedTick = 0;  // of the last delta time read, whether a whole event followed it or not
};

// Walks the events of data[first..end), calling event(e) for each whole
// event but End of Track, which ends the walk.
template <typename Event>
TrackEnd WalkTrack(const uint8_t* data, size_t first, size_t end, Event&& event) {
  TrackEnd out;
  uint8_t running = 0;
  for (size_t i = first; i < end;) {
    TrackEvent e;
    e.start = i;
    const VarLen delta = ReadVarLen(data, end, i);
    if (delta.fault != ReadFault::None) break;
    e.tick = out.reachedTick += delta.value;
    i = delta.last + 1;
    if (i >= end) break;
    if (data[i] >= 0x80) {
      e.status = data[i++];
    } else if (running != 0) {
      e.status = running;
    } else {
      break;  // a data byte with no status in force
    }
    if (e.status == 0xFF || e.status == 0xF0 || e.status == 0xF7) {
      running = 0;
      if (e.status == 0xFF) {
        if (i >= end) break;
        e.metaType = data[i++];
      }
      const EventLength len = ReadEventLength(data, end, i);
      if (len.fault != ReadFault::None || len.length > end - len.first) break;
      e.first = len.first;
      e.size = len.length;
      i = len.first + len.length;
      out.lastTick = e.tick;
      if (e.status == 0xFF && e.metaType == meta::kEndOfTrack) break;
    } else if (IsChannelStatus(e.status)) {
      running = e.status;
      const size_t n = static_cast<size_t>(ChannelDataLength(e.status));
      if (n > end - i) break;
      e.first = i;
      e.size = static_cast<uint32_t>(n);
      i += n;
      out.lastTick = e.tick;
    } else {
      break;  // no event of a file
    }
    event(e);
  }
  return out;
}

}  // namespace vambrio::midi
