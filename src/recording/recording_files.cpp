#include "recording/recording_files.h"

#include "model/whole_file.h"

#include <cerrno>
#include <cstring>

namespace vambrio::recording {

RecordingFiles::RecordingFiles(PerformanceRecorder& recorder, const PerformanceGeometry& geometry,
                               std::string midiPath, std::string chartPath)
    : recorder_(recorder), midiPath_(std::move(midiPath)), chartPath_(std::move(chartPath)) {
  performance_.geometry = geometry;
}

bool RecordingFiles::Update(std::chrono::milliseconds every) {
  performance_.sampleRate = recorder_.SampleRate();
  if (recorder_.Drain(performance_.events) > 0) unsaved_ = true;
  if (!unsaved_ || std::chrono::steady_clock::now() - written_ < every) return problem_.empty();
  return Write();
}

bool RecordingFiles::Finish() {
  performance_.sampleRate = recorder_.SampleRate();
  recorder_.Drain(performance_.events);
  return Write();
}

bool RecordingFiles::Write() {
  written_ = std::chrono::steady_clock::now();
  unsaved_ = false;
  if (!midiPath_.empty() &&
      !WriteFileWhole(midiPath_, PerformanceMidiFile(map_ ? MappedPerformance(performance_, *map_) : performance_))) {
    problem_ = "could not write " + midiPath_ + ": " + std::strerror(errno);
    return false;
  }
  const std::string chart = chartPath_.empty() ? "" : PerformanceChart(performance_);
  if (!chart.empty() && !WriteFileWhole(chartPath_, chart)) {
    problem_ = "could not write " + chartPath_ + ": " + std::strerror(errno);
    return false;
  }
  problem_.clear();
  return true;
}

}  // namespace vambrio::recording
