// Where a real-time client (the live arranger, with the player's keyboard in
// front of it) is heard: the built-in synthesizer's audio callback, or the
// sending thread of a MIDI port. One live client plays at a time, and the
// classic Play's sequencer shares the same output: whoever starts takes it
// from the other, who is told.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "realtime/realtime_client.h"

namespace vambrio::platform {

class LiveOutput {
 public:
  virtual ~LiveOutput() = default;
  // From the next block on, the output asks `client` for its events.
  // `onTakenAway` runs (on the taker's thread) when the sequencer or another
  // client takes the output; `onOutputLost` once, from a thread of the
  // output, when the output fails: the client is then detached and every
  // note is off. False when nothing can sound (Problem says why).
  virtual bool AttachLiveClient(realtime::RealtimeClient& client, std::function<void()> onTakenAway,
                                std::function<void()> onOutputLost) = 0;
  // Detaches the client (if one is attached) and turns every note off.
  virtual void DetachLiveClient() = 0;
  virtual bool LiveClientAttached() const = 0;
  // Nobody plays here any more (another sound source was chosen): the
  // sequencer's file is stopped and the live client let go, each told as
  // when the other takes the output.
  virtual void Release() = 0;
  virtual std::string Problem() const = 0;
  virtual uint64_t Underruns() const = 0;
  virtual int SampleRate() const = 0;
};

}  // namespace vambrio::platform
