// The byte-level pieces of a Standard MIDI File track: variable-length
// quantities (read and written), the length field of meta and system-
// exclusive events, and the sizes of channel messages. Plain readers over a
// byte range: they report a fault instead of reading outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vambrio::midi {

// A quantity of a MIDI file has at most four bytes (values below 2^28).
inline constexpr int kMaxVarLenBytes = 4;
inline constexpr uint32_t kMaxVarLenValue = 0x0FFFFFFF;

enum class ReadFault { None, CutOff, TooLong };

struct VarLen {
  uint32_t value = 0;
  size_t last = 0;  // index of the quantity's last byte
  ReadFault fault = ReadFault::None;
};

// Reads the variable-length quantity that starts at `first`: seven bits per
// byte, most significant first, a byte of 128 or more is followed by another.
inline VarLen ReadVarLen(const uint8_t* data, size_t size, size_t first) {
  VarLen v;
  for (int n = 1;; ++n) {
    const size_t i = first + static_cast<size_t>(n - 1);
    if (i >= size) {
      v.fault = ReadFault::CutOff;
      v.last = i;
      return v;
    }
    const uint8_t b = data[i];
    v.value = (v.value << 7) | (b & 0x7Fu);
    if (b < 0x80) {
      v.last = i;
      return v;
    }
    if (n == kMaxVarLenBytes) {
      v.fault = ReadFault::TooLong;
      v.last = i;
      return v;
    }
  }
}

// Appends `value` (at most kMaxVarLenValue; larger values are cut to it) as
// a variable-length quantity.
inline void AppendVarLen(std::vector<uint8_t>& out, uint32_t value) {
  if (value > kMaxVarLenValue) value = kMaxVarLenValue;
  uint8_t tmp[kMaxVarLenBytes];
  int n = 0;
  tmp[n++] = static_cast<uint8_t>(value & 0x7F);
  while ((value >>= 7) != 0) tmp[n++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
  while (n > 0) out.push_back(tmp[--n]);
}

// A meta or system-exclusive event's length field and where its data lies.
struct EventLength {
  uint32_t length = 0;
  size_t first = 0;  // index of the first data byte
  ReadFault fault = ReadFault::None;
};

// For a meta event at `statusPos` (FF type length data) or a system-exclusive
// event (F0/F7 length data): lengthPos is statusPos + 2 or statusPos + 1. The
// data itself is not looked at: the caller checks that it is all there.
inline EventLength ReadEventLength(const uint8_t* data, size_t size, size_t lengthPos) {
  const VarLen len = ReadVarLen(data, size, lengthPos);
  EventLength e;
  e.fault = len.fault;
  e.length = len.value;
  e.first = len.last + 1;
  return e;
}

// Whether a meta event of this type may have this data length: the types
// with a fixed size must have it (sequence number may also be empty).
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
  const int h = status >> 4;
  return (h == 0xC || h == 0xD) ? 1 : 2;
}

// Status bytes: of the channel messages (the channel in the low four bits),
// and System Reset.
namespace status {
inline constexpr uint8_t kNoteOff = 0x80;
inline constexpr uint8_t kNoteOn = 0x90;
inline constexpr uint8_t kControlChange = 0xB0;
inline constexpr uint8_t kProgramChange = 0xC0;
inline constexpr uint8_t kChannelPressure = 0xD0;
inline constexpr uint8_t kPitchBend = 0xE0;
inline constexpr uint8_t kSystemReset = 0xFF;
}  // namespace status

// Controller numbers.
namespace cc {
inline constexpr uint8_t kBankSelectMsb = 0;
inline constexpr uint8_t kVolume = 7;
inline constexpr uint8_t kBankSelectLsb = 32;
inline constexpr uint8_t kSustain = 64;
inline constexpr uint8_t kSostenuto = 66;
inline constexpr uint8_t kAllSoundOff = 120;
inline constexpr uint8_t kAllNotesOff = 123;
}  // namespace cc

// Meta event types.
namespace meta {
inline constexpr uint8_t kText = 0x01;
inline constexpr uint8_t kTrackName = 0x03;
inline constexpr uint8_t kMarker = 0x06;
inline constexpr uint8_t kEndOfTrack = 0x2F;
inline constexpr uint8_t kTempo = 0x51;
inline constexpr uint8_t kTimeSignature = 0x58;
}  // namespace meta

}  // namespace vambrio::midi
