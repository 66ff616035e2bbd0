#include "live/metronome.h"

namespace vambrio::live {

void Metronome::Align(int64_t origin, int64_t from) {
  origin_ = origin;
  const int64_t into = from - origin;
  next_ = into <= 0 ? origin : origin + (into + beat_ - 1) / beat_ * beat_;
}

uint32_t Metronome::BeatAt(int64_t tick) const {
  const int64_t into = tick - origin_;
  if (into < 0 || beat_ <= 0) return 0;
  return static_cast<uint32_t>(into % bar_ / beat_);
}

void Metronome::Send(midi::EventSink& out, int64_t tick, uint8_t status, uint8_t key, uint8_t velocity) {
  const uint8_t data[2] = {key, velocity};
  out.Send(midi::Event{static_cast<uint64_t>(tick), status, 0, 2, data});
}

void Metronome::ClickUpTo(int64_t limit, midi::EventSink& out) {
  if (beat_ <= 0 || bar_ <= 0) return;
  while (next_ < limit) {
    Release(next_, out);
    const bool accent = (next_ - origin_) % bar_ == 0;
    const uint8_t key = accent ? kAccentKey : kBeatKey;
    Send(out, next_, 0x90 | kChannel, key, accent ? kAccentVelocity : kBeatVelocity);
    sounding_ = key;
    next_ += beat_;
  }
}

void Metronome::Release(int64_t tick, midi::EventSink& out) {
  if (sounding_ < 0) return;
  Send(out, tick, 0x80 | kChannel, static_cast<uint8_t>(sounding_), 0);
  sounding_ = -1;
}

}  // namespace vambrio::live
