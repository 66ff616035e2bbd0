// The owner's side of a recording (the window's or the command line's
// thread): takes what the recorder caught and keeps the MIDI file (and the
// chart) on disk up to date, written whole each time, so that however the
// program ends the files hold what was played up to the last update.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "recording/performance.h"

namespace vambrio::recording {

class RecordingFiles {
 public:
  // An empty path writes no such file; no chart is written before the
  // accompaniment has started.
  RecordingFiles(PerformanceRecorder& recorder, const PerformanceGeometry& geometry, std::string midiPath,
                 std::string chartPath);

  // The MIDI file's channel messages through this map from now on (null: as
  // played); the chart is the same either way.
  void SetFileMap(std::shared_ptr<const voices::VoiceMap> map) { map_ = std::move(map); }

  // Takes what was recorded; rewrites the files when something new came and
  // `every` has passed since they were last written. False when a write failed.
  bool Update(std::chrono::milliseconds every = std::chrono::milliseconds(1000));
  // Takes the rest and writes the files. False when a write failed.
  bool Finish();

  const Performance& Recorded() const { return performance_; }
  // "could not write take.mid: Permission denied"
  const std::string& Problem() const { return problem_; }

 private:
  bool Write();

  PerformanceRecorder& recorder_;
  Performance performance_;
  std::string midiPath_, chartPath_;
  std::string problem_;
  std::shared_ptr<const voices::VoiceMap> map_;
  bool unsaved_ = false;
  std::chrono::steady_clock::time_point written_{};
};

}  // namespace vambrio::recording
