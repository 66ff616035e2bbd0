// What the live arranger says besides MIDI messages (section markers, chord
// names, tempo changes), handed to a listener on the audio thread as it
// happens: the sample it sounds at and the arranger's tick. A tap must not
// allocate, lock or wait.
#pragma once

#include <cstdint>

namespace vambrio::realtime {

class MetaTap {
 public:
  virtual ~MetaTap() = default;
  virtual void Meta(int64_t sample, int64_t tick, uint8_t type, const uint8_t* data, uint32_t size) = 0;
};

}  // namespace vambrio::realtime
