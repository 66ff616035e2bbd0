// The other side of Vambrio's MIDI ports in tests and benchmarks: a small
// RtMidi client ("Peer") with a keyboard that sends ("Peer Keys", a virtual
// output) and a synthesizer that records what reaches it ("Peer Synth", a
// virtual input), each message stamped with the monotonic clock on arrival.
// It can also connect to Vambrio's virtual ports directly.
#pragma once

#include <RtMidi.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vambrio::test {

inline int64_t PeerNowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// The API the tests run on: $VAMBRIO_MIDI_API ("alsa"), else JACK.
inline RtMidi::Api PeerApi() {
  const char* api = std::getenv("VAMBRIO_MIDI_API");
  return api && std::string(api) == "alsa" ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

struct PeerMessage {
  int64_t timeNs = 0;
  std::vector<uint8_t> bytes;
};

class MidiPeer {
 public:
  static constexpr const char* kKeys = "Peer Keys";
  static constexpr const char* kSynth = "Peer Synth";

  MidiPeer() = default;
  // The ports go first: their threads may call OnMessage until they are
  // closed, and it needs what is received so far.
  ~MidiPeer() {
    CloseSynth();
    CloseKeys();
  }

  // Opens the recording synthesizer as a virtual input port.
  void OpenSynth() {
    synth_ = std::make_unique<RtMidiIn>(PeerApi(), "Peer");
    synth_->ignoreTypes(false, true, true);
    synth_->setCallback(&MidiPeer::OnMessage, this);
    synth_->openVirtualPort(kSynth);
  }
  // Opens the keyboard as a virtual output port.
  void OpenKeys() {
    keys_ = std::make_unique<RtMidiOut>(PeerApi(), "Peer");
    keys_->openVirtualPort(kKeys);
  }
  void CloseKeys() { keys_.reset(); }
  void CloseSynth() {
    if (synth_) synth_->cancelCallback();
    synth_.reset();
  }

  // Connects the keyboard to the port whose name contains `part` (for
  // example Vambrio's "Vambrio In") instead of waiting to be connected to.
  bool ConnectKeysTo(const std::string& part) {
    keys_ = std::make_unique<RtMidiOut>(PeerApi(), "Peer");
    for (unsigned i = 0; i < keys_->getPortCount(); ++i) {
      if (keys_->getPortName(i).find(part) == std::string::npos) continue;
      keys_->openPort(i, "Peer Sender");
      return keys_->isPortOpen();
    }
    return false;
  }
  bool ConnectSynthTo(const std::string& part) {
    synth_ = std::make_unique<RtMidiIn>(PeerApi(), "Peer");
    synth_->ignoreTypes(false, true, true);
    synth_->setCallback(&MidiPeer::OnMessage, this);
    for (unsigned i = 0; i < synth_->getPortCount(); ++i) {
      if (synth_->getPortName(i).find(part) == std::string::npos) continue;
      synth_->openPort(i, "Peer Listener");
      return synth_->isPortOpen();
    }
    return false;
  }

  void Send(std::vector<uint8_t> bytes) { keys_->sendMessage(&bytes); }

  std::vector<PeerMessage> Received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
  }
  // Waits until `done` holds for what has arrived, or `timeout` has passed.
  bool WaitFor(const std::function<bool(const std::vector<PeerMessage>&)>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return done(received_); });
  }

 private:
  static void OnMessage(double, std::vector<unsigned char>* bytes, void* data) {
    auto* self = static_cast<MidiPeer*>(data);
    int64_t now = PeerNowNs();
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->received_.push_back({now, std::vector<uint8_t>(bytes->begin(), bytes->end())});
    }
    self->arrived_.notify_all();
  }

  std::unique_ptr<RtMidiIn> synth_;
  std::unique_ptr<RtMidiOut> keys_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<PeerMessage> received_;
};

}  // namespace vambrio::test
