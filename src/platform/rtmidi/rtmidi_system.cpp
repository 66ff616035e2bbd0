#include "platform/rtmidi/rtmidi_system.h"

#include <RtMidi.h>
#include <jack/jack.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>

#include "platform/clock/mono_clock.h"
#include "realtime/spsc_queue.h"

namespace vambrio::platform {
namespace {

constexpr const char* kClientName = "Vambrio";
constexpr const char* kListingClientName = "Vambrio list";
constexpr std::chrono::milliseconds kJackConnectionSettles{50};

void QuietJack(const char*) {}

// JACK's library prints every failed connection attempt; Vambrio says itself
// what went wrong.
void QuietJackDiagnostics() {
  static std::once_flag once;
  std::call_once(once, [] {
    jack_set_error_function(QuietJack);
    jack_set_info_function(QuietJack);
  });
}

bool JackServerRunning() {
  QuietJackDiagnostics();
  jack_status_t status{};
  jack_client_t* probe = jack_client_open("Vambrio probe", JackNoStartServer, &status);
  if (!probe) return false;
  jack_client_close(probe);
  return true;
}

// One connection to the JACK server, from its start to the server's end.
// libjack cannot close a client of a server that went away once the program
// has tried to reach a server again (it crashes in the attempt), so what
// belonged to a server that is gone is left as it is: a few bytes and a
// socket each time a server is lost. ALSA's connection never ends.
struct ServerLife {
  std::atomic<bool> gone{false};
};
using Life = std::shared_ptr<const ServerLife>;

// Closes an RtMidi object (its port and client), or lets go of it when its
// server is gone.
template <typename Rt>
void CloseOrAbandon(std::unique_ptr<Rt>& rt, const ServerLife& life) {
  if (life.gone.load()) static_cast<void>(rt.release());
  else rt.reset();
}

bool IsOwnPort(const std::string& name) {
  static const std::regex own("^Vambrio(-[0-9]+)?:.*");
  return std::regex_match(name, own);
}

// RtMidi reports failures through this callback instead of exceptions once
// it is set; the last one is kept for the user.
class ErrorTrap {
 public:
  static void Callback(RtMidiError::Type type, const std::string& text, void* data) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) return;
    auto* self = static_cast<ErrorTrap*>(data);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->last_ = text;
  }
  std::string Last() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }
  void Set(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    last_ = text;
  }

 private:
  mutable std::mutex mutex_;
  std::string last_;
};

class RtInPort final : public MidiInPort {
 public:
  RtInPort(std::unique_ptr<RtMidiIn> in, Life life) : life_(std::move(life)), in_(std::move(in)) {
    in_->ignoreTypes(true, true, true);  // no system exclusive, clock or active sensing
    in_->setCallback(&RtInPort::OnMessage, this);
  }
  ~RtInPort() override {
    if (life_->gone.load()) {
      static_cast<void>(in_.release());  // a dead server calls nobody back
      return;
    }
    in_->cancelCallback();
    in_->closePort();
  }
  bool Pop(MidiMessage& message) override {
    auto m = queue_.TryPop();
    if (m) message = *m;
    return m.has_value();
  }

 private:
  // On the port's own thread.
  static void OnMessage(double, std::vector<unsigned char>* bytes, void* data) {
    auto* self = static_cast<RtInPort*>(data);
    if (!bytes || bytes->empty() || bytes->size() > 3) return;
    MidiMessage m;
    m.timeNs = MonotonicNowNs();
    m.size = static_cast<uint8_t>(bytes->size());
    for (size_t i = 0; i < bytes->size(); ++i) m.bytes[i] = (*bytes)[i];
    self->queue_.TryPush(m);  // a full queue (nobody reading) drops the message
  }

  // The queue outlives the port: the port's thread may be inside OnMessage
  // until the port is destroyed, whatever cancelCallback has said.
  realtime::SpscQueue<MidiMessage, 1024> queue_;
  Life life_;
  std::unique_ptr<RtMidiIn> in_;
};

