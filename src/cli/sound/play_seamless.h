// `vambrio-cli play` without --classic: the section (or every section in
// turn) through the live arranger, sounding at once and repeating without a
// gap, with "Player.tmp" written for each section as it starts.
#pragma once

#include <functional>
#include <optional>

#include "chord/chord_name.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "platform/files/voice_choices.h"
#include "playback/playback_controller.h"

namespace vambrio::platform {
class FluidEngine;
}

namespace vambrio::cli {

class PortPlayback;

struct SeamlessPlay {
  const StyleModel& style;
  PlayChoices choices;
  std::optional<Chord> chord;  // none: C major, or C minor with --minor
  int section = -1;            // -1: every section in turn
  bool repeat = false;
  platform::FluidEngine* engine = nullptr;  // one of the two
  PortPlayback* port = nullptr;
  PlaybackView& view;
  std::function<void(int16_t section)> writePlayerFile;
  int stopSignals = -1;  // readable when Ctrl-C or SIGTERM came
  platform::VoiceChoices voices;  // the voice map of the synthesizer or the port
};

// Returns the exit status; sets `stopped` when a signal ended it.
int PlaySeamlessly(const SeamlessPlay& play, bool& stopped);

}  // namespace vambrio::cli
