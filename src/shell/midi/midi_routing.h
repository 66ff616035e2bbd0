// The MIDI ports as the main window's Options menu chooses them: the input
// the player's keyboard is read from ("MIDI Input") and where the music is
// played ("Sound Source": the built-in synthesizer or a MIDI output port).
// Vambrio's own virtual ports, "Vambrio In" and "Vambrio Out", are there for
// other programs to connect to.
#pragma once

#include <string>
#include <vector>

namespace vambrio {

inline constexpr const char* kBuiltInSynthText = "Built-in synthesizer (FluidSynth)";

// A chosen port that went away or came back.
struct MidiPortNews {
  std::string port;
  bool input = false;  // the keyboard's input, else the sound source
  bool lost = false;   // gone; else back
};

class MidiRouting {
 public:
  virtual ~MidiRouting() = default;
  // Why no MIDI port can be used, in words for the user ("" when the ALSA
  // sequencer or a JACK server answers). Asking looks again.
  virtual std::string Problem() = 0;
  // The ports of other programs and devices, by the names the user sees.
  virtual std::vector<std::string> InputPorts() = 0;
  virtual std::vector<std::string> OutputPorts() = 0;

  // "" (none), "Vambrio In" or a port; a port that is not there yet is
  // connected when it appears.
  virtual void ChooseInput(const std::string& port) = 0;
  virtual std::string Input() const = 0;
  virtual bool InputConnected() const = 0;

  // "" (the built-in synthesizer), "Vambrio Out" or a port. Whatever plays is
  // stopped first. False when the port cannot be used (Problem says why);
  // the built-in synthesizer plays then.
  virtual bool ChooseSoundSource(const std::string& port) = 0;
  virtual std::string SoundSource() const = 0;
  virtual bool SoundSourceConnected() const = 0;

  // What happened to the chosen ports since the last call, oldest first.
  virtual std::vector<MidiPortNews> TakeNews() = 0;
};

}  // namespace vambrio
