// Playing through a MIDI port from the command line: the port the user named
// (or Vambrio's virtual output "Vambrio Out"), the timed output on the
// monotonic clock, and the sequencer on it. A port that goes away and comes
// back is reported on standard error and reconnected.
#pragma once

#include <memory>
#include <string>

#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/midi_ports/midi_sender.h"
#include "platform/midi_ports/port_sequencer.h"
#include "platform/midi_ports/realtime_port_source.h"

namespace vambrio::cli {

class PortPlayback {
 public:
  // Prints why not and returns null when the port cannot be opened.
  static std::unique_ptr<PortPlayback> Open(const std::string& wanted);
  ~PortPlayback();

  platform::PortSequencer& Sequencer() { return *sequencer_; }

  // A real-time client (the live arranger) played on the port from now on,
  // on a 48 kHz sample clock; Detach silences every channel.
  static constexpr int kSampleRate = 48000;
  void AttachLive(realtime::RealtimeClient& client);
  void DetachLive();
  const std::string& PortName() const { return portName_; }
  // The port went away (unplugged, its program ended) or the MIDI system
  // with it (its server stopped or killed).
  bool Lost() const { return system_->Lost() || (kept_ && !kept_->Connected()); }

 private:
  PortPlayback() = default;

  std::unique_ptr<platform::MidiSystem> system_;
  std::string portName_;
  std::unique_ptr<platform::MidiOutPort> port_;
  platform::KeptMidiOutput* kept_ = nullptr;  // port_, when it is one
  platform::SystemMonoClock clock_;
  std::unique_ptr<platform::MidiSender> sender_;
  std::unique_ptr<platform::PortSequencer> sequencer_;
  std::unique_ptr<platform::RealtimePortSource> live_;
  std::unique_ptr<platform::MidiPortWatch> watch_;
};

// The message for a port lost during playback.
std::string PortLostText(const std::string& port);

// Whether `wanted` names Vambrio's own virtual output.
bool IsVirtualOutName(const std::string& wanted);

}  // namespace vambrio::cli
