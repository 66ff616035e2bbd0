// The voice map: for each voice a style asks for (bank MSB, LSB, program on
// a channel), the preset of the SoundFont that plays it, how it was found,
// the articulations the voice's velocities carry and, for drum kits, where
// the keys the kit lacks go. Made once per style, SoundFont catalog and
// settings; Resolve is allocation-free, so the audio callback may call it.
//
// The order of resolution:
//  1. only when the settings say the SoundFont has the keyboards' own banks:
//     the requested bank (MSB, else LSB) and program when the SoundFont has them;
//  2. bank MSB 8: the table of articulated voices (voice_table.h); an
//     unlisted program stands in by the channel's part and range, and says so;
//  3. MSB 0 with LSB 1..127, MSB 104, 108 and 121 (panel voices): bank 0,
//     same program;
//  4. drum kits (MSB 127 or 120) on any channel: the same kit program in
//     bank 128 when the SoundFont has it and it is one of the kits General
//     MIDI SoundFonts share, else the nearest kit, else the Standard kit;
//     effect kits (MSB 126): the Standard kit, effect keys played by the
//     nearest General MIDI sound where one is close, the rest silent;
//  5. anything else: bank 0, same program.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "voices/soundfont_catalog.h"
#include "voices/voice_table.h"
#include "voices/voice_use.h"

namespace vambrio::voices {

enum class NoiseNotes : uint8_t { PlayAsEffects, LeaveOut };

// How the synthesizer reads the bank selects the mapper sends.
enum class BankConvention : uint8_t {
  // FluidSynth in its "xg" bank-select mode: melodic bank B as CC0=0 CC32=B,
  // drum kits as CC0=127 CC32=0 (bank 128 of the SoundFont, on any channel).
  FluidXg,
  // An external General MIDI synthesizer: melodic CC0=0 CC32=0, drum kits CC0=127 CC32=0.
  GeneralMidi,
};

inline constexpr int kMaxHelperChannels = 16;

// The channels an articulation with a program of its own may play on.
struct HelperChannels {
  std::array<uint8_t, kMaxHelperChannels> channels{};
  uint8_t count = 0;

  // Channels 16..31 of a FluidSynth with 32 MIDI channels.
  static HelperChannels BuiltInSynth();
  // Channels 2..8 (1..7 counted from 0) that the style leaves free, for a
  // General MIDI synthesizer on a port or a General-MIDI-ready file.
  static HelperChannels FreeChannelsOf(const StyleVoiceUse& use);
  // The same, given the channels in use (bit n: channel n, counted from 0).
  static HelperChannels FreeChannelsOf(uint16_t channelsInUse);
};

struct VoiceMapSettings {
  bool soundFontHasKeyboardBanks = false;  // "This SoundFont has the keyboards' voice banks"
  NoiseNotes noise = NoiseNotes::PlayAsEffects;
  BankConvention convention = BankConvention::FluidXg;
  HelperChannels helpers = HelperChannels::BuiltInSynth();
};

enum class How : uint8_t {
  OwnBank,           // "the SoundFont's own bank"
  MegaVoiceTable,    // "MegaVoice table"
  GuessedFromPart,   // "guessed from the part and range"
  PanelVoiceBank0,   // "panel voice: bank 0"
  DrumKit,           // "drum kit"
  NearestKit,        // "nearest kit"
  StandardKit,       // "Standard kit"
  EffectKit,         // "effect kit"
  Bank0SameProgram,  // "bank 0, same program"
};
const char* HowText(How how);

// Where a key of a drum channel goes.
struct KeyTarget {
  enum class Kind : uint8_t { Same, Key, Effect, Silent } kind = Kind::Same;
  uint8_t key = 0;             // Key: the key played instead
  uint8_t velocityPercent = 100;
  uint8_t program = 0;         // Effect: the melodic program, played at kEffectPitch on a helper
};

// One resolved voice. Plain data: the names point into static tables or into
// the VoiceMap's catalog, and stay valid as long as the map does.
struct VoiceResolution {
  VoiceRequest requested;
  const char* requestedName = "";  // the voice's name where known ("finger bass")
  Family family = Family::None;
  bool drums = false;
  uint16_t bank = 0;               // resolved SoundFont bank (128: drum kits)
  uint8_t program = 0;             // resolved program
  const char* presetName = "";     // "" when the SoundFont has no such preset
  How how = How::Bank0SameProgram;
  const ArticulationMap* articulations = nullptr;  // MSB 8 voices
  std::array<KeyTarget, 128> keys{};  // drums: where each key goes (all Same for melodic voices)

  int MovedKeyCount() const;
  // Played by another voice than the one asked for: a table's or a guessed
  // stand-in, a panel voice's bank 0, another kit, the effect kit's stand-ins.
  // A General MIDI voice (MSB 0, LSB 0) or kit found as such is no stand-in.
  bool IsStandIn() const;
};

// One line for a tool tip or a listing: "8/0/17 finger bass -> bank 0,
// program 33 "Fingered Bass" (MegaVoice table)".
std::string DescribeVoice(const VoiceResolution& r);

class VoiceMap {
 public:
  VoiceMap(const StyleVoiceUse& use, std::shared_ptr<const SoundFontCatalog> catalog,
           const VoiceMapSettings& settings);

  // The resolution of a voice on a channel (0..15). Allocation-free.
  void Resolve(int channel, int msb, int lsb, int program, VoiceResolution& out) const;
  VoiceResolution Resolve(int channel, int msb, int lsb, int program) const {
    VoiceResolution r;
    Resolve(channel, msb, lsb, program, r);
    return r;
  }

  const VoiceMapSettings& Settings() const { return settings_; }
  const StyleVoiceUse& Use() const { return use_; }
  const SoundFontCatalog& Catalog() const { return *catalog_; }

 private:
  struct ChannelFacts {
    int part = -1;
    int medianNote = 60;
  };
  void ResolveMelodic(const ChannelFacts& facts, VoiceResolution& r) const;
  void ResolveDrums(VoiceResolution& r) const;
  void FillKeyMoves(const SoundFontPreset* kit, bool effectKit, int effectKitProgram, VoiceResolution& r) const;
  const char* PresetName(int bank, int program) const;

  StyleVoiceUse use_;
  std::shared_ptr<const SoundFontCatalog> catalog_;
  VoiceMapSettings settings_;
  std::array<ChannelFacts, 16> facts_{};
};

// Every voice the style plays, resolved: one line per channel and voice.
struct ResolvedVoice {
  int channel = 0;  // 0..15
  int part = -1;
  VoiceResolution resolution;
};
std::vector<ResolvedVoice> ResolveStyleVoices(const VoiceMap& map);
// How many different voices of the list are played by stand-ins (for "3
// voices of this style are played by stand-ins on this SoundFont").
int StandInCount(const std::vector<ResolvedVoice>& voices);

// The name of a destination part ("Bass", "Chord 1", ...; "" for none).
const char* PartName(int part);

}  // namespace vambrio::voices
