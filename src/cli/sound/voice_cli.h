// The voice choices of the commands that sound, from --voices and --noise
// (cli/voices_cli.h) and --midi-out-gm: the built-in synthesizer plays
// through the voice map unless --voices written; a synthesizer on a port
// plays the voices as written unless --midi-out-gm says it is a General MIDI one.
#pragma once

#include <iostream>
#include <vector>

#include "cli/cli_common.h"
#include "cli/voices_cli.h"
#include "platform/files/voice_choices.h"
#include "voices/voice_mapper.h"

namespace vambrio::cli {

inline platform::VoiceChoices SynthVoiceChoices(const VoiceOptions& options, bool generalMidiPort = false) {
  platform::VoiceChoices c;
  c.asWritten = options.voices == VoicesChoice::Written;
  c.noise = options.noise;
  c.generalMidiPort = generalMidiPort;
  return c;
}

inline OptionHelp MidiOutGmOptionHelp() {
  return {"--midi-out-gm", "",
          "the synthesizer on --midi-out is a General MIDI one: map the voices for it (articulations on the "
          "channels 2-8 the style leaves free); without it a port plays the voices as written"};
}

// What the map left out on a port, said once at the end.
inline void SayVoiceCounts(const voices::MapperCounts& counts) {
  if (counts.helpersExhausted > 0)
    std::cerr << "note: " << counts.helpersExhausted
              << " articulation notes were left out: the style leaves no channel of 2-8 free for them\n";
}

}  // namespace vambrio::cli
