#include "platform/midi_ports/midi_file_source.h"

#include <algorithm>

namespace vambrio::platform {

void MidiFileSource::Rewind() {
  next_ = 0;
  positionUs_ = 0;
  ended_ = false;
}

void MidiFileSource::Start(int64_t nowNs) { startNs_ = nowNs - positionUs_ * 1000; }

void MidiFileSource::Pause(int64_t nowNs) {
  positionUs_ = std::clamp<int64_t>((nowNs - startNs_) / 1000, 0, file_.endUs);
  // Events not yet sent stay unsent: the position is that of the next one
  // when the pause came before it.
  if (next_ < file_.events.size()) positionUs_ = std::min(positionUs_, file_.events[next_].timeUs);
}

void MidiFileSource::Render(int64_t untilNs, MidiEventSink& sink) {
  if (ended_.load(std::memory_order_relaxed)) return;
  const auto& events = file_.events;
  while (next_ < events.size()) {
    const midi::MidiFileEvent& e = events[next_];
    int64_t at = startNs_ + e.timeUs * 1000;
    if (at >= untilNs) return;
    sink.Event(at, file_.Bytes(e), e.size);
    ++next_;
  }
  if (startNs_ + file_.endUs * 1000 < untilNs) {
    ended_.store(true, std::memory_order_release);
    if (onEnd_) onEnd_(onEndData_);
  }
}

}  // namespace vambrio::platform
