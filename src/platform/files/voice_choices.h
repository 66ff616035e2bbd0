// The user's voice choices and the voice maps they make: for the built-in
// synthesizer (mapped to the SoundFont unless "as written") and for an
// external synthesizer on a MIDI port (as written, unless it is a General
// MIDI synthesizer). A SoundFont's catalog is read once per file, on the
// first thread that asks, never on the audio thread.
#pragma once

#include <memory>
#include <string>

#include "voices/voice_map.h"
#include "voices/voice_use.h"

namespace vambrio::platform {

struct VoiceChoices {
  bool asWritten = false;                  // "Voices: as written"; else "map to this SoundFont"
  bool soundFontHasKeyboardBanks = false;  // "This SoundFont has the keyboards' voice banks"
  voices::NoiseNotes noise = voices::NoiseNotes::PlayAsEffects;  // "Noise notes: play as effects / leave out"
  bool generalMidiPort = false;            // the synthesizer on a MIDI port is a General MIDI one
  friend bool operator==(const VoiceChoices&, const VoiceChoices&) = default;
};

// The catalog of the SoundFont at `path`, read on the first call for it and
// kept; a General MIDI SoundFont's catalog when the file cannot be read.
std::shared_ptr<const voices::SoundFontCatalog> SoundFontCatalogOf(const std::string& path);

// The map for the built-in synthesizer playing the SoundFont at `soundFont`
// (helpers on channels 16..31, FluidSynth's "xg" bank selects); null when
// the voices play as written.
std::shared_ptr<const voices::VoiceMap> MapForSynth(const voices::StyleVoiceUse& use, const std::string& soundFont,
                                                    const VoiceChoices& choices);

// The map for a synthesizer on a MIDI port (General MIDI bank selects,
// helpers on the channels 2..8 the style leaves free); null unless the
// choices say it is a General MIDI synthesizer.
std::shared_ptr<const voices::VoiceMap> MapForPort(const voices::StyleVoiceUse& use, const VoiceChoices& choices);

// "3 voices of this style are played by stand-ins on this SoundFont" (one
// voice: "1 voice of this style is played by a stand-in ..."); "" when every
// voice plays as it was asked for. A stand-in is any voice resolved to
// another bank or program than the one it asked for.
int StandInCount(const voices::VoiceMap& map);
std::string StandInText(const voices::VoiceMap& map);

// The tool tip of a part switch (part 0..7, "Rhythm Sub" .. "Phrase 2"):
// which voice the part asks for and what plays it, one line per channel and
// voice; "" when the part plays no notes.
std::string PartVoiceText(const voices::VoiceMap* map, const voices::StyleVoiceUse& use, int part);

}  // namespace vambrio::platform

namespace vambrio::platform {

// Whether the built-in synthesizer reads bank selects as "xg" (bank MSB 127
// chooses drum kits on any channel): for the XG player, and whenever the
// voices are mapped (the map sends its banks that way).
inline bool SynthReadsXgBanks(bool gmPlayer, const VoiceChoices& choices) { return !gmPlayer || !choices.asWritten; }

// The last map made, made again only when the style, the SoundFont or the
// choices changed.
class KeptVoiceMap {
 public:
  std::shared_ptr<const voices::VoiceMap> ForSynth(const std::shared_ptr<const voices::StyleVoiceUse>& use,
                                                   const std::string& soundFont, const VoiceChoices& choices);
  std::shared_ptr<const voices::VoiceMap> ForPort(const std::shared_ptr<const voices::StyleVoiceUse>& use,
                                                  const VoiceChoices& choices);

 private:
  bool Same(const std::shared_ptr<const voices::StyleVoiceUse>& use, const std::string& soundFont,
            const VoiceChoices& choices, bool port) const;

  bool made_ = false;
  std::shared_ptr<const voices::StyleVoiceUse> use_;
  std::string soundFont_;
  VoiceChoices choices_;
  bool port_ = false;
  std::shared_ptr<const voices::VoiceMap> map_;
};

}  // namespace vambrio::platform
