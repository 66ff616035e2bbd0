// MIDI ports as the test says: the lists, whether the chosen ones are
// connected, news of ports gone or back, and what the window chose.
#pragma once

#include <string>
#include <vector>

#include "shell/midi/midi_routing.h"

namespace vambrio::test {

class FakeMidiRouting final : public MidiRouting {
 public:
  std::string Problem() override { return problem; }
  std::vector<std::string> InputPorts() override { return inputs; }
  std::vector<std::string> OutputPorts() override { return outputs; }
  void ChooseInput(const std::string& port) override {
    input = port;
    inputChoices.push_back(port);
  }
  std::string Input() const override { return input; }
  bool InputConnected() const override { return inputConnected; }
  bool ChooseSoundSource(const std::string& port) override {
    sourceChoices.push_back(port);
    source = refuse ? "" : port;
    return !refuse;
  }
  std::string SoundSource() const override { return source; }
  bool SoundSourceConnected() const override { return sourceConnected; }
  std::vector<MidiPortNews> TakeNews() override { return std::exchange(news, {}); }

  std::string problem;
  std::vector<std::string> inputs, outputs;
  std::string input, source;
  bool inputConnected = true, sourceConnected = true, refuse = false;
  std::vector<std::string> inputChoices, sourceChoices;
  std::vector<MidiPortNews> news;
};

}  // namespace vambrio::test
