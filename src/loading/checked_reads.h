// The MIDI byte readers for the walks over StyleData, with every index
// checked: a read outside StyleData raises error 9, a variable-length
// quantity of more than four bytes error 6.
#pragma once

#include <cstdint>
#include <vector>

#include "midi/midi_bytes.h"
#include "model/checked.h"

namespace vambrio {

using midi::ChannelDataLength;
using midi::IsChannelStatus;
using midi::MetaLengthAllowed;

struct VarLen {
  uint32_t value = 0;
  int32_t last = 0;  // index of the quantity's last byte
};

inline VarLen ReadVarLen(const std::vector<uint8_t>& data, int64_t first) {
  if (first < 0) Raise(err::SubscriptOutOfRange);
  const midi::VarLen v = midi::ReadVarLen(data.data(), data.size(), static_cast<size_t>(first));
  if (v.fault == midi::ReadFault::CutOff) Raise(err::SubscriptOutOfRange);
  if (v.fault == midi::ReadFault::TooLong) Raise(err::Overflow);
  return VarLen{v.value, ToInt32(static_cast<int64_t>(v.last))};
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
  const VarLen len = ReadVarLen(data, lengthPos);
  EventData e;
  e.length = len.value;
  e.first = ToInt32(int64_t{len.last} + 1);
  e.last = ToInt32(int64_t{len.last} + len.value);
  return e;
}

}  // namespace vambrio
