// Where the window's music goes and where the player's keyboard comes from:
// the sequencer the classic Play drives and the live output the Arranger
// plays through are the built-in synthesizer's, or those of the MIDI output
// port the user chose; the keyboard is read from the chosen input port and
// from Vambrio's own "Vambrio In". The chosen ports are watched: one that
// goes away is reported and reconnected when it comes back.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi_ports/chosen_midi_input.h"
#include "platform/midi_ports/kept_midi_ports.h"
#include "realtime/live_output.h"
#include "platform/clock/mono_clock.h"
#include "platform/midi_ports/port_output.h"
#include "playback/sequencer_settings.h"
#include "shell/midi/midi_routing.h"

namespace vambrio {

class SoundRouting final : public platform::SequencerSettings, public MidiRouting {
 public:
  using SystemOpener = std::function<std::unique_ptr<platform::MidiSystem>()>;

  // builtIn: the built-in synthesizer's sequencer; builtInLive: its live
  // output as it is now (the synthesizer may be rebuilt). openSystem reaches
  // the MIDI system (again, while it cannot be reached).
  SoundRouting(platform::Sequencer& builtIn, std::function<platform::LiveOutput&()> builtInLive,
               SystemOpener openSystem, platform::MonoClock& clock);
  ~SoundRouting() override;

  // The sequencer of the chosen source; its properties go with each command.
  bool Command(const std::string& command) override;
  int64_t Length() const override;
  std::string LastError() const override;

  // The live output of the chosen source.
  platform::LiveOutput& LiveOutput();
  // The ports the keyboard is read from, for as long as the routing lives.
  std::vector<platform::MidiInPort*> KeyboardInputs();
  // Called when the live client takes a port from a file that plays.
  void SetTakenAwayHandler(std::function<void()> handler) { takenAway_ = std::move(handler); }
  // Called with the MIDI input chosen ("" for none), at every choice.
  void SetInputHandler(std::function<void(const std::string&)> handler) { inputChosen_ = std::move(handler); }

  // The window's choices.
  std::string Problem() override;
  std::vector<std::string> InputPorts() override;
  std::vector<std::string> OutputPorts() override;
  void ChooseInput(const std::string& port) override;
  std::string Input() const override { return input_; }
  bool InputConnected() const override;
  bool ChooseSoundSource(const std::string& port) override;
  std::string SoundSource() const override { return source_; }
  bool SoundSourceConnected() const override;
  std::vector<MidiPortNews> TakeNews() override;

 private:
  class InputSlot;
  bool Usable() const { return system_ && !system_->ApiName().empty(); }
  void Reach();
  void DropPort();
  void Note(const std::string& port, platform::PortChange change, bool input);

  platform::Sequencer& builtIn_;
  std::function<platform::LiveOutput&()> builtInLive_;
  SystemOpener openSystem_;
  platform::MonoClock& clock_;
  std::function<void()> takenAway_;
  std::function<void(const std::string&)> inputChosen_;


  std::unique_ptr<platform::MidiSystem> system_;
  std::unique_ptr<platform::MidiPortWatch> inWatch_;
  std::unique_ptr<platform::MidiPortWatch> outWatch_;
  std::unique_ptr<InputSlot> chosenIn_;   // the chosen port, behind a slot that outlives the system
  std::unique_ptr<InputSlot> virtualIn_;  // "Vambrio In"
  platform::ChosenMidiInput* chosen_ = nullptr;  // in chosenIn_
  std::string input_;

  std::string source_;
  platform::KeptMidiOutput* keptOut_ = nullptr;  // the port of port_, when it is kept
  std::unique_ptr<platform::PortOutput> port_;
  std::unique_ptr<QSocketNotifier> portNotifier_;

  std::mutex newsMutex_;
  std::vector<MidiPortNews> news_;
};

}  // namespace vambrio
