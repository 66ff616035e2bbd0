// The keyboard's input port as the user chooses it: one input that the
// thread which reads the keyboard keeps, while the owner changes the port
// behind it (or chooses none). The chosen port is kept: when it goes away it
// is reported and opened again when it comes back (kept_midi_ports.h).
#pragma once

#include <memory>
#include <string>

#include "platform/midi_ports/kept_midi_ports.h"

namespace vambrio::platform {

class ChosenMidiInput final : public MidiInPort {
 public:
  // The watch checks the chosen port; both must outlive this input.
  ChosenMidiInput(MidiSystem& system, MidiPortWatch& watch);
  ~ChosenMidiInput() override;
  ChosenMidiInput(const ChosenMidiInput&) = delete;
  ChosenMidiInput& operator=(const ChosenMidiInput&) = delete;

  // The owner's side: `port` from now on ("" for none). A port that is not
  // there yet is opened when it appears. A port let go of delivers a System
  // Reset (FF) first, so that the reader lets go of every key it holds.
  void Choose(const std::string& port);
  const std::string& Name() const { return name_; }
  bool Connected() const;

  // The reading thread's side.
  bool Pop(MidiMessage& message) override;

 private:
  MidiSystem& system_;
  MidiPortWatch& watch_;
  std::string name_;
  PortSlot<KeptMidiInput> slot_;
  KeptMidiInput* current_ = nullptr;  // the owner's view of what is in the slot
  std::atomic<bool> changed_{false};
};

}  // namespace vambrio::platform
