// A real-time client (the live arranger, the keyboard's pass-through...)
// played on a MIDI port instead of the built-in synthesizer. Where the audio
// callback would ask it for one audio block after another, the sending
// thread asks it for blocks of a sample clock that runs on the monotonic
// clock, one block per period, and sends each event at its sample's moment.
// The client cannot tell the difference: the same code drives either.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/midi_ports/midi_sender.h"
#include "realtime/realtime_client.h"

namespace vambrio::platform {

class RealtimePortSource final : public MidiEventSource {
 public:
  explicit RealtimePortSource(realtime::RealtimeClient& client, int sampleRate = 48000);

  // The owner's side, before the sender plays this source: sample 0 is heard at `nowNs`.
  void Start(int64_t nowNs);

  void Render(int64_t untilNs, MidiEventSink& sink) override;

  int64_t SampleTime() const { return sample_; }

 private:
  int64_t NsOf(int64_t sample) const;

  realtime::RealtimeClient& client_;
  int rate_;
  int64_t startNs_ = 0;
  int64_t sample_ = 0;
  std::unique_ptr<realtime::RealtimeEventSink> events_;  // large: made once, reused for every block
};

}  // namespace vambrio::platform
