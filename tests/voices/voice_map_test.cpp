#include <gtest/gtest.h>

#include <cstring>

#include "chord/channel_rule.h"
#include "voices_test_support.h"

namespace vambrio::voices {
namespace {

using fixtures::AllCatalogs;
using fixtures::TinyCatalog;
using fixtures::UseOf;

constexpr int kBassChannel = 10, kChordChannel = 11, kDrumChannel = 9;

// Channel 11 (0-based 10) a bass, 12 a chord part, 10 drums.
StyleVoiceUse StyleUse() {
  return UseOf({{kBassChannel, kBassPart, 36}, {kChordChannel, kChord1Part, 64}, {kDrumChannel, kRhythmMain, 40}});
}

struct Case {
  int channel, msb, lsb, program;
  int bank, resolvedProgram;
  How how;
  const char* requestedName;  // nullptr: not checked
  bool articulated;
  bool standIn = true;
};

TEST(VoiceMap, ResolutionOrderOnEverySoundFont) {
  const Case cases[] = {
      // Bank MSB 8: the table, LSB variants and the later models' articulation LSBs alike.
      {kBassChannel, 8, 0, 17, 0, 33, How::MegaVoiceTable, "finger bass", true},
      {kChordChannel, 8, 0, 3, 0, 27, How::MegaVoiceTable, "clean guitar", true},
      {kChordChannel, 8, 9, 3, 0, 27, How::MegaVoiceTable, "electric guitar", true},
      {kBassChannel, 8, 5, 17, 0, 33, How::MegaVoiceTable, "finger bass", true},
      {kChordChannel, 8, 32, 0, 0, 24, How::MegaVoiceTable, "nylon guitar", true},
      {kChordChannel, 8, 0, 82, 0, 66, How::MegaVoiceTable, "tenor sax", true},
      // Unlisted MSB 8 programs: by the part and range.
      {kBassChannel, 8, 0, 100, 0, 33, How::GuessedFromPart, nullptr, true},
      {kChordChannel, 8, 0, 100, 0, 27, How::GuessedFromPart, nullptr, true},
      // Panel voices and anything else: bank 0, same program.
      {kChordChannel, 0, 113, 0, 0, 0, How::PanelVoiceBank0, "", false},
      {kChordChannel, 104, 0, 5, 0, 5, How::PanelVoiceBank0, "", false},
      {kChordChannel, 108, 2, 40, 0, 40, How::PanelVoiceBank0, "", false},
      {kChordChannel, 121, 1, 27, 0, 27, How::PanelVoiceBank0, "", false},
      {kChordChannel, 0, 0, 50, 0, 50, How::Bank0SameProgram, "Synth Strings 1", false, false},
      {kChordChannel, 3, 0, 50, 0, 50, How::Bank0SameProgram, "", false},
      // Drum kits on any channel.
      {kDrumChannel, 127, 0, 0, 128, 0, How::DrumKit, "Standard", false, false},
      {kChordChannel, 120, 0, 0, 128, 0, How::DrumKit, "Standard", false, false},
      {kDrumChannel, 127, 0, 100, 128, 0, How::StandardKit, "", false},
      {kDrumChannel, 126, 0, 0, 128, 0, How::EffectKit, "effect kit", false},
  };
  for (const auto& [name, catalog] : AllCatalogs()) {
    const VoiceMap map(StyleUse(), catalog, {});
    for (const Case& c : cases) {
      SCOPED_TRACE(name + ": " + std::to_string(c.msb) + "/" + std::to_string(c.lsb) + "/" + std::to_string(c.program));
      const VoiceResolution r = map.Resolve(c.channel, c.msb, c.lsb, c.program);
      EXPECT_EQ(r.bank, c.bank);
      EXPECT_EQ(r.program, c.resolvedProgram);
      EXPECT_EQ(r.how, c.how) << HowText(r.how);
      if (c.requestedName) {
        EXPECT_STREQ(r.requestedName, c.requestedName);
      }
      EXPECT_EQ(r.articulations != nullptr, c.articulated);
      EXPECT_EQ(r.requested.msb, c.msb);
      EXPECT_EQ(r.IsStandIn(), c.standIn);
      const SoundFontPreset* preset = catalog->Find(r.bank, r.program);
      EXPECT_STREQ(r.presetName, preset ? preset->name.c_str() : "");
    }
  }
}

TEST(VoiceMap, StandInsCountedOncePerVoiceAndDescribed) {
  const VoiceMap map(StyleUse(), TinyCatalog(false), {});
  std::vector<ResolvedVoice> voices;
  for (auto [channel, msb, program] : {std::tuple{kBassChannel, 8, 17}, {kChordChannel, 8, 17}, {kChordChannel, 0, 27},
                                       {kDrumChannel, 127, 0}, {kDrumChannel, 127, 26}})
    voices.push_back({channel, -1, map.Resolve(channel, msb, 0, program)});
  EXPECT_EQ(StandInCount(voices), 2);  // the bass on two channels, and the kit for 26
  EXPECT_EQ(DescribeVoice(voices[0].resolution),
            "8/0/17 finger bass -> bank 0, program 33 \"Finger Bass\" (MegaVoice table)");
  EXPECT_EQ(DescribeVoice(voices[4].resolution), "127/0/26 [drums] -> bank 128, program 0 \"Standard\" (Standard kit)");
}

TEST(VoiceMap, KitsTheSoundFontLacksFallToTheNearestThenToStandard) {
  const auto tiny = TinyCatalog(false);  // only a Standard kit
  const VoiceMap small(StyleUse(), tiny, {});
  EXPECT_EQ(small.Resolve(kDrumChannel, 127, 0, 25).how, How::StandardKit);
  EXPECT_EQ(small.Resolve(kDrumChannel, 127, 0, 25).program, 0);
  const auto gm = std::make_shared<SoundFontCatalog>(GeneralMidiCatalog());
  const VoiceMap full(StyleUse(), gm, {});
  struct {
    int asked, kit;
    How how;
  } const kits[] = {{25, 25, How::DrumKit},   {27, 25, How::NearestKit}, {57, 25, How::NearestKit},
                    {17, 16, How::NearestKit}, {88, 0, How::NearestKit},  {120, 0, How::StandardKit}};
  for (const auto& k : kits) {
    const VoiceResolution r = full.Resolve(kDrumChannel, 127, 0, k.asked);
    EXPECT_EQ(r.program, k.kit) << k.asked;
    EXPECT_EQ(r.how, k.how) << k.asked << ": " << HowText(r.how);
  }
}

TEST(VoiceMap, DrumKeysTheKitLacksMoveAndEffectKeysStandInOrFallSilent) {
  for (const auto& [name, catalog] : AllCatalogs()) {
    SCOPED_TRACE(name);
    const VoiceMap map(StyleUse(), catalog, {});
    const VoiceResolution kit = map.Resolve(kDrumChannel, 127, 0, 0);
    using K = KeyTarget::Kind;
    EXPECT_EQ(kit.keys[13].kind, K::Key);
    EXPECT_EQ(kit.keys[13].key, 86);
    EXPECT_EQ(kit.keys[19].key, 39);
    EXPECT_EQ(kit.keys[25].key, 38);
    EXPECT_LT(kit.keys[25].velocityPercent, 100);  // a soft brush
    EXPECT_EQ(kit.keys[36].kind, K::Same);          // General MIDI's own keys stay
    EXPECT_EQ(kit.keys[27].kind, K::Same);          // the kit has it
    EXPECT_GE(kit.MovedKeyCount(), 14);
    const VoiceResolution fx = map.Resolve(kDrumChannel, 126, 0, 1);
    EXPECT_EQ(fx.keys[86].kind, K::Effect);
    EXPECT_EQ(fx.keys[86].program, 127);  // an explosion: the gunshot
    EXPECT_EQ(fx.keys[39].kind, K::Key);
    EXPECT_EQ(fx.keys[39].key, 29);
    EXPECT_EQ(fx.keys[50].kind, K::Silent);
  }
  // A kit with samples on every key moves none.
  const auto full = std::make_shared<SoundFontCatalog>(
      std::vector<SoundFontPreset>{{128, 0, "Full", std::bitset<128>().set()}});
  EXPECT_EQ(VoiceMap(StyleUse(), full, {}).Resolve(kDrumChannel, 127, 0, 0).MovedKeyCount(), 0);
}

TEST(VoiceMap, KeyboardBanksOnlyWhenTheUserSaysSo) {
  VoiceMapSettings own;
  own.soundFontHasKeyboardBanks = true;
  const VoiceMap withBanks(StyleUse(), TinyCatalog(true), own);
  const VoiceResolution r = withBanks.Resolve(kBassChannel, 8, 0, 17);
  EXPECT_EQ(r.how, How::OwnBank);
  EXPECT_EQ(r.bank, 8);
  EXPECT_EQ(r.program, 17);
  EXPECT_EQ(r.articulations, nullptr);  // the SoundFont plays its own articulations
  // Off (the default), FluidR3_GM's GS variation in bank 8 is not taken for the bass.
  const VoiceMap plain(StyleUse(), TinyCatalog(true), {});
  EXPECT_EQ(plain.Resolve(kBassChannel, 8, 0, 17).how, How::MegaVoiceTable);
  // On, but the SoundFont lacks the bank: the table as before.
  const VoiceMap without(StyleUse(), TinyCatalog(false), own);
  EXPECT_EQ(without.Resolve(kBassChannel, 8, 0, 17).how, How::MegaVoiceTable);
}

TEST(VoiceTable, BandsCoverEveryVelocityOnceAndProgramsAreGeneralMidi) {
  for (const MegaVoice& v : MegaVoices()) {
    ASSERT_NE(v.articulations, nullptr) << v.name;
    int next = 1;
    for (const ArticulationBand& b : v.articulations->bands) {
      EXPECT_EQ(b.low, next) << v.name;
      EXPECT_GE(b.high, b.low) << v.name;
      EXPECT_TRUE(b.program == kOwnProgram || (b.program >= 0 && b.program < 128)) << v.name;
      next = b.high + 1;
    }
    EXPECT_EQ(next, 128) << v.name;
    EXPECT_STRNE(ArticulationName(v.articulations->bands[0].articulation), "");
  }
  EXPECT_EQ(FindMegaVoice(0, 17)->gmProgram, 33);
  EXPECT_EQ(FindMegaVoice(1, 2)->articulations->bands.size(), 3u);  // 12-string: soft, med, hard
  EXPECT_EQ(FindMegaVoice(0, 99), nullptr);
  for (int key = 13; key <= 34; ++key) EXPECT_NE(FindDrumKeyMove(key), nullptr) << key;
  EXPECT_EQ(FindDrumKeyMove(35), nullptr);
}

TEST(VoiceMap, HelperChannelPools) {
  const HelperChannels built = HelperChannels::BuiltInSynth();
  EXPECT_EQ(built.count, 16);
  EXPECT_EQ(built.channels[0], 16);
  EXPECT_EQ(built.channels[15], 31);
  // Channels 2..8 (1..7 from 0) the style leaves free.
  const HelperChannels free = HelperChannels::FreeChannelsOf(UseOf({{1, -1, 60}, {4, -1, 60}, {9, 9, 40}}));
  EXPECT_EQ(std::vector<int>(free.channels.begin(), free.channels.begin() + free.count),
            (std::vector<int>{2, 3, 5, 6, 7}));
}

}  // namespace
}  // namespace vambrio::voices
