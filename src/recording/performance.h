// A recorded performance and what is made of it: a Standard MIDI File of
// format 1 (a conductor track with the tempo, time signature, section
// markers and chord names, then a track per channel used) and a chord chart
// of what was played (chords on the beat they were given, sections as
// chosen), which the chart reader reads and the arranger plays again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recording/performance_recorder.h"

namespace vambrio::arranger {
struct StylePatterns;
}
namespace vambrio::voices {
class VoiceMap;
}

namespace vambrio::recording {

// The file's resolution: every usual style division divides it, and at
// usual tempos a tick is shorter than two samples.
inline constexpr uint16_t kRecordDivision = 28800;

// The style's bar and beat, for the time signature and the chart.
struct PerformanceGeometry {
  uint16_t division = 1920;  // the arranger's ticks a quarter note
  int beatsPerBar = 4;
  uint32_t beatLength = 1920;
  uint32_t barLength = 7680;
  uint32_t tempo = 500000;  // at the start, until the arranger says otherwise
  std::string name;         // the conductor track's name

  static PerformanceGeometry Of(const arranger::StylePatterns& style, const std::string& name);
};

struct Performance {
  int sampleRate = 48000;
  PerformanceGeometry geometry;
  std::vector<RecordedEvent> events;  // as drained from the recorder

  bool Empty() const { return events.empty(); }
};

// The MIDI file; from the first recorded event on. Notes and the pedal still
// held at the end are let go there.
std::vector<uint8_t> PerformanceMidiFile(const Performance& p);

// The performance as a General MIDI player is to hear it: every channel
// message through the voice map (a map for a General MIDI synthesizer:
// stand-in programs, articulations on the channels the style leaves free),
// markers, chord names and tempo as they were.
Performance MappedPerformance(const Performance& p, const voices::VoiceMap& map);

// The chord chart from the accompaniment's first start on; empty when the
// accompaniment never started.
std::string PerformanceChart(const Performance& p);

}  // namespace vambrio::recording
