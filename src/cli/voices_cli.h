// The voice map on the command line: the SoundFont's catalog, the voices of
// a style as text and JSON (vambrio-cli voices, info --json), and the
// --voices and --noise options of the commands that write or render.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "voices/voice_map.h"

namespace vambrio::cli {

// --voices: as the command's default, mapped for a General MIDI player
// ("gm"), or as the style wrote them ("written").
enum class VoicesChoice { Default, GeneralMidi, Written };

struct VoiceOptions {
  VoicesChoice voices = VoicesChoice::Default;
  voices::NoiseNotes noise = voices::NoiseNotes::PlayAsEffects;
};

std::vector<OptionHelp> VoiceOptionHelp();
// False (with a message) for a value other than gm/written and play/leave-out.
bool ReadVoiceOptions(const ParsedArgs& args, VoiceOptions& out);

// The catalog of the SoundFont chosen (explicit, else the one the synthesizer
// would find); the General MIDI catalog as such when none is found. `note`
// says what was used when that is worth saying; an explicit SoundFont that
// cannot be read gives an empty result and the reason in `note`.
std::shared_ptr<const voices::SoundFontCatalog> CatalogFor(const std::string& explicitSoundFont, std::string& note);

nlohmann::ordered_json VoicesJson(const voices::VoiceMap& map);
void PrintVoices(std::ostream& out, const voices::VoiceMap& map);

// Rewrites a written MIDI file of this style for a General MIDI player, as
// --voices gm asks; false (with a message) when it cannot.
bool MapFileForGeneralMidi(std::vector<uint8_t>& midi, const StyleModel& m, const VoiceOptions& options);
bool MapFileForGeneralMidi(const std::string& path, const StyleModel& m, const VoiceOptions& options);

}  // namespace vambrio::cli
