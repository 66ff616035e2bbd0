// Rendering a MIDI file offline, faster than real time, to a WAV file with
// FluidSynth's file renderer: 44.1 kHz, 16-bit, stereo.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/fluidsynth/fluid_engine.h"
#include "voices/voice_map.h"

namespace vambrio::platform {

struct RenderRequest {
  std::string midiFile;
  std::vector<uint8_t> midiBytes;  // the file in memory instead (midiFile then only names it)
  std::string wavFile;
  SoundOptions sound;         // the SoundFont and the player type (the driver is not used)
  double tailSeconds = 2.0;   // release time after the file's end
  bool endWhenSilent = false; // end the tail early at the first block after the file's end with no voice sounding
  std::function<void(double)> progress;  // the part of the file rendered (0..1), now and then
  // The voice map the file plays through, for the SoundFont found (unset or
  // null: as written). With a map the synthesizer reads bank selects as "xg".
  std::function<std::shared_ptr<const voices::VoiceMap>(const std::string& soundFont)> voices;
};

struct RenderResult {
  bool ok = false;
  std::string problem;  // why not, in words for the user
  std::string notice;   // about the SoundFont chosen
  int64_t frames = 0;   // written: the file's length plus the tail, to a whole block
};

RenderResult RenderToWav(const RenderRequest& request);

}  // namespace vambrio::platform
