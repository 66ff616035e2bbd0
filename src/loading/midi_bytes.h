// Reading the variable-length quantities of a track in StyleData, with every
// index checked.
#pragma once

#include <cstdint>
#include <vector>

#include "model/checked.h"

namespace vambrio {

struct VarLen {
  uint32_t value = 0;
  int32_t last = 0;  // index of the quantity's last byte
};

// Reads the variable-length quantity that starts at `first`: seven bits per
// byte, most significant first, a byte of 128 or more is followed by another.
// A quantity of a MIDI file has at most four bytes; a longer one raises error 6.
inline VarLen ReadVarLen(const std::vector<uint8_t>& data, int64_t first) {
  VarLen v;
  int64_t i = first;
  for (int n = 1;; ++n) {
    uint8_t b = At(data, i);
    v.value = (v.value << 7) | (b & 0x7Fu);
    if (b < 0x80) break;
    if (n == 4) Raise(err::Overflow);
    ++i;
  }
  v.last = ToInt32(i);
  return v;
}

// A meta or system-exclusive event's length field and where its data lies.
struct EventData {
  uint32_t length = 0;
  int32_t first = 0;  // index of the first data byte
  int32_t last = 0;   // index of the event's last byte (the length's last byte when empty)
};

// For a meta event at `statusPos` (FF type length data) or a system-exclusive
// event (F0/F7 length data): lengthPos is statusPos + 2 or statusPos + 1.
inline EventData ReadEventData(const std::vector<uint8_t>& data, int64_t lengthPos) {
  VarLen len = ReadVarLen(data, lengthPos);
  EventData e;
  e.length = len.value;
  e.first = ToInt32(int64_t{len.last} + 1);
  e.last = ToInt32(int64_t{len.last} + len.value);
  return e;
}

// Fixed data sizes of the meta types whose data has one; -1 for the others.
// Sequence number (00) may also be empty.
inline bool MetaLengthAllowed(uint8_t type, uint32_t length) {
  switch (type) {
    case 0x00: return length == 0 || length == 2;
    case 0x20:
    case 0x21: return length == 1;
    case 0x51: return length == 3;
    case 0x54: return length == 5;
    case 0x58: return length == 4;
    case 0x59: return length == 2;
    default: return true;
  }
}

inline bool IsChannelStatus(int status) { return status >= 0x80 && status <= 0xEF; }

// Data bytes of a channel message: 1 for program change and channel pressure, else 2.
inline int ChannelDataLength(int status) {
  int h = status >> 4;
  return (h == 0xC || h == 0xD) ? 1 : 2;
}

}  // namespace vambrio
