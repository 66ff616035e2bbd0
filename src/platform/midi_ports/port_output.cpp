#include "platform/midi_ports/port_output.h"

namespace vambrio::platform {

PortOutput::PortOutput(std::unique_ptr<MidiOutPort> port, MonoClock& clock, int sampleRate)
    : port_(std::move(port)), kept_(dynamic_cast<const KeptMidiOutput*>(port_.get())), clock_(clock), rate_(sampleRate) {
  sender_ = std::make_unique<MidiSender>(*port_, clock_);
  sender_->Start();
  sequencer_ = std::make_unique<PortSequencer>(*sender_, clock_);
  sequencer_->SetDoneHandler([this](NotifyCode code) { RaiseDone(code); });
}

PortOutput::~PortOutput() {
  DetachLiveClient();
  sequencer_.reset();  // closes its file: every channel silenced
  sender_.reset();
}

std::string PortOutput::Problem() const {
  if (!kept_ || kept_->Connected()) return {};
  return "Sound source \"" + kept_->Name() + "\" is not connected - Vambrio connects it as soon as it is there again.";
}

bool PortOutput::Command(const std::string& command) {
  if (command == "open") TakeFromLive();
  const bool ok = sequencer_->Command(command);
  if (command == "open") sequencerOpen_ = ok;
  if (command == "close") sequencerOpen_ = false;
  return ok;
}

bool PortOutput::AttachLiveClient(realtime::RealtimeClient& client, std::function<void()> onTakenAway,
                                  std::function<void()>) {
  TakeFromSequencer();
  if (live_) {
    std::function<void()> previous = std::move(liveTakenAway_);
    DetachLiveClient();
    if (previous) previous();
  }
  live_ = std::make_unique<RealtimePortSource>(client, rate_);
  liveTakenAway_ = std::move(onTakenAway);
  live_->Start(clock_.NowNs());
  sender_->SetSource(live_.get());
  return true;
}

void PortOutput::DetachLiveClient() {
  if (!live_) return;
  sender_->Silence();  // the sending thread lets go of the client first
  live_.reset();
  liveTakenAway_ = nullptr;
}

void PortOutput::TakeFromLive() {
  if (!live_) return;
  std::function<void()> told = std::move(liveTakenAway_);
  DetachLiveClient();
  if (told) told();
}

void PortOutput::TakeFromSequencer() {
  if (!sequencerOpen_) return;
  sequencer_->Command("close");
  sequencerOpen_ = false;
  if (sequencerTakenAway_) sequencerTakenAway_();
}

void PortOutput::Release() {
  TakeFromSequencer();
  TakeFromLive();
}

}  // namespace vambrio::platform
