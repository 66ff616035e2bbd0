#include "voices/voice_map.h"

#include <algorithm>

#include "chord/channel_rule.h"
#include "midi/gm_programs.h"

namespace vambrio::voices {
namespace {

constexpr int kMegaVoiceMsb = 8;
constexpr int kPanelMsbs[] = {104, 108, 121};
constexpr int kDrumKitMsbs[] = {127, 120};
constexpr int kEffectKitMsb = 126;
constexpr int kFirstHelperChannel = 16;
constexpr int kFreeChannelFirst = 1, kFreeChannelLast = 7;  // channels 2..8 counted from 1

bool IsPanelVoice(int msb, int lsb) {
  return (msb == 0 && lsb > 0) || std::find(std::begin(kPanelMsbs), std::end(kPanelMsbs), msb) != std::end(kPanelMsbs);
}

bool IsDrumKit(int msb) {
  return std::find(std::begin(kDrumKitMsbs), std::end(kDrumKitMsbs), msb) != std::end(kDrumKitMsbs) ||
         msb == kEffectKitMsb;
}

constexpr const char* kHowTexts[] = {
    "the SoundFont's own bank", "MegaVoice table", "guessed from the part and range", "panel voice: bank 0",
    "drum kit", "nearest kit", "Standard kit", "effect kit", "bank 0, same program",
};

}  // namespace

const char* HowText(How how) {
  const auto i = static_cast<size_t>(how);
  return i < std::size(kHowTexts) ? kHowTexts[i] : "";
}

const char* PartName(int part) {
  const int i = part - 8;
  return i >= 0 && i < static_cast<int>(kPartNames.size()) ? kPartNames[static_cast<size_t>(i)] : "";
}

HelperChannels HelperChannels::BuiltInSynth() {
  HelperChannels h;
  for (int i = 0; i < kMaxHelperChannels; ++i) h.channels[static_cast<size_t>(i)] = static_cast<uint8_t>(kFirstHelperChannel + i);
  h.count = kMaxHelperChannels;
  return h;
}

HelperChannels HelperChannels::FreeChannelsOf(const StyleVoiceUse& use) { return FreeChannelsOf(use.PlayingChannels()); }

HelperChannels HelperChannels::FreeChannelsOf(uint16_t playing) {
  HelperChannels h;
  for (int ch = kFreeChannelFirst; ch <= kFreeChannelLast; ++ch)
    if ((playing & (1u << ch)) == 0) h.channels[h.count++] = static_cast<uint8_t>(ch);
  return h;
}

int VoiceResolution::MovedKeyCount() const {
  return static_cast<int>(std::count_if(keys.begin(), keys.end(), [](const KeyTarget& k) { return k.kind != KeyTarget::Kind::Same; }));
}

bool VoiceResolution::IsStandIn() const {
  switch (how) {
    case How::OwnBank: return false;
    case How::DrumKit: return requested.program != program;
    case How::Bank0SameProgram: return requested.msb != 0 || requested.lsb != 0;
    default: return true;
  }
}

std::string DescribeVoice(const VoiceResolution& r) {
  std::string text = std::to_string(r.requested.msb) + "/" + std::to_string(r.requested.lsb) + "/" +
                     std::to_string(r.requested.program);
  if (*r.requestedName) text += std::string(" ") + r.requestedName;
  const char* family = r.drums ? "drums" : FamilyName(r.family);
  if (*family && std::string(r.requestedName).find(family) == std::string::npos) text += std::string(" [") + family + "]";
  return text + " -> bank " + std::to_string(r.bank) + ", program " + std::to_string(r.program) + " \"" + r.presetName +
         "\" (" + HowText(r.how) + ")";
}

int StandInCount(const std::vector<ResolvedVoice>& voices) {
  std::vector<VoiceRequest> seen;
  for (const ResolvedVoice& v : voices)
    if (v.resolution.IsStandIn() && std::find(seen.begin(), seen.end(), v.resolution.requested) == seen.end())
      seen.push_back(v.resolution.requested);
  return static_cast<int>(seen.size());
}

VoiceMap::VoiceMap(const StyleVoiceUse& use, std::shared_ptr<const SoundFontCatalog> catalog,
                   const VoiceMapSettings& settings)
    : use_(use), catalog_(catalog ? std::move(catalog) : std::make_shared<SoundFontCatalog>()), settings_(settings) {
  for (const auto& c : use_.channels) facts_[c.channel] = {c.part, c.medianNote};
}

const char* VoiceMap::PresetName(int bank, int program) const {
  const SoundFontPreset* p = catalog_->Find(bank, program);
  return p ? p->name.c_str() : "";
}

void VoiceMap::Resolve(int channel, int msb, int lsb, int program, VoiceResolution& r) const {
  r = VoiceResolution{};
  r.requested = {static_cast<uint8_t>(msb & 0x7F), static_cast<uint8_t>(lsb & 0x7F), static_cast<uint8_t>(program & 0x7F)};
  if (settings_.soundFontHasKeyboardBanks && settings_.convention == BankConvention::FluidXg) {
    const int bank = msb != 0 && !IsDrumKit(msb) ? msb : lsb;
    if (!IsDrumKit(msb) && catalog_->Has(bank, program) && bank != 0) {
      r.bank = static_cast<uint16_t>(bank);
      r.program = r.requested.program;
      r.presetName = PresetName(bank, program);
      r.how = How::OwnBank;
      if (const MegaVoice* v = msb == kMegaVoiceMsb ? FindMegaVoice(lsb, program) : nullptr) {
        r.requestedName = v->name;
        r.family = v->family;
      }
      return;
    }
  }
  if (IsDrumKit(r.requested.msb)) {
    ResolveDrums(r);
    return;
  }
  ResolveMelodic(facts_[static_cast<size_t>(channel & 0x0F)], r);
}

void VoiceMap::ResolveMelodic(const ChannelFacts& facts, VoiceResolution& r) const {
  const VoiceRequest q = r.requested;
  r.program = q.program;
  r.how = How::Bank0SameProgram;
  if (q.msb == kMegaVoiceMsb) {
    const MegaVoice* v = FindMegaVoice(q.lsb, q.program);
    r.how = How::MegaVoiceTable;
    if (!v) {
      v = &GuessedMegaVoice(facts.part, facts.medianNote);
      r.how = How::GuessedFromPart;
    } else {
      r.requestedName = v->name;
    }
    r.family = v->family;
    r.program = v->gmProgram;
    r.articulations = v->articulations;
  } else if (IsPanelVoice(q.msb, q.lsb)) {
    r.how = How::PanelVoiceBank0;
  } else if (q.msb == 0) {
    r.requestedName = midi::GmProgramName(q.program);
  }
  r.presetName = PresetName(0, r.program);
}

void VoiceMap::ResolveDrums(VoiceResolution& r) const {
  const VoiceRequest q = r.requested;
  r.drums = true;
  r.bank = kDrumBank;
  const bool effectKit = q.msb == kEffectKitMsb;
  int kit = kStandardKit;
  r.how = How::StandardKit;
  if (effectKit) {
    r.how = How::EffectKit;
  } else if (IsSharedKitProgram(q.program) && catalog_->Has(kDrumBank, q.program)) {
    kit = q.program;
    r.how = How::DrumKit;
  } else if (const int near = NearestKitProgram(q.program); near >= 0 && near != q.program && catalog_->Has(kDrumBank, near)) {
    kit = near;
    r.how = How::NearestKit;
  }
  if (!catalog_->Has(kDrumBank, kit)) {
    for (const SoundFontPreset& p : catalog_->Presets())
      if (p.bank == kDrumBank) {
        kit = p.program;
        break;
      }
  }
  r.program = static_cast<uint8_t>(kit);
  r.requestedName = effectKit ? "effect kit" : KitName(q.program);
  const SoundFontPreset* preset = catalog_->Find(kDrumBank, kit);
  r.presetName = preset ? preset->name.c_str() : "";
  FillKeyMoves(preset, effectKit, q.program, r);
}

void VoiceMap::FillKeyMoves(const SoundFontPreset* kit, bool effectKit, int effectKitProgram, VoiceResolution& r) const {
  for (int key = 0; key < 128; ++key) {
    KeyTarget& t = r.keys[static_cast<size_t>(key)];
    if (effectKit) {
      const EffectKey* e = FindEffectKey(effectKitProgram, key);
      if (!e) {
        t.kind = KeyTarget::Kind::Silent;
      } else if (e->drumKey >= 0) {
        t = {KeyTarget::Kind::Key, static_cast<uint8_t>(e->drumKey), 100, 0};
      } else {
        t = {KeyTarget::Kind::Effect, kEffectPitch, kEffectVelocityPercent, static_cast<uint8_t>(e->gmProgram)};
      }
      continue;
    }
    if (kit && kit->keys.test(static_cast<size_t>(key))) continue;
    if (const DrumKeyMove* m = FindDrumKeyMove(key)) t = {KeyTarget::Kind::Key, m->to, m->velocityPercent, 0};
  }
}

std::vector<ResolvedVoice> ResolveStyleVoices(const VoiceMap& map) {
  std::vector<ResolvedVoice> out;
  for (const ChannelVoiceUse& c : map.Use().channels) {
    for (const VoiceRequest& q : c.requests) {
      ResolvedVoice v;
      v.channel = c.channel;
      v.part = c.part;
      map.Resolve(c.channel, q.msb, q.lsb, q.program, v.resolution);
      out.push_back(v);
    }
  }
  return out;
}

}  // namespace vambrio::voices
