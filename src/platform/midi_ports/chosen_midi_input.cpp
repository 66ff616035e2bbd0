#include "platform/midi_ports/chosen_midi_input.h"

#include "platform/clock/mono_clock.h"

namespace vambrio::platform {

ChosenMidiInput::ChosenMidiInput(MidiSystem& system, MidiPortWatch& watch) : system_(system), watch_(watch) {}

ChosenMidiInput::~ChosenMidiInput() { Choose(""); }

void ChosenMidiInput::Choose(const std::string& port) {
  if (port == name_ && (current_ != nullptr) == !port.empty()) return;
  std::unique_ptr<KeptMidiInput> next = port.empty() ? nullptr : std::make_unique<KeptMidiInput>(system_, port);
  if (current_) watch_.Remove(current_);
  current_ = next.get();
  std::unique_ptr<KeptMidiInput> old = slot_.Replace(std::move(next));
  if (old) changed_.store(true);
  if (current_) watch_.Add(current_);
  name_ = port;
}

bool ChosenMidiInput::Connected() const { return current_ && current_->Connected(); }

bool ChosenMidiInput::Pop(MidiMessage& message) {
  if (changed_.exchange(false)) {
    message = MidiMessage{MonotonicNowNs(), 1, {0xFF, 0, 0}};
    return true;
  }
  bool got = false;
  slot_.With([&](KeptMidiInput& in) { got = in.Pop(message); });
  return got;
}

}  // namespace vambrio::platform
