// A MIDI file as an event source for the timed output: its events at their
// times from the moment it is started, paused where it is stopped.
#pragma once

#include <atomic>
#include <cstdint>

#include "midi/midi_file_events.h"
#include "platform/midi_ports/midi_sender.h"

namespace vambrio::platform {

class MidiFileSource final : public MidiEventSource {
 public:
  explicit MidiFileSource(const midi::MidiFileEvents& file) : file_(file) {}

  // The owner's side, while the sender does not play this source.
  void Rewind();
  // From the current position on, which is then heard at `nowNs`.
  void Start(int64_t nowNs);
  // Keeps the position reached by `nowNs`.
  void Pause(int64_t nowNs);

  // The sender's side.
  void Render(int64_t untilNs, MidiEventSink& sink) override;

  // Set once the file's end has been rendered; `onEnd` (if any) is called
  // then, on the sender's thread.
  bool Ended() const { return ended_.load(std::memory_order_acquire); }
  void SetEndHandler(void (*onEnd)(void*), void* data) {
    onEnd_ = onEnd;
    onEndData_ = data;
  }

 private:
  const midi::MidiFileEvents& file_;
  size_t next_ = 0;          // index of the next event to send
  int64_t positionUs_ = 0;   // where the file stands while paused
  int64_t startNs_ = 0;      // the moment of the file's time 0
  std::atomic<bool> ended_{false};
  void (*onEnd_)(void*) = nullptr;
  void* onEndData_ = nullptr;
};

}  // namespace vambrio::platform
