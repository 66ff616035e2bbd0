// The Arranger window's recording on the built-in synthesizer: the recorder
// that stands between the live client and the output records while the
// window's Record is on; the files are rewritten whole now and then. "Save
// WAV" renders a recording's MIDI file offline as the Arranger's WAV export
// renders a chart: the same synthesizer settings and voice map.
#include <fstream>
#include <iterator>

#include "live/live_session.h"
#include "shell/arranger/fluid_arranger_service.h"

namespace vambrio {

std::string FluidArrangerService::StartRecording(const std::string& midiPath, const std::string& chartPath) {
  if (!session_) return "Open a style first.";
  StopRecording();
  if (!recorder_) recorder_ = std::make_unique<recording::PerformanceRecorder>(session_->Client());
  std::vector<recording::RecordedEvent> stale;
  recorder_->Drain(stale);
  recording_ = std::make_unique<recording::RecordingFiles>(
      *recorder_, recording::PerformanceGeometry::Of(session_->Patterns(), model_.StyleName), midiPath, chartPath);
  if (!recording_->Finish()) {  // the file can be written: an empty recording to begin with
    const std::string problem = recording_->Problem();
    recording_.reset();
    return problem;
  }
  recorder_->SetRecording(true);
  return {};
}

std::string FluidArrangerService::UpdateRecording() {
  if (!recording_) return {};
  return recording_->Update() ? std::string() : recording_->Problem();
}

std::string FluidArrangerService::StopRecording() {
  if (!recording_) return {};
  recorder_->SetRecording(false);
  const std::string problem = recording_->Finish() ? std::string() : recording_->Problem();
  recording_.reset();
  return problem;
}

std::string FluidArrangerService::SaveRecordingWav(const std::string& midiPath, const std::string& wavPath,
                                                   const std::function<void(double)>& progress) {
  std::ifstream in(midiPath, std::ios::binary);
  if (!in) return "The recording " + midiPath + " could not be read.";
  return RenderWav(midiPath, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}, wavPath, progress);
}

}  // namespace vambrio
