// An arranger service that records the window's commands and shows the
// state the test sets.
#pragma once

#include <string>
#include <vector>

#include "shell/arranger/arranger_service.h"

namespace vambrio::test {

class FakeArrangerService final : public ArrangerService {
 public:
  std::string OpenStyle(const std::string& path, ArrangerStyle& out) override {
    if (!openProblem.empty()) return openProblem;
    out = style;
    out.path = path;
    return {};
  }
  bool Send(const live::LiveCommand& c) override {
    sent.push_back(c);
    return true;
  }
  live::LiveState State() const override { return state; }
  std::string Problem() const override { return problem; }
  uint64_t Underruns() const override { return underruns; }
  bool HoldsOutput() const override { return holdsOutput; }
  std::string CheckChart(const std::string& text, std::vector<ChartBarPlace>& bars) override {
    checked = text;
    bars = chartBars;
    return chartProblem;
  }
  std::string PlayChart(const std::string& text, int countInBars = 0) override {
    played = text;
    playedCountIn = countInBars;
    return playProblem;
  }
  std::string WrittenChord(int songStep) const override {
    return songStep >= 0 && static_cast<size_t>(songStep) < writtenChords.size() ? writtenChords[songStep] : "";
  }
  std::string Export(const std::string&, const std::string& out, const std::function<void(double)>& progress) override {
    progress(0.5);
    progress(1.0);
    exported.push_back(out);
    return {};
  }

  std::string StartRecording(const std::string& midiPath, const std::string& chartPath) override {
    if (recordProblem.empty()) recordings.push_back({midiPath, chartPath});
    return recordProblem;
  }
  std::string UpdateRecording() override { return {}; }
  std::string SaveRecordingWav(const std::string& midiPath, const std::string& wavPath,
                               const std::function<void(double)>& progress) override {
    renders.push_back({midiPath, wavPath});
    if (progress) progress(1.0);
    return renderProblem;
  }
  std::string StopRecording() override {
    ++recordingsStopped;
    return {};
  }

  // Commands of one kind, in order.
  std::vector<live::LiveCommand> Sent(live::LiveCommand::Kind kind) const {
    std::vector<live::LiveCommand> of;
    for (const auto& c : sent)
      if (c.kind == kind) of.push_back(c);
    return of;
  }

  ArrangerStyle style{"", "Demo", {"Intro A", "Main A", "Main B", "Fill In AA", "Fill In BB", "Fill In BA", "Ending A"},
                      96, 4, {}, {1, 4, 4, 1, 1, 1, 2}};
  std::string openProblem, chartProblem, checked, played, playProblem;
  uint64_t underruns = 0;
  int playedCountIn = -1;
  std::vector<std::string> writtenChords;
  std::vector<ChartBarPlace> chartBars;
  std::vector<live::LiveCommand> sent;
  std::vector<std::string> exported;
  live::LiveState state;
  bool holdsOutput = true;
  std::vector<std::pair<std::string, std::string>> recordings;  // MIDI file, chart ("" for none)
  std::string recordProblem;
  int recordingsStopped = 0;
  std::vector<std::pair<std::string, std::string>> renders;  // MIDI file, WAV file
  std::string renderProblem;
  std::string problem;
};

}  // namespace vambrio::test
