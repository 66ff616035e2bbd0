#include "platform/midi_ports/kept_midi_ports.h"

#include <algorithm>

#include "platform/clock/mono_clock.h"

namespace vambrio::platform {
namespace {

bool Listed(const std::vector<std::string>& ports, const std::string& name) {
  return std::find(ports.begin(), ports.end(), name) != ports.end();
}

}  // namespace

KeptMidiOutput::KeptMidiOutput(MidiSystem& system, std::string port, const MonoClock* clock)
    : system_(system), name_(std::move(port)), clock_(clock) {
  slot_.Replace(system_.OpenOutput(name_));
}

void KeptMidiOutput::NoteLoss() {
  int64_t none = 0;
  lostAt_.compare_exchange_strong(none, Now());
}

void KeptMidiOutput::Send(const uint8_t* bytes, size_t size) {
  // Once the MIDI system is gone nothing reaches the port: the notes stay
  // owed as they were at the loss.
  if (system_.Lost()) return NoteLoss();
  if (!slot_.With([&](MidiOutPort& port) { port.Send(bytes, size); })) return;
  if (size != 3 || (bytes[0] & 0xE0) != 0x80) return;  // only notes on and off are remembered
  std::atomic<int64_t>& until = onUntil_[(bytes[0] & 0x0Fu) * 128u + (bytes[1] & 0x7Fu)];
  if ((bytes[0] & 0xF0) == 0x90 && bytes[2] != 0) until.store(kStillOn, std::memory_order_relaxed);
  else if (until.load(std::memory_order_relaxed) == kStillOn) until.store(Now(), std::memory_order_relaxed);
}

void KeptMidiOutput::FinishNotes(MidiOutPort& port) {
  const int64_t lostAt = lostAt_.exchange(0);
  for (size_t note = 0; note < onUntil_.size(); ++note) {
    const int64_t until = onUntil_[note].exchange(0, std::memory_order_relaxed);
    if (until == 0 || until < lostAt - kUndeliveredNs) continue;
    const uint8_t off[3] = {static_cast<uint8_t>(0x80 | note / 128), static_cast<uint8_t>(note % 128), 0};
    port.Send(off, 3);
  }
  SendChannelReset(port);
}

PortChange KeptMidiOutput::Check() {
  bool listed = Listed(system_.OutputPorts(), name_);
  if (!listed && !slot_.Empty()) {
    NoteLoss();
    slot_.Replace(nullptr);
    return PortChange::Lost;
  }
  if (listed && slot_.Empty()) {
    auto port = system_.OpenOutput(name_);
    if (!port) return PortChange::None;  // listed, but not ready yet: the next check tries again
    FinishNotes(*port);
    slot_.Replace(std::move(port));
    return PortChange::Back;
  }
  return PortChange::None;
}

KeptMidiInput::KeptMidiInput(MidiSystem& system, std::string port) : system_(system), name_(std::move(port)) {
  slot_.Replace(system_.OpenInput(name_));
}

bool KeptMidiInput::Pop(MidiMessage& message) {
  if (lostUnseen_.exchange(false)) {
    message = MidiMessage{MonotonicNowNs(), 1, {0xFF, 0, 0}};
    return true;
  }
  bool got = false;
  slot_.With([&](MidiInPort& port) { got = port.Pop(message); });
  return got;
}

PortChange KeptMidiInput::Check() {
  bool listed = Listed(system_.InputPorts(), name_);
  if (!listed && !slot_.Empty()) {
    slot_.Replace(nullptr);
    lostUnseen_ = true;
    return PortChange::Lost;
  }
  if (listed && slot_.Empty()) {
    auto port = system_.OpenInput(name_);
    if (!port) return PortChange::None;
    slot_.Replace(std::move(port));
    return PortChange::Back;
  }
  return PortChange::None;
}

MidiPortWatch::MidiPortWatch(Report report, std::chrono::milliseconds interval)
    : report_(std::move(report)), interval_(interval) {}

MidiPortWatch::~MidiPortWatch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void MidiPortWatch::Add(KeptMidiOutput* port) {
  std::lock_guard<std::mutex> lock(mutex_);
  outputs_.push_back(port);
}

void MidiPortWatch::Add(KeptMidiInput* port) {
  std::lock_guard<std::mutex> lock(mutex_);
  inputs_.push_back(port);
}

void MidiPortWatch::Remove(const void* port) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(outputs_, [&](KeptMidiOutput* p) { return p == port; });
  std::erase_if(inputs_, [&](KeptMidiInput* p) { return p == port; });
}

void MidiPortWatch::CheckNow() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (KeptMidiOutput* port : outputs_) {
    if (PortChange c = port->Check(); c != PortChange::None && report_) report_(port->Name(), c);
  }
  for (KeptMidiInput* port : inputs_) {
    if (PortChange c = port->Check(); c != PortChange::None && report_) report_(port->Name(), c);
  }
}

void MidiPortWatch::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, interval_, [this] { return quit_; })) {
      lock.unlock();
      CheckNow();
      lock.lock();
    }
  });
}

}  // namespace vambrio::platform
