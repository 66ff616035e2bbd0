#include "platform/midi_ports/midi_sender.h"

#include <algorithm>

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

namespace vambrio::platform {

MidiSender::MidiSender(MidiOutPort& out, MonoClock& clock, int64_t periodNs)
    : out_(out), clock_(clock), periodNs_(periodNs) {}

MidiSender::~MidiSender() {
  Silence();
  if (thread_.joinable()) {
    quit_ = true;
    thread_.join();
  }
}

void MidiSender::Start() {
  if (thread_.joinable()) return;
  periodEnd_ = clock_.NowNs();
  thread_ = std::thread([this] { Loop(); });
}

void MidiSender::SetSource(MidiEventSource* source) { Request(source, false); }

void MidiSender::Silence() { Request(nullptr, true); }

void MidiSender::Request(MidiEventSource* source, bool silence) {
  askedSource_ = source;
  askedSilence_ = silence;
  uint64_t ask = asked_.load(std::memory_order_relaxed) + 1;
  asked_.store(ask, std::memory_order_release);
  if (!thread_.joinable()) {
    TakeRequest();
    return;
  }
  for (uint64_t seen = done_.load(std::memory_order_acquire); seen != ask; seen = done_.load(std::memory_order_acquire)) {
    done_.wait(seen, std::memory_order_acquire);
  }
}

void MidiSender::TakeRequest() {
  uint64_t ask = asked_.load(std::memory_order_acquire);
  if (ask == done_.load(std::memory_order_relaxed)) return;
  source_ = askedSource_;
  if (askedSilence_) SilenceAll();
  done_.store(ask, std::memory_order_release);
  done_.notify_all();
}

void MidiSender::RunPeriod() {
  TakeRequest();
  int64_t now = clock_.NowNs();
  // A sender that fell behind (a busy machine) does not try to catch up
  // period by period: late events go out at once, and the periods go on from now.
  periodEnd_ = std::max(periodEnd_, now) + periodNs_;
  if (source_) source_->Render(periodEnd_, sink_);
  clock_.SleepUntil(periodEnd_);
}

void MidiSender::Loop() {
  // Precise wake-ups: no timer slack, and real-time priority where the
  // system grants it (otherwise the ordinary scheduler serves).
  prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
  sched_param param{};
  param.sched_priority = 20;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
  while (!quit_.load(std::memory_order_relaxed)) RunPeriod();
  TakeRequest();
}

void MidiSender::Sink::Event(int64_t timeNs, const uint8_t* bytes, size_t size) {
  if (timeNs > s_.clock_.NowNs()) s_.clock_.SleepUntil(timeNs);
  s_.Send(bytes, size);
}

void MidiSender::Send(const uint8_t* bytes, size_t size) {
  if (size == 3 && (bytes[0] & 0xE0) == 0x80) {  // note on or off
    auto& notes = sounding_[bytes[0] & 0x0F];
    bool on = (bytes[0] & 0xF0) == 0x90 && bytes[2] != 0;
    notes.set(bytes[1] & 0x7F, on);
  }
  out_.Send(bytes, size);
  silent_ = false;
}

void MidiSender::SilenceAll() {
  if (silent_) return;  // nothing sent since the last silence
  for (uint8_t channel = 0; channel < 16; ++channel) {
    auto& notes = sounding_[channel];
    for (uint8_t note = 0; notes.any() && note < 128; ++note) {
      if (!notes.test(note)) continue;
      const uint8_t off[3] = {static_cast<uint8_t>(0x80 | channel), note, 0};
      out_.Send(off, 3);
      notes.reset(note);
    }
  }
  SendChannelReset(out_);
  silent_ = true;
}

}  // namespace vambrio::platform
