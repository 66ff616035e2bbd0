// --record FILE.mid and --record-chart FILE.chart for the commands that play
// live: the recorder sits between the playing client and the output, and the
// files are kept up to date while playing, so that Ctrl-C leaves them whole.
#pragma once

#include <iostream>
#include <memory>
#include <string>

#include "arranger/style_patterns.h"
#include "cli/cli_common.h"
#include "live/live_arranger.h"
#include "platform/files/voice_choices.h"
#include "recording/recording_files.h"

namespace vambrio::cli {

class CliRecording {
 public:
  CliRecording(const ParsedArgs& args, realtime::RealtimeClient& client, live::LiveArranger& live,
               const arranger::StylePatterns& style, const std::string& name)
      : client_(client),
        midi_(args.Value("--record").value_or("")),
        chart_(args.Value("--record-chart").value_or("")) {
    if (midi_.empty() && chart_.empty()) return;
    recorder_ = std::make_unique<recording::PerformanceRecorder>(client);
    files_ = std::make_unique<recording::RecordingFiles>(*recorder_, recording::PerformanceGeometry::Of(style, name),
                                                         midi_, chart_);
    live.SetMetaTap(recorder_.get());
    recorder_->SetRecording(true);
  }

  // With --voices gm the MIDI file holds what a General MIDI player needs:
  // the voices mapped, as "assemble --voices gm" writes them.
  void MapForGeneralMidi(const ParsedArgs& args, const voices::StyleVoiceUse& use, platform::VoiceChoices choices) {
    if (!files_ || args.Value("--voices").value_or("") != "gm") return;
    choices.generalMidiPort = true;
    files_->SetFileMap(platform::MapForPort(use, choices));
  }

  // What goes onto the output: the recorder, or the client itself.
  realtime::RealtimeClient& Client() { return recorder_ ? *recorder_ : client_; }

  // Now and then while playing: the files brought up to date.
  void Update() {
    if (files_ && !files_->Update() && !warned_) {
      std::cerr << "vambrio-cli: " << files_->Problem() << std::endl;
      warned_ = true;
    }
  }

  // Once off the output: the files written whole. False when they could not be.
  bool Finish() {
    if (!files_) return true;
    if (!files_->Finish()) {
      std::cerr << "vambrio-cli: " << files_->Problem() << std::endl;
      return false;
    }
    if (recorder_->Dropped() > 0)
      std::cerr << "note: " << recorder_->Dropped() << " events came too fast to be recorded\n";
    const recording::Performance& p = files_->Recorded();
    if (!midi_.empty()) std::cout << "Recorded " << p.events.size() << " events to " << midi_ << std::endl;
    if (!chart_.empty()) {
      if (recording::PerformanceChart(p).empty())
        std::cout << "No chart written: the accompaniment did not play" << std::endl;
      else
        std::cout << "Chart of what was played: " << chart_ << std::endl;
    }
    return true;
  }

 private:
  realtime::RealtimeClient& client_;
  std::string midi_, chart_;
  std::unique_ptr<recording::PerformanceRecorder> recorder_;
  std::unique_ptr<recording::RecordingFiles> files_;
  bool warned_ = false;
};

}  // namespace vambrio::cli
