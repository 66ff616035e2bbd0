// Everything the live arranger plays from, made once on the window's (or the
// command line's) thread: the style read into patterns, the arranger, for a
// chart its song, and the real-time client that runs them in the audio
// callback. It outlives the client's time on the audio output.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "arranger/arranger.h"
#include "arranger/song.h"
#include "live/live_arranger.h"
#include "model/style_model.h"

namespace vambrio::live {

struct SessionChoices {
  arranger::SetupChoices setup;
  arranger::ArrangerOptions options;
  int sampleRate = 48000;
};

class LiveSession {
 public:
  // Played from the buttons.
  LiveSession(const StyleModel& style, const SessionChoices& choices);
  // Plays a chart: the error ("line 3, column 7: ...") when it does not fit the style.
  static std::variant<std::unique_ptr<LiveSession>, arranger::ChartError> ForChart(
      const StyleModel& style, const SessionChoices& choices, const std::string& chartText,
      std::optional<double> tempo = std::nullopt);

  LiveArranger& Client() { return *live_; }
  const arranger::StylePatterns& Patterns() const { return patterns_; }
  bool IsChart() const { return song_.has_value(); }
  const arranger::Song* Song() const { return song_ ? &*song_ : nullptr; }
  // While off the audio output, on the owner's thread: the commands posted
  // so far are taken (Start excepted: it needs the output).
  void Pump();
  // Once off the audio output: the accompaniment stopped, nothing sounding
  // as far as the arranger knows.
  void StopDetached();

 private:
  LiveSession(const StyleModel& style, const SessionChoices& choices, bool);
  arranger::StylePatterns patterns_;
  std::unique_ptr<arranger::Arranger> arranger_;
  std::optional<arranger::Song> song_;
  std::unique_ptr<arranger::SongPlayer> player_;
  std::unique_ptr<LiveArranger> live_;
};

}  // namespace vambrio::live
