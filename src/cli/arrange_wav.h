// How `arrange` writes a WAV file: the sound platform renders the song's MIDI
// file offline. A build without the sound platform has no renderer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "platform/files/voice_choices.h"

namespace vambrio::cli {

struct WavJob {
  std::vector<uint8_t> midi;  // the song as a Standard MIDI File
  std::string wavFile;
  std::string soundFont;      // empty: the usual look-up
  bool xgPlayer = true;
  const StyleModel* style = nullptr;  // the style whose voices the song plays
  platform::VoiceChoices voices;
};

// Renders the job; returns what went wrong in words for the user, or "" when
// the file was written (then `seconds` is its length). Lines about the
// SoundFont go to `notice`.
using WavRenderer = std::function<std::string(const WavJob& job, double& seconds, std::string& notice)>;

// The renderer the sound platform installs, or an empty function.
WavRenderer& ArrangeWavRenderer();

// `arrange` without -o: the chart played live through the sound platform.
struct LiveJob {
  const StyleModel* style = nullptr;  // loaded
  PlayChoices choices;
  std::string chartName;  // for messages
  std::string chartText;
  std::optional<double> tempo;
  std::string soundFont, audioDriver, latency;  // "" for the usual ones
  std::string midiOut;  // a MIDI port to play through instead of the synthesizer ("" for none)
  const ParsedArgs* args = nullptr;  // --record and --record-chart
  platform::VoiceChoices voices;
};
// Plays the job; returns the program's exit status.
using LivePlayer = std::function<int(const LiveJob& job)>;
LivePlayer& ArrangeLivePlayer();

}  // namespace vambrio::cli
