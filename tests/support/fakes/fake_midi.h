// Fakes of the MIDI platform: a monotonic clock that moves only when someone
// sleeps on it, output ports that record what they are sent and when, input
// ports the test feeds, and a MIDI system whose port lists the test sets.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/midi_ports.h"
#include "platform/clock/mono_clock.h"
#include "realtime/spsc_queue.h"

namespace vambrio::test {

class FakeMonoClock final : public platform::MonoClock {
 public:
  int64_t NowNs() const override { return now; }
  void SleepUntil(int64_t ns) override { now = std::max(now, ns); }
  int64_t now = 1'000'000'000;
};

struct SentMessage {
  int64_t timeNs = 0;
  std::vector<uint8_t> bytes;
};

class FakeMidiOut final : public platform::MidiOutPort {
 public:
  explicit FakeMidiOut(const platform::MonoClock* clock = nullptr) : clock_(clock) {}
  void Send(const uint8_t* bytes, size_t size) override {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.push_back({clock_ ? clock_->NowNs() : 0, std::vector<uint8_t>(bytes, bytes + size)});
  }
  std::vector<SentMessage> Sent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.clear();
  }

 private:
  const platform::MonoClock* clock_;
  mutable std::mutex mutex_;
  std::vector<SentMessage> sent_;
};

class FakeMidiIn final : public platform::MidiInPort {
 public:
  bool Pop(platform::MidiMessage& m) override {
    auto got = queue_.TryPop();
    if (got) m = *got;
    return got.has_value();
  }
  void Receive(std::initializer_list<uint8_t> bytes, int64_t timeNs = 0) {
    platform::MidiMessage m;
    m.timeNs = timeNs;
    for (uint8_t b : bytes) m.bytes[m.size++] = b;
    queue_.TryPush(m);
  }

 private:
  realtime::SpscQueue<platform::MidiMessage, 256> queue_;
};

// The ports the test lists are there; opening one hands out a port the test
// can reach through the system (the last one opened under each name).
class FakeMidiSystem final : public platform::MidiSystem {
 public:
  std::string ApiName() const override { return "JACK"; }
  std::string Problem() const override { return problem; }
  std::vector<std::string> InputPorts() override { return inputs; }
  std::vector<std::string> OutputPorts() override { return outputs; }
  bool Lost() const override { return lost.load(); }
  std::unique_ptr<platform::MidiInPort> OpenInput(const std::string& port) override {
    if (std::find(inputs.begin(), inputs.end(), port) == inputs.end()) return nullptr;
    return NewIn(port);
  }
  std::unique_ptr<platform::MidiOutPort> OpenOutput(const std::string& port) override {
    if (std::find(outputs.begin(), outputs.end(), port) == outputs.end()) return nullptr;
    return NewOut(port);
  }
  std::unique_ptr<platform::MidiInPort> OpenVirtualInput(const std::string& name) override { return NewIn(name); }
  std::unique_ptr<platform::MidiOutPort> OpenVirtualOutput(const std::string& name) override { return NewOut(name); }

  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
  std::string problem;
  std::atomic<bool> lost{false};  // the system itself gone
  std::map<std::string, FakeMidiIn*> openIn;    // valid while the port is open
  std::map<std::string, FakeMidiOut*> openOut;  // valid while the port is open
  std::map<std::string, int> opens;
  const platform::MonoClock* clock = nullptr;

 private:
  std::unique_ptr<platform::MidiInPort> NewIn(const std::string& name) {
    auto port = std::make_unique<FakeMidiIn>();
    openIn[name] = port.get();
    ++opens[name];
    return port;
  }
  std::unique_ptr<platform::MidiOutPort> NewOut(const std::string& name) {
    auto port = std::make_unique<FakeMidiOut>(clock);
    openOut[name] = port.get();
    ++opens[name];
    return port;
  }
};

}  // namespace vambrio::test
