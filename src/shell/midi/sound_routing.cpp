#include "shell/midi/sound_routing.h"

namespace vambrio {

// An input that stays where the keyboard's reader found it while the port
// behind it is replaced (when the MIDI system is reached again).
class SoundRouting::InputSlot final : public platform::MidiInPort {
 public:
  bool Pop(platform::MidiMessage& message) override {
    bool got = false;
    slot_.With([&](platform::MidiInPort& port) { got = port.Pop(message); });
    return got;
  }
  std::unique_ptr<platform::MidiInPort> Replace(std::unique_ptr<platform::MidiInPort> port) {
    return slot_.Replace(std::move(port));
  }
  bool Empty() const { return slot_.Empty(); }

 private:
  platform::PortSlot<platform::MidiInPort> slot_;
};

SoundRouting::SoundRouting(platform::Sequencer& builtIn, std::function<platform::LiveOutput&()> builtInLive,
                           SystemOpener openSystem, platform::MonoClock& clock)
    : builtIn_(builtIn),
      builtInLive_(std::move(builtInLive)),
      openSystem_(std::move(openSystem)),
      clock_(clock),
      chosenIn_(std::make_unique<InputSlot>()),
      virtualIn_(std::make_unique<InputSlot>()) {
  builtIn_.SetDoneHandler([this](platform::NotifyCode code) { RaiseDone(code); });
  Reach();
}

SoundRouting::~SoundRouting() {
  // Quietly: the windows that would be told are gone.
  portNotifier_.reset();
  if (keptOut_) outWatch_->Remove(keptOut_);
  port_.reset();  // every channel of the port silenced
  chosenIn_->Replace(nullptr);
  virtualIn_->Replace(nullptr);
  builtIn_.SetDoneHandler(nullptr);
}

// The MIDI system, reached again while it cannot be used (a JACK server
// started after Vambrio, say); nothing of the old one is open then.
void SoundRouting::Reach() {
  if (Usable() || !openSystem_) return;
  chosenIn_->Replace(nullptr);
  chosen_ = nullptr;
  virtualIn_->Replace(nullptr);
  inWatch_.reset();
  outWatch_.reset();
  system_ = openSystem_();
  if (!system_) return;
  inWatch_ = std::make_unique<platform::MidiPortWatch>(
      [this](const std::string& port, platform::PortChange change) { Note(port, change, true); });
  outWatch_ = std::make_unique<platform::MidiPortWatch>(
      [this](const std::string& port, platform::PortChange change) { Note(port, change, false); });
  auto chosen = std::make_unique<platform::ChosenMidiInput>(*system_, *inWatch_);
  chosen_ = chosen.get();
  chosenIn_->Replace(std::move(chosen));
  if (!Usable()) return;
  virtualIn_->Replace(system_->OpenVirtualInput(platform::kVirtualInName));
  if (!input_.empty() && input_ != platform::kVirtualInName) chosen_->Choose(input_);
  inWatch_->Start();
  outWatch_->Start();
}

void SoundRouting::Note(const std::string& port, platform::PortChange change, bool input) {
  std::lock_guard<std::mutex> lock(newsMutex_);
  news_.push_back({port, input, change == platform::PortChange::Lost});
}

std::vector<MidiPortNews> SoundRouting::TakeNews() {
  std::lock_guard<std::mutex> lock(newsMutex_);
  return std::exchange(news_, {});
}

bool SoundRouting::Command(const std::string& command) {
  platform::Sequencer& s = port_ ? static_cast<platform::Sequencer&>(*port_) : builtIn_;
  HandOn(s);
  return s.Command(command);
}

int64_t SoundRouting::Length() const { return port_ ? port_->Length() : builtIn_.Length(); }

std::string SoundRouting::LastError() const { return port_ ? port_->LastError() : builtIn_.LastError(); }

platform::LiveOutput& SoundRouting::LiveOutput() {
  return port_ ? static_cast<platform::LiveOutput&>(*port_) : builtInLive_();
}

std::vector<platform::MidiInPort*> SoundRouting::KeyboardInputs() { return {chosenIn_.get(), virtualIn_.get()}; }

std::string SoundRouting::Problem() {
  Reach();
  if (!system_) return "No MIDI system could be reached.";
  return Usable() ? std::string() : system_->Problem();
}

std::vector<std::string> SoundRouting::InputPorts() { return Usable() ? system_->InputPorts() : std::vector<std::string>{}; }

std::vector<std::string> SoundRouting::OutputPorts() {
  return Usable() ? system_->OutputPorts() : std::vector<std::string>{};
}

void SoundRouting::ChooseInput(const std::string& port) {
  input_ = port;
  if (chosen_) chosen_->Choose(port == platform::kVirtualInName ? std::string() : port);
  if (inputChosen_) inputChosen_(port);
}

bool SoundRouting::InputConnected() const {
  if (input_.empty()) return false;
  if (input_ == platform::kVirtualInName) return !virtualIn_->Empty();
  return chosen_ && chosen_->Connected();
}

bool SoundRouting::ChooseSoundSource(const std::string& port) {
  if (port == source_ && (port.empty() || port_)) return true;
  // Whatever plays stops first, and is told.
  if (port_) {
    port_->Release();
    DropPort();
  } else {
    builtInLive_().Release();
  }
  source_.clear();
  if (port.empty()) return true;
  Reach();
  if (!Usable()) return false;
  std::unique_ptr<platform::MidiOutPort> out;
  if (port == platform::kVirtualOutName) {
    out = system_->OpenVirtualOutput(port);
  } else {
    auto kept = std::make_unique<platform::KeptMidiOutput>(*system_, port);
    keptOut_ = kept.get();
    out = std::move(kept);
  }
  if (!out) return false;
  port_ = std::make_unique<platform::PortOutput>(std::move(out), clock_);
  port_->SetDoneHandler([this](platform::NotifyCode code) { RaiseDone(code); });
  port_->SetTakenAwayHandler([this] {
    if (takenAway_) takenAway_();
  });
  if (keptOut_) outWatch_->Add(keptOut_);
  portNotifier_ = std::make_unique<QSocketNotifier>(port_->NotifyFd(), QSocketNotifier::Read);
  QObject::connect(portNotifier_.get(), &QSocketNotifier::activated, [this] { port_->Pump(); });
  source_ = port;
  return true;
}

void SoundRouting::DropPort() {
  portNotifier_.reset();
  if (keptOut_ && outWatch_) outWatch_->Remove(keptOut_);
  keptOut_ = nullptr;
  port_.reset();
}

bool SoundRouting::SoundSourceConnected() const {
  if (source_.empty()) return true;
  if (keptOut_) return keptOut_->Connected();
  return port_ != nullptr;
}

}  // namespace vambrio
