#include "cli/midi/port_playback.h"

#include <strings.h>

#include <iostream>

#include "model/shown_text.h"
#include "platform/rtmidi/rtmidi_system.h"

namespace vambrio::cli {

std::string PortLostText(const std::string& port) {
  return "The MIDI output \"" + ShownText(port) +
         "\" went away during playback (its MIDI system stopped, or the device or program left); playback has "
         "ended.";
}

bool IsVirtualOutName(const std::string& wanted) { return strcasecmp(wanted.c_str(), platform::kVirtualOutName) == 0; }

std::unique_ptr<PortPlayback> PortPlayback::Open(const std::string& wanted) {
  std::unique_ptr<PortPlayback> p(new PortPlayback);
  p->system_ = platform::OpenMidiSystem();
  if (p->system_->ApiName().empty()) {
    std::cerr << p->system_->Problem() << "\n";
    return nullptr;
  }
  if (IsVirtualOutName(wanted)) {
    p->portName_ = platform::kVirtualOutName;
    p->port_ = p->system_->OpenVirtualOutput(platform::kVirtualOutName);
  } else {
    auto ports = p->system_->OutputPorts();
    auto found = platform::FindPort(ports, wanted);
    if (!found) {
      std::cerr << "No MIDI output port \"" << wanted << "\" (or more than one matches); vambrio-cli ports lists them.\n";
      return nullptr;
    }
    p->portName_ = *found;
    auto kept = std::make_unique<platform::KeptMidiOutput>(*p->system_, *found);
    p->watch_ = std::make_unique<platform::MidiPortWatch>([](const std::string& name, platform::PortChange change) {
      std::cerr << (change == platform::PortChange::Lost ? "MIDI output lost: " : "MIDI output back: ") << name
                << std::endl;
    });
    if (kept->Connected()) {
      p->watch_->Add(kept.get());
      p->kept_ = kept.get();
      p->port_ = std::move(kept);
    }
  }
  if (!p->port_) {
    std::cerr << "The MIDI port \"" << p->portName_ << "\" could not be opened: " << p->system_->Problem() << "\n";
    return nullptr;
  }
  p->sender_ = std::make_unique<platform::MidiSender>(*p->port_, p->clock_);
  p->sender_->Start();
  p->sequencer_ = std::make_unique<platform::PortSequencer>(*p->sender_, p->clock_);
  if (p->watch_) p->watch_->Start();
  return p;
}

void PortPlayback::AttachLive(realtime::RealtimeClient& client) {
  DetachLive();
  live_ = std::make_unique<platform::RealtimePortSource>(client, kSampleRate);
  live_->Start(clock_.NowNs());
  sender_->SetSource(live_.get());
}

void PortPlayback::DetachLive() {
  if (!live_) return;
  sender_->Silence();
  live_.reset();
}

PortPlayback::~PortPlayback() {
  DetachLive();
  watch_.reset();      // no more checks of the port
  sequencer_.reset();  // closes the file: every channel silenced
  sender_.reset();
}

}  // namespace vambrio::cli