class RtOutPort final : public MidiOutPort {
 public:
  RtOutPort(std::unique_ptr<RtMidiOut> out, Life life) : life_(std::move(life)), out_(std::move(out)) {}
  ~RtOutPort() override { CloseOrAbandon(out_, *life_); }
  void Send(const uint8_t* bytes, size_t size) override { out_->sendMessage(bytes, size); }

 private:
  Life life_;
  std::unique_ptr<RtMidiOut> out_;
};

class RtMidiSystem final : public MidiSystem {
 public:
  RtMidiSystem(RtMidi::Api api, std::string problem) : api_(api) {
    errors_.Set(problem);
    if (api_ == RtMidi::UNIX_JACK) WatchServer();
  }
  ~RtMidiSystem() override {
    std::lock_guard<std::mutex> lock(listMutex_);
    LetGoOfListers();
  }
  bool Lost() const override { return lost_.load(); }

  std::string ApiName() const override {
    switch (api_) {
      case RtMidi::LINUX_ALSA: return "ALSA";
      case RtMidi::UNIX_JACK: return "JACK";
      default: return "";
    }
  }
  std::string Problem() const override { return errors_.Last(); }

  std::vector<std::string> InputPorts() override {
    std::lock_guard<std::mutex> lock(listMutex_);
    if (!Reachable()) return {};
    return List(Lister(inLister_));
  }
  std::vector<std::string> OutputPorts() override {
    std::lock_guard<std::mutex> lock(listMutex_);
    if (!Reachable()) return {};
    return List(Lister(outLister_));
  }

  // Opening, like listing, waits while the server cannot be reached.
  std::unique_ptr<MidiInPort> OpenInput(const std::string& port) override {
    std::lock_guard<std::mutex> lock(listMutex_);
    return Reachable() ? Open<RtMidiIn, RtInPort>(port, "keyboard") : nullptr;
  }
  std::unique_ptr<MidiOutPort> OpenOutput(const std::string& port) override {
    std::lock_guard<std::mutex> lock(listMutex_);
    return Reachable() ? Open<RtMidiOut, RtOutPort>(port, "synth") : nullptr;
  }
  std::unique_ptr<MidiInPort> OpenVirtualInput(const std::string& name) override {
    std::lock_guard<std::mutex> lock(listMutex_);
    return Reachable() ? OpenVirtual<RtMidiIn, RtInPort>(name) : nullptr;
  }
  std::unique_ptr<MidiOutPort> OpenVirtualOutput(const std::string& name) override {
    std::lock_guard<std::mutex> lock(listMutex_);
    return Reachable() ? OpenVirtual<RtMidiOut, RtOutPort>(name) : nullptr;
  }

 private:
  template <typename Rt>
  std::unique_ptr<Rt> NewRt(const char* client) {
    if (api_ == RtMidi::UNSPECIFIED) return nullptr;
    try {
      auto rt = std::make_unique<Rt>(api_, client);
      rt->setErrorCallback(&ErrorTrap::Callback, &errors_);
      return rt;
    } catch (const RtMidiError& e) {
      errors_.Set(e.getMessage());
      return nullptr;
    }
  }

  template <typename Rt>
  Rt* Lister(std::unique_ptr<Rt>& lister) {
    if (!lister) lister = NewRt<Rt>(kListingClientName);
    return lister.get();
  }

