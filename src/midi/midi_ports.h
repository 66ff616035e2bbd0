// MIDI ports: listing the ports of other programs and devices, connecting to
// one of them, and Vambrio's own virtual ports ("Vambrio In", "Vambrio Out")
// that other programs connect to. One implementation talks to the system
// (ALSA sequencer or JACK, through RtMidi); tests use fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/midi_message.h"

namespace vambrio::platform {

inline constexpr const char* kVirtualInName = "Vambrio In";
inline constexpr const char* kVirtualOutName = "Vambrio Out";

// An open input: messages arrive on the port's own thread and wait in a
// lock-free queue, stamped with the monotonic clock, until the one consuming
// thread takes them.
class MidiInPort {
 public:
  virtual ~MidiInPort() = default;
  virtual bool Pop(MidiMessage& message) = 0;
};

// An open output. Send is called from one thread at a time; it neither waits
// for the receiver nor allocates for short messages.
class MidiOutPort {
 public:
  virtual ~MidiOutPort() = default;
  virtual void Send(const uint8_t* bytes, size_t size) = 0;
};

class MidiSystem {
 public:
  virtual ~MidiSystem() = default;
  // "ALSA" or "JACK"; empty when neither can be reached (Problem says why).
  virtual std::string ApiName() const = 0;
  virtual std::string Problem() const = 0;
  // The ports of other programs and devices, by the names the user sees;
  // Vambrio's own ports are not listed. The same name finds the port again
  // after it has gone away and come back.
  virtual std::vector<std::string> InputPorts() = 0;
  virtual std::vector<std::string> OutputPorts() = 0;
  // Null when the port is not there or cannot be opened (Problem says why).
  virtual std::unique_ptr<MidiInPort> OpenInput(const std::string& port) = 0;
  virtual std::unique_ptr<MidiOutPort> OpenOutput(const std::string& port) = 0;
  virtual std::unique_ptr<MidiInPort> OpenVirtualInput(const std::string& name) = 0;
  virtual std::unique_ptr<MidiOutPort> OpenVirtualOutput(const std::string& name) = 0;
  // True from the moment the MIDI system itself went away (its server was
  // stopped or killed) until it can be reached again: its ports are then
  // listed no more, and come back when it does.
  virtual bool Lost() const { return false; }
};

// The port a user means by `wanted`: its exact name, its number in the list
// (from 1, as `vambrio-cli ports` prints it), or a part of one name only
// (case-insensitive). Empty when none or several match.
std::optional<std::string> FindPort(const std::vector<std::string>& ports, const std::string& wanted);

// Every channel silenced and reset: all-notes-off (controller 123) and
// reset-all-controllers (121) on channels 1 to 16.
void SendChannelReset(MidiOutPort& out);

}  // namespace vambrio::platform
