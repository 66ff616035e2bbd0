// An independent reader of the single-track Standard MIDI Files that the
// assembly writes, strict about structure: a 6-byte header chunk, exactly
// one track chunk whose length is exact, events that walk precisely to End
// of Track (the last event), running status only after a channel message,
// every channel data byte below 128.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vambrio::test {

struct SmfEvent {
  size_t offset = 0;       // index of the event's first delta-time byte
  uint32_t delta = 0;
  uint64_t tick = 0;       // absolute time
  uint8_t status = 0;      // status in force (running status resolved)
  bool running = false;    // written without a status byte of its own
  uint8_t metaType = 0;    // for status FF
  std::vector<uint8_t> data;  // channel data bytes, or the meta/sysex payload

  int Channel() const { return status & 0x0F; }
  int Kind() const { return status >> 4; }
  bool IsNote() const { return Kind() == 0x8 || Kind() == 0x9; }
};

struct SmfFile {
  std::string error;  // empty when the file is well formed
  uint16_t format = 0, tracks = 0, division = 0;
  uint32_t trackLength = 0;
  std::vector<SmfEvent> events;  // End of Track included, as the last event
  bool ok() const { return error.empty(); }
};

namespace smf_detail {
inline uint32_t BE(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int k = 0; k < n; ++k) v = (v << 8) | p[k];
  return v;
}
// Reads a variable-length quantity of at most four bytes; false when it is
// longer or runs past `end`.
inline bool VarLen(const uint8_t* data, size_t end, size_t& pos, uint32_t& value) {
  value = 0;
  for (int n = 0; n < 4; ++n) {
    if (pos >= end) return false;
    uint8_t b = data[pos++];
    value = (value << 7) | (b & 0x7Fu);
    if (b < 0x80) return true;
  }
  return false;
}
inline std::string At(const char* what, size_t pos) { return std::string(what) + " at offset " + std::to_string(pos); }
}  // namespace smf_detail

inline SmfFile ReadSmf(const uint8_t* d, size_t size, bool keepEvents = true) {
  using namespace smf_detail;
  SmfFile f;
  if (size < 22) return f.error = "shorter than a header and a track head", f;
  if (std::string(reinterpret_cast<const char*>(d), 4) != "MThd" || BE(d + 4, 4) != 6)
    return f.error = "no 6-byte MThd chunk", f;
  f.format = static_cast<uint16_t>(BE(d + 8, 2));
  f.tracks = static_cast<uint16_t>(BE(d + 10, 2));
  f.division = static_cast<uint16_t>(BE(d + 12, 2));
  if (f.tracks != 1 || f.format > 1) return f.error = "not a single-track file", f;
  if (std::string(reinterpret_cast<const char*>(d + 14), 4) != "MTrk") return f.error = "no MTrk at offset 14", f;
  f.trackLength = BE(d + 18, 4);
  if (uint64_t{22} + f.trackLength != size)
    return f.error = "track length " + std::to_string(f.trackLength) + " but " + std::to_string(size - 22) +
                     " bytes follow the track head", f;
  size_t pos = 22;
  uint64_t tick = 0;
  int status = 0;  // running status in force (channel messages only)
  while (pos < size) {
    SmfEvent e;
    e.offset = pos;
    if (!VarLen(d, size, pos, e.delta)) return f.error = At("bad delta time", e.offset), f;
    tick += e.delta;
    e.tick = tick;
    if (pos >= size) return f.error = At("event cut off", e.offset), f;
    uint8_t b = d[pos];
    if (b >= 0x80) {
      e.status = b;
      ++pos;
    } else {
      if (status == 0) return f.error = At("data byte without running status", pos), f;
      e.status = static_cast<uint8_t>(status);
      e.running = true;
    }
    if (e.status == 0xFF || e.status == 0xF0 || e.status == 0xF7) {
      status = 0;
      if (e.status == 0xFF) {
        if (pos >= size) return f.error = At("meta event cut off", e.offset), f;
        e.metaType = d[pos++];
      }
      uint32_t len = 0;
      if (!VarLen(d, size, pos, len) || len > size - pos) return f.error = At("bad event length", e.offset), f;
      e.data.assign(d + pos, d + pos + len);
      pos += len;
    } else if (e.status >= 0xF0) {
      return f.error = At("system message inside a track", e.offset), f;
    } else {
      status = e.status;
      const int n = (e.Kind() == 0xC || e.Kind() == 0xD) ? 1 : 2;
      for (int k = 0; k < n; ++k) {
        if (pos >= size) return f.error = At("channel message cut off", e.offset), f;
        if (d[pos] >= 0x80) return f.error = At("data byte of 128 or more", pos), f;
        e.data.push_back(d[pos++]);
      }
    }
    const bool endOfTrack = e.status == 0xFF && e.metaType == 0x2F;
    if (keepEvents || endOfTrack) f.events.push_back(std::move(e));
    if (endOfTrack) {
      if (!f.events.back().data.empty()) return f.error = At("End of Track with data", f.events.back().offset), f;
      if (pos != size) return f.error = At("events behind End of Track", pos), f;
      return f;
    }
  }
  f.error = "no End of Track";
  return f;
}

inline SmfFile ReadSmf(const std::vector<uint8_t>& bytes, bool keepEvents = true) {
  return ReadSmf(bytes.data(), bytes.size(), keepEvents);
}

// The structure check alone: empty when well formed, else what is wrong.
inline std::string SmfStructureError(const uint8_t* data, size_t size) { return ReadSmf(data, size, false).error; }
inline std::string SmfStructureError(const std::vector<uint8_t>& bytes) {
  return SmfStructureError(bytes.data(), bytes.size());
}

}  // namespace vambrio::test
