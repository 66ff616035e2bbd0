#include "voices/voice_use.h"

#include <algorithm>

#include "chord/chord_rules.h"
#include "midi/midi_bytes.h"
#include "midi/track_walk.h"
#include "model/style_model.h"

namespace vambrio::voices {
namespace {

constexpr int kDrumSetupChannels[] = {9, 8};  // the player's own drum setup: bank 127/0, program 0

struct ChannelWalk {
  VoiceRequest inForce;
  std::array<uint32_t, 128> notes{};
  ChannelVoiceUse use;
};

void OnChannelMessage(std::array<ChannelWalk, 16>& walk, uint8_t status, const uint8_t* data) {
  ChannelWalk& c = walk[status & 0x0F];
  const uint8_t d0 = std::min<uint8_t>(data[0], 0x7F), d1 = std::min<uint8_t>(data[1], 0x7F);
  switch (status >> 4) {
    case 0xB:
      if (d0 == 0) c.inForce.msb = d1;
      if (d0 == 32) c.inForce.lsb = d1;
      break;
    case 0xC: c.inForce.program = d0; break;
    case 0x9:
      if (d1 == 0) break;
      ++c.notes[d0];
      if (std::find(c.use.requests.begin(), c.use.requests.end(), c.inForce) == c.use.requests.end())
        c.use.requests.push_back(c.inForce);
      break;
    default: break;
  }
}

// Walks the track's channel messages in file order (as every reader of the
// style walks it); calls setupDone once, before the first event at or after
// the first section's start.
template <class SetupDone>
void WalkStyleTrack(const StyleModel& m, std::array<ChannelWalk, 16>& walk, SetupDone setupDone) {
  const auto& d = m.StyleData;
  const size_t end = midi::StyleTrackEnd(d.data(), d.size());
  const size_t firstSection = SectionCount(m) > 0 ? static_cast<size_t>(std::max(0, m.SectionStart[0])) : end;
  bool setup = true;
  midi::WalkTrack(d.data(), midi::kStyleTrackStart, end, [&](const midi::TrackEvent& e) {
    if (setup && e.start >= firstSection) {
      setup = false;
      setupDone();
    }
    if (!midi::IsChannelStatus(e.status)) return;
    // Program changes in the setup count; notes there do not play.
    if (setup && (e.status >> 4) == 0x9) return;
    const uint8_t data[2] = {d[e.first], e.size > 1 ? d[e.first + 1] : uint8_t{0}};
    OnChannelMessage(walk, e.status, data);
  });
  if (setup) setupDone();
}

int PartOf(const ChordRules& rules, int channel) {
  for (const RuleGroup& g : rules.groups)
    for (const ChannelRule& r : g.channels)
      if (r.sourceChannel == channel && r.part != kNoPart) return r.part;
  return DefaultChannelRule(channel).part;
}

void Summarise(ChannelWalk& c) {
  uint32_t total = 0;
  for (uint32_t n : c.notes) total += n;
  c.use.noteCount = total;
  uint32_t seen = 0;
  bool medianSet = false;
  for (int k = 0; k < 128; ++k) {
    if (c.notes[static_cast<size_t>(k)] == 0) continue;
    c.use.notesPlayed.set(static_cast<size_t>(k));
    c.use.lowNote = std::min<uint8_t>(c.use.lowNote, static_cast<uint8_t>(k));
    c.use.highNote = static_cast<uint8_t>(k);
    seen += c.notes[static_cast<size_t>(k)];
    if (!medianSet && seen * 2 >= total) {
      c.use.medianNote = static_cast<uint8_t>(k);
      medianSet = true;
    }
  }
}

}  // namespace

const ChannelVoiceUse* StyleVoiceUse::Find(int channel) const {
  for (const auto& c : channels)
    if (c.channel == channel) return &c;
  return nullptr;
}

uint16_t StyleVoiceUse::PlayingChannels() const {
  uint16_t bits = 0;
  for (const auto& c : channels) bits = static_cast<uint16_t>(bits | 1u << c.channel);
  return bits;
}

StyleVoiceUse GatherVoiceUse(const StyleModel& m) {
  std::array<ChannelWalk, 16> walk{};
  WalkStyleTrack(m, walk, [&] {
    for (int ch : kDrumSetupChannels) walk[static_cast<size_t>(ch)].inForce = {127, 0, 0};
  });
  const ChordRules rules = ReadChordRules(m);
  StyleVoiceUse use;
  for (int ch = 0; ch < 16; ++ch) {
    ChannelWalk& c = walk[static_cast<size_t>(ch)];
    Summarise(c);
    if (c.use.noteCount == 0) continue;
    c.use.channel = static_cast<uint8_t>(ch);
    c.use.part = PartOf(rules, ch);
    use.channels.push_back(std::move(c.use));
  }
  return use;
}

}  // namespace vambrio::voices
