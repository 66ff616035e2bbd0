// A connection to a chosen port that outlives the port: when the device is
// unplugged (or the program quits) the connection notices it at its next
// check, and when the port comes back it is opened again.
//
// The checks run on a watching thread of their own (MidiPortWatch), never on
// the thread that sends or receives: that one only ever sees a port that is
// fully open, or none.
#pragma once

#include <array>
#include <cstdint>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/midi_ports.h"
#include "platform/clock/mono_clock.h"

namespace vambrio::platform {

enum class PortChange { None, Lost, Back };

// The slot through which one thread uses a port that another may replace.
template <typename Port>
class PortSlot {
 public:
  // The using thread: runs `use` on the port, or returns false when none is there.
  template <typename Use>
  bool With(Use&& use) {
    busy_.store(true);
    Port* port = current_.load();
    if (port) use(*port);
    busy_.store(false);
    return port != nullptr;
  }
  // The watching thread: puts `port` in (or none) and returns the one taken
  // out, which the using thread no longer touches.
  std::unique_ptr<Port> Replace(std::unique_ptr<Port> port) {
    current_.store(port.get());
    while (busy_.load()) std::this_thread::yield();
    std::swap(owned_, port);
    return port;
  }
  bool Empty() const { return current_.load() == nullptr; }

 private:
  std::atomic<Port*> current_{nullptr};
  std::atomic<bool> busy_{false};
  std::unique_ptr<Port> owned_;
};

class KeptMidiOutput final : public MidiOutPort {
 public:
  // `clock` (the system's when null) tells when notes went off.
  KeptMidiOutput(MidiSystem& system, std::string port, const MonoClock* clock = nullptr);
  const std::string& Name() const { return name_; }
  bool Connected() const { return !slot_.Empty(); }
  // Messages sent while the port (or the MIDI system) is away are dropped.
  void Send(const uint8_t* bytes, size_t size) override;
  // The watching thread's check. A port that comes back first hears a note
  // off for every note it was left playing when it went away, then every
  // channel silenced and reset.
  PortChange Check();

  // A note switched off this long before the loss was noticed may not have
  // reached the port: a server that is stopped ends its cycles some time
  // before it says it goes. Such a note is switched off again.
  static constexpr int64_t kUndeliveredNs = 1'000'000'000;

 private:
  static constexpr int64_t kStillOn = INT64_MAX;
  int64_t Now() const { return clock_ ? clock_->NowNs() : MonotonicNowNs(); }
  void NoteLoss();
  void FinishNotes(MidiOutPort& port);

  MidiSystem& system_;
  std::string name_;
  const MonoClock* clock_;
  PortSlot<MidiOutPort> slot_;
  // Until when each note (channel * 128 + note) was on at the port's end:
  // kStillOn while it is, 0 when never since the port was last opened.
  // Written by the sending thread, read by the watching thread only while no
  // port is in the slot.
  std::array<std::atomic<int64_t>, 16 * 128> onUntil_{};
  std::atomic<int64_t> lostAt_{0};  // when the loss was first noticed (0: not lost)
};

class KeptMidiInput final : public MidiInPort {
 public:
  KeptMidiInput(MidiSystem& system, std::string port);
  const std::string& Name() const { return name_; }
  bool Connected() const { return !slot_.Empty(); }
  // After the port was lost, the next message is a System Reset (FF), so that
  // the receiver lets go of every key it holds for this port.
  bool Pop(MidiMessage& message) override;
  PortChange Check();

 private:
  MidiSystem& system_;
  std::string name_;
  PortSlot<MidiInPort> slot_;
  std::atomic<bool> lostUnseen_{false};
};

// The watching thread: checks its ports every `interval` and reports each
// change (on its own thread) as (port name, Lost or Back).
class MidiPortWatch {
 public:
  using Report = std::function<void(const std::string& port, PortChange change)>;
  MidiPortWatch(Report report, std::chrono::milliseconds interval = std::chrono::milliseconds(1000));
  ~MidiPortWatch();
  MidiPortWatch(const MidiPortWatch&) = delete;
  MidiPortWatch& operator=(const MidiPortWatch&) = delete;

  // Before Start, or while it runs (the ports must outlive the watch or be removed first).
  void Add(KeptMidiOutput* port);
  void Add(KeptMidiInput* port);
  void Remove(const void* port);
  void Start();
  void CheckNow();  // one round on the calling thread

 private:
  Report report_;
  std::chrono::milliseconds interval_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool quit_ = false;
  std::vector<KeptMidiOutput*> outputs_;
  std::vector<KeptMidiInput*> inputs_;
  std::thread thread_;
};

}  // namespace vambrio::platform
