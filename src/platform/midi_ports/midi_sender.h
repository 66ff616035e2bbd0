// Timed MIDI output: a thread of its own sends each event at its moment on
// the monotonic clock. What it plays comes from an event source, asked once
// per period (1 ms) for the events due before the period's end; the thread
// then sleeps until each event's time and sends it. A command from the owner
// (another source, silence) takes effect at the next period.
//
// Stop, a lost port and closing all end in the same silence: a note-off for
// every note the sender knows to be sounding, then all-notes-off and
// reset-all-controllers on every channel.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "midi/midi_ports.h"
#include "platform/clock/mono_clock.h"

namespace vambrio::platform {

class MidiEventSink {
 public:
  virtual ~MidiEventSink() = default;
  // Sends `bytes` at `timeNs` (at once when that has passed).
  virtual void Event(int64_t timeNs, const uint8_t* bytes, size_t size) = 0;
};

// What the sender plays: a file, the live arranger... Render runs on the
// sender's thread and must not allocate, lock or wait.
class MidiEventSource {
 public:
  virtual ~MidiEventSource() = default;
  // Emits, in time order, every event due before `untilNs`.
  virtual void Render(int64_t untilNs, MidiEventSink& sink) = 0;
};

class MidiSender {
 public:
  static constexpr int64_t kDefaultPeriodNs = 1'000'000;

  MidiSender(MidiOutPort& out, MonoClock& clock, int64_t periodNs = kDefaultPeriodNs);
  ~MidiSender();  // silences every channel and ends the thread
  MidiSender(const MidiSender&) = delete;
  MidiSender& operator=(const MidiSender&) = delete;

  void Start();

  // The owner's commands (from one thread). Each returns once the sender has
  // carried it out, so that the old source may then be changed or destroyed.
  void SetSource(MidiEventSource* source);
  void Silence();  // no source any more, and every channel silenced

  // Runs one period on the calling thread (for tests with a fake clock).
  void RunPeriod();

 private:
  class Sink final : public MidiEventSink {
   public:
    explicit Sink(MidiSender& s) : s_(s) {}
    void Event(int64_t timeNs, const uint8_t* bytes, size_t size) override;

   private:
    MidiSender& s_;
  };

  void Request(MidiEventSource* source, bool silence);
  void TakeRequest();
  void Send(const uint8_t* bytes, size_t size);
  void SilenceAll();
  void Loop();

  MidiOutPort& out_;
  MonoClock& clock_;
  int64_t periodNs_;
  Sink sink_{*this};
  std::thread thread_;
  std::atomic<bool> quit_{false};
  int64_t periodEnd_ = 0;

  // The owner's mailbox: fields written before `asked_`, read after it.
  MidiEventSource* askedSource_ = nullptr;
  bool askedSilence_ = false;
  std::atomic<uint64_t> asked_{0};
  std::atomic<uint64_t> done_{0};

  MidiEventSource* source_ = nullptr;  // the sender thread's own
  std::array<std::bitset<128>, 16> sounding_{};
  bool silent_ = false;  // nothing sent since the last silence
};

}  // namespace vambrio::platform