  template <typename Rt>
  static std::vector<std::string> List(Rt* lister) {
    std::vector<std::string> names;
    if (!lister) return names;
    unsigned count = lister->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
      std::string name = lister->getPortName(i);
      if (!name.empty() && !IsOwnPort(name)) names.push_back(StablePortName(name));
    }
    return names;
  }

  template <typename Rt, typename Port>
  std::unique_ptr<Port> Open(const std::string& port, const char* ownPortName) {
    auto rt = NewRt<Rt>(kClientName);
    if (!rt) return nullptr;
    unsigned count = rt->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
      std::string name = rt->getPortName(i);
      if (IsOwnPort(name) || StablePortName(name) != port) continue;
      rt->openPort(i, ownPortName);
      if (!rt->isPortOpen()) return nullptr;
      // JACK makes a new connection part of its graph a few cycles later;
      // what is sent before that is lost (the XG System On of a Play, say).
      if (api_ == RtMidi::UNIX_JACK) std::this_thread::sleep_for(kJackConnectionSettles);
      return std::make_unique<Port>(std::move(rt), life_);
    }
    errors_.Set("The MIDI port \"" + port + "\" is not there.");
    return nullptr;
  }

  template <typename Rt, typename Port>
  std::unique_ptr<Port> OpenVirtual(const std::string& name) {
    auto rt = NewRt<Rt>(kClientName);
    if (!rt) return nullptr;
    std::string before = errors_.Last();
    rt->openVirtualPort(name);
    // RtMidi gives no result for a virtual port: a new error tells.
    if (errors_.Last() != before) return nullptr;
    return std::make_unique<Port>(std::move(rt), life_);
  }

  // A client of its own tells at once when the JACK server goes away (its
  // ports with it); the other clients of the dead server are let go of
  // before a server is looked for again, and new ones made once one answers.
  void WatchServer() {
    jack_status_t status{};
    watch_ = jack_client_open("Vambrio watch", JackNoStartServer, &status);
    if (!watch_) return;
    jack_on_shutdown(watch_, &RtMidiSystem::ServerGone, this);
    jack_activate(watch_);
  }
  static void ServerGone(void* data) {
    auto* self = static_cast<RtMidiSystem*>(data);
    self->errors_.Set("The JACK server went away.");
    self->life_->gone.store(true);  // first: whoever sees lost_ sees this
    self->lost_.store(true);
  }
  // Under listMutex_.
  void LetGoOfListers() {
    CloseOrAbandon(inLister_, *life_);
    CloseOrAbandon(outLister_, *life_);
    if (watch_ && !life_->gone.load()) jack_client_close(watch_);
    watch_ = nullptr;
  }
  // Under listMutex_: false while the lost server cannot be reached again.
  bool Reachable() {
    if (!lost_.load()) return true;
    LetGoOfListers();
    if (!JackServerRunning()) return false;
    life_ = std::make_shared<ServerLife>();
    lost_.store(false);
    WatchServer();
    return true;
  }

  RtMidi::Api api_;
  ErrorTrap errors_;
  std::shared_ptr<ServerLife> life_ = std::make_shared<ServerLife>();  // replaced under listMutex_
  jack_client_t* watch_ = nullptr;
  std::atomic<bool> lost_{false};
  std::mutex listMutex_;
  std::unique_ptr<RtMidiIn> inLister_;
  std::unique_ptr<RtMidiOut> outLister_;
};

}  // namespace

std::string StablePortName(const std::string& rtmidiName) {
  static const std::regex alsaNumbers(" [0-9]+:[0-9]+$");
  return std::regex_replace(rtmidiName, alsaNumbers, "");
}

std::unique_ptr<MidiSystem> OpenMidiSystem() {
  QuietJackDiagnostics();
  const char* wanted = std::getenv("VAMBRIO_MIDI_API");
  std::string choice = wanted ? wanted : "";
  bool alsaThere = access("/dev/snd/seq", R_OK | W_OK) == 0;
  if (choice == "alsa" || (choice.empty() && alsaThere)) {
    if (!alsaThere) return std::make_unique<RtMidiSystem>(RtMidi::UNSPECIFIED, "The ALSA sequencer (/dev/snd/seq) is not there.");
    return std::make_unique<RtMidiSystem>(RtMidi::LINUX_ALSA, "");
  }
  if (JackServerRunning()) return std::make_unique<RtMidiSystem>(RtMidi::UNIX_JACK, "");
  return std::make_unique<RtMidiSystem>(
      RtMidi::UNSPECIFIED,
      choice == "jack" ? "No JACK server is running."
                       : "No MIDI system: neither the ALSA sequencer (/dev/snd/seq) nor a JACK server is there.");
}

}  // namespace vambrio::platform
