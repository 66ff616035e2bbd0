#include "platform/files/voice_choices.h"

#include <map>
#include <mutex>
#include <set>
#include <tuple>

namespace vambrio::platform {
namespace {

constexpr int kFirstPart = 8;  // the destination part of "Rhythm Sub"

voices::VoiceMapSettings SettingsOf(const VoiceChoices& choices) {
  voices::VoiceMapSettings s;
  s.soundFontHasKeyboardBanks = choices.soundFontHasKeyboardBanks;
  s.noise = choices.noise;
  return s;
}

// A voice plays as it was asked for when the SoundFont's own bank has it, a
// General MIDI voice (bank 0, LSB 0) keeps its program, or a kit plays itself.
bool PlaysAsAsked(const voices::VoiceResolution& r) {
  switch (r.how) {
    case voices::How::OwnBank:
    case voices::How::DrumKit:
      return true;
    case voices::How::Bank0SameProgram:
      return r.requested.msb == 0 && r.requested.lsb == 0;
    default:
      return false;
  }
}

std::string RequestText(const voices::VoiceResolution& r) {
  std::string name = r.requestedName && *r.requestedName ? std::string(r.requestedName) + " " : std::string();
  return name + "(MSB " + std::to_string(r.requested.msb) + ", LSB " + std::to_string(r.requested.lsb) +
         ", program " + std::to_string(r.requested.program) + ")";
}

std::string ResolvedText(const voices::VoiceResolution& r) {
  std::string preset = r.presetName && *r.presetName ? "\"" + std::string(r.presetName) + "\" " : std::string();
  return preset + "(bank " + std::to_string(r.bank) + ", program " + std::to_string(r.program) + "), " +
         voices::HowText(r.how);
}

}  // namespace

std::shared_ptr<const voices::SoundFontCatalog> SoundFontCatalogOf(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const voices::SoundFontCatalog>> kept;
  std::lock_guard<std::mutex> lock(mutex);
  auto& catalog = kept[path];
  if (!catalog) {
    voices::CatalogResult read = path.empty() ? voices::CatalogResult{} : voices::ReadSoundFontCatalog(path);
    catalog = std::make_shared<const voices::SoundFontCatalog>(read.catalog ? std::move(*read.catalog)
                                                                            : voices::GeneralMidiCatalog());
  }
  return catalog;
}

std::shared_ptr<const voices::VoiceMap> MapForSynth(const voices::StyleVoiceUse& use, const std::string& soundFont,
                                                    const VoiceChoices& choices) {
  if (choices.asWritten) return nullptr;
  return std::make_shared<const voices::VoiceMap>(use, SoundFontCatalogOf(soundFont), SettingsOf(choices));
}

std::shared_ptr<const voices::VoiceMap> MapForPort(const voices::StyleVoiceUse& use, const VoiceChoices& choices) {
  if (!choices.generalMidiPort) return nullptr;
  voices::VoiceMapSettings s = SettingsOf(choices);
  s.soundFontHasKeyboardBanks = false;  // about the SoundFont, not the port's synthesizer
  s.convention = voices::BankConvention::GeneralMidi;
  s.helpers = voices::HelperChannels::FreeChannelsOf(use);
  static const auto gm = std::make_shared<const voices::SoundFontCatalog>(voices::GeneralMidiCatalog());
  return std::make_shared<const voices::VoiceMap>(use, gm, s);
}

int StandInCount(const voices::VoiceMap& map) {
  std::set<std::tuple<int, int, int>> standIns;
  for (const voices::ResolvedVoice& v : voices::ResolveStyleVoices(map)) {
    const auto& q = v.resolution.requested;
    if (!PlaysAsAsked(v.resolution)) standIns.insert({q.msb, q.lsb, q.program});
  }
  return static_cast<int>(standIns.size());
}

std::string StandInText(const voices::VoiceMap& map) {
  const int n = StandInCount(map);
  if (n == 0) return {};
  if (n == 1) return "1 voice of this style is played by a stand-in on this SoundFont";
  return std::to_string(n) + " voices of this style are played by stand-ins on this SoundFont";
}

std::string PartVoiceText(const voices::VoiceMap* map, const voices::StyleVoiceUse& use, int part) {
  std::string text;
  for (const voices::ChannelVoiceUse& c : use.channels) {
    if (c.part != kFirstPart + part) continue;
    for (const voices::VoiceRequest& q : c.requests) {
      voices::VoiceResolution r;
      r.requested = q;
      if (map) map->Resolve(c.channel, q.msb, q.lsb, q.program, r);
      if (!text.empty()) text += "\n";
      text += "Channel " + std::to_string(c.channel + 1) + " asks for " + RequestText(r) + "; ";
      text += map ? "played by " + ResolvedText(r) : std::string("played as written");
    }
  }
  return text;
}

}  // namespace vambrio::platform

namespace vambrio::platform {

bool KeptVoiceMap::Same(const std::shared_ptr<const voices::StyleVoiceUse>& use, const std::string& soundFont,
                        const VoiceChoices& choices, bool port) const {
  return made_ && use == use_ && soundFont == soundFont_ && choices == choices_ && port == port_;
}

std::shared_ptr<const voices::VoiceMap> KeptVoiceMap::ForSynth(const std::shared_ptr<const voices::StyleVoiceUse>& use,
                                                               const std::string& soundFont,
                                                               const VoiceChoices& choices) {
  if (!use) return nullptr;
  if (!Same(use, soundFont, choices, false)) {
    map_ = MapForSynth(*use, soundFont, choices);
    made_ = true, use_ = use, soundFont_ = soundFont, choices_ = choices, port_ = false;
  }
  return map_;
}

std::shared_ptr<const voices::VoiceMap> KeptVoiceMap::ForPort(const std::shared_ptr<const voices::StyleVoiceUse>& use,
                                                              const VoiceChoices& choices) {
  if (!use) return nullptr;
  if (!Same(use, {}, choices, true)) {
    map_ = MapForPort(*use, choices);
    made_ = true, use_ = use, soundFont_.clear(), choices_ = choices, port_ = true;
  }
  return map_;
}

}  // namespace vambrio::platform
