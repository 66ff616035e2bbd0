// A Standard MIDI File played through the voice map: its tracks merged in
// tick order, every channel message mapped, system-exclusive and meta events
// kept, and the result written as a format 0 file with the same division
// and length. With a map for a General MIDI synthesizer (GeneralMidi bank
// convention, helpers on the channels the style leaves free), the file plays
// the style's voices on any General MIDI player.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "voices/voice_map.h"

namespace vambrio::voices {

// Settings for a General-MIDI-ready version of this file: helpers on the
// channels among 2..8 on which the file plays no note.
VoiceMapSettings GeneralMidiFileSettings(const std::vector<uint8_t>& smf, NoiseNotes noise);

// Empty when the bytes do not begin with a valid header. A track cut short
// ends at its last whole event.
std::optional<std::vector<uint8_t>> MapMidiFile(const std::vector<uint8_t>& smf, const VoiceMap& map);

}  // namespace vambrio::voices
