#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>

#include "chord/channel_rule.h"
#include "loading/scan.h"
#include "midi/midi_file_events.h"
#include "smf_check.h"
#include "bank_eight_style.h"
#include "voices/mapped_midi_file.h"
#include "voices/voice_mapper.h"
#include "voices_test_support.h"

namespace vambrio::voices {
namespace {

using test::BandNote;
using test::kBandNotes;
using test::BankEightStyle;
constexpr int kDrums = test::kBankEightDrums, kBass = test::kBankEightBass, kGuitar = test::kBankEightGuitar;
constexpr int kOwnBass = 33, kSlapBass = 36, kCleanGuitar = 27, kMutedGuitar = 28, kHarmonics = 31, kFretNoise = 120;

StyleModel Loaded(const test::Bytes& bytes) {
  StyleModel m = MakeStartupModel();
  m.StyleData = bytes;
  SilentErrorSink errors;
  EXPECT_TRUE(ScanStyle(m, false, errors));
  return m;
}

// What a synthesizer with 32 channels would hold after the mapped messages.
struct FakeSynth {
  struct Played {
    int channel, program, key, velocity;
  };
  std::array<int, 32> program{};
  std::array<std::array<int, 128>, 32> cc{};
  std::array<int, 32> bend{};
  std::set<std::pair<int, int>> sounding;
  std::vector<Played> played;

  void Take(const MappedMessage* out, int n) {
    for (int i = 0; i < n; ++i) Take(out[i]);
  }
  void Take(const MappedMessage& m) {
    const int ch = m.channel, kind = m.bytes[0] >> 4;
    EXPECT_EQ(m.bytes[0] & 0x0F, ch & 0x0F);
    if (kind == 0x9 && m.bytes[2] > 0) {
      sounding.insert({ch, m.bytes[1]});
      played.push_back({ch, program[ch], m.bytes[1], m.bytes[2]});
    } else if (kind == 0x8 || kind == 0x9) {
      sounding.erase({ch, m.bytes[1]});
    } else if (kind == 0xB) {
      cc[ch][m.bytes[1]] = m.bytes[2];
      if (m.bytes[1] == 123 || m.bytes[1] == 120)
        std::erase_if(sounding, [&](const auto& s) { return s.first == ch; });
    } else if (kind == 0xC) {
      program[ch] = m.bytes[1];
    } else if (kind == 0xE) {
      bend[ch] = m.bytes[2] << 7 | m.bytes[1];
    }
  }
};

class MapperTest : public ::testing::Test {
 protected:
  explicit MapperTest(const VoiceMapSettings& settings = {})
      : style(Loaded(BankEightStyle())), map(GatherVoiceUse(style), fixtures::TinyCatalog(true), settings), mapper(map) {}

  void Send(std::initializer_list<uint8_t> msg) {
    const std::vector<uint8_t> bytes(msg);
    MappedMessage out[VoiceMapper::kMaxOut];
    const int n = mapper.Map(bytes.data(), static_cast<uint32_t>(bytes.size()), out);
    ASSERT_GE(n, 0);
    ASSERT_LE(n, VoiceMapper::kMaxOut);
    synth.Take(out, n);
  }
  // The style's own events, setup and section, as an engine sends them.
  void PlayStyle() {
    const auto events = midi::ReadMidiFileEvents(style.StyleData);
    ASSERT_TRUE(events);
    for (const auto& e : events->events) {
      if (events->Bytes(e)[0] >= 0xF0) continue;
      MappedMessage out[VoiceMapper::kMaxOut];
      synth.Take(out, mapper.Map(events->Bytes(e), e.size, out));
    }
  }
  StyleModel style;
  VoiceMap map;
  VoiceMapper mapper;
  FakeSynth synth;
};

TEST_F(MapperTest, EachBandPlaysItsProgramWithTheVelocityRescaled) {
  PlayStyle();
  EXPECT_EQ(synth.program[kBass], kOwnBass);
  EXPECT_EQ(synth.program[kGuitar], kCleanGuitar);
  EXPECT_EQ(synth.cc[kBass][0], 0);
  EXPECT_EQ(synth.cc[kBass][32], 0);
  ASSERT_GE(synth.played.size(), std::size(kBandNotes));
  for (size_t i = 0; i < std::size(kBandNotes); ++i) {
    const BandNote& n = kBandNotes[i];
    const FakeSynth::Played& p = synth.played[i];
    SCOPED_TRACE("velocity " + std::to_string(n.velocity) + " on channel " + std::to_string(n.channel));
    EXPECT_EQ(p.program, n.program);
    EXPECT_EQ(p.velocity, n.mappedVelocity);
    EXPECT_EQ(p.key, 41 + static_cast<int>(i));
    // Only articulations with a program of their own leave the parent's channel.
    EXPECT_EQ(p.channel == n.channel, n.program == kOwnBass || n.program == kCleanGuitar);
    if (p.channel != n.channel) {
      EXPECT_GE(p.channel, 16);
    }
  }
  // Noises: the fret noise at one pitch, lower; the drum key 13 on its neighbour 86.
  const auto& noise = synth.played[std::size(kBandNotes)];
  EXPECT_EQ(noise.program, kFretNoise);
  EXPECT_EQ(noise.key, kEffectPitch);
  EXPECT_EQ(noise.velocity, 60);
  EXPECT_EQ(synth.played[std::size(kBandNotes) + 1].key, kEffectPitch);
  EXPECT_EQ(synth.played.back().channel, kDrums);
  EXPECT_EQ(synth.played.back().key, 86);
  EXPECT_TRUE(synth.sounding.empty()) << "every note-off followed its note-on";
}

TEST_F(MapperTest, HelpersFollowTheirParentsControllers) {
  PlayStyle();
  std::set<int> guitarHelpers;
  for (const auto& p : synth.played)
    if (p.channel >= 16 && (p.program == kMutedGuitar || p.program == kHarmonics)) guitarHelpers.insert(p.channel);
  ASSERT_EQ(guitarHelpers.size(), 2u);
  for (int h : guitarHelpers) EXPECT_EQ(synth.cc[h][7], 77) << "set up with the parent's volume";
  Send({0xB0 | kGuitar, 7, 50});
  Send({0xB0 | kGuitar, 10, 20});
  Send({0xB0 | kGuitar, 91, 90});
  Send({0xB0 | kGuitar, 64, 127});
  Send({0xE0 | kGuitar, 0, 80});
  for (int h : guitarHelpers) {
    EXPECT_EQ(synth.cc[h][7], 50);
    EXPECT_EQ(synth.cc[h][10], 20);
    EXPECT_EQ(synth.cc[h][91], 90);
    EXPECT_EQ(synth.cc[h][64], 127);
    EXPECT_EQ(synth.bend[h], 80 << 7);
  }
  // The bass's helper (slap) does not follow the guitar.
  for (const auto& p : synth.played)
    if (p.program == kSlapBass) {
      EXPECT_NE(synth.cc[p.channel][7], 50);
    }
}

TEST_F(MapperTest, NothingIsLeftSoundingAfterStopMuteOrSilence) {
  PlayStyle();
  auto dead = [&](int key) { Send({0x90 | kGuitar, static_cast<uint8_t>(key), 70}); };  // on a helper
  // Stop: all notes off on every channel reaches the helpers.
  dead(50), Send({0x90 | kBass, 40, 127}), Send({0x90 | kGuitar, 110, 100});
  ASSERT_EQ(synth.sounding.size(), 3u);
  for (int ch = 0; ch < 16; ++ch) Send({static_cast<uint8_t>(0xB0 | ch), 123, 0});
  EXPECT_TRUE(synth.sounding.empty());
  // A note-off goes where its note-on went, even after a program change.
  dead(52);
  Send({0xB0 | kGuitar, 0, 0}), Send({0xC0 | kGuitar, 0});
  Send({0x80 | kGuitar, 52, 0});
  EXPECT_TRUE(synth.sounding.empty());
  // Silence by other means: the mapper ends what it placed on helpers and moved keys.
  Send({0xB0 | kGuitar, 0, 8}), Send({0xC0 | kGuitar, 3});
  dead(53), Send({0x99, 13, 90});
  ASSERT_EQ(synth.sounding.size(), 2u);
  ASSERT_EQ(synth.sounding.count({kGuitar, 53}), 0u) << "on a helper";
  mapper.SilenceHelpers([&](const MappedMessage& m) { synth.Take(m); });
  EXPECT_TRUE(synth.sounding.empty());
  Send({0x80 | kGuitar, 53, 0});  // a late note-off is harmless
  EXPECT_TRUE(synth.sounding.empty());
}

TEST_F(MapperTest, ConventionsDropsAndCounts) {
  // Built-in synthesizer ("xg" bank mode): melodic bank in CC32, kits as CC0 127.
  PlayStyle();
  EXPECT_EQ(synth.cc[kDrums][0], 0) << "no program change on the drums yet";
  Send({0xB0 | kDrums, 0, 127}), Send({0xC0 | kDrums, 25});
  EXPECT_EQ(synth.cc[kDrums][0], 127);
  EXPECT_EQ(synth.program[kDrums], 0);  // the tiny SoundFont has only a Standard kit
  Send({0xB0 | kDrums, 0, 126}), Send({0xC0 | kDrums, 0});
  Send({0x90 | kDrums, 50, 100});
  EXPECT_EQ(mapper.Counts().silentEffectKeys, 1u);
  EXPECT_EQ(mapper.Current(kDrums)->how, How::EffectKit);
  // Not a channel message: the caller passes it on.
  const uint8_t sysex[] = {0xF0, 0x7E, 0xF7};
  MappedMessage out[VoiceMapper::kMaxOut];
  EXPECT_EQ(mapper.Map(sysex, 3, out), -1);
  EXPECT_EQ(mapper.Map(sysex, 0, out), -1);
}

// For a General MIDI synthesizer on a port, with one free channel for helpers.
VoiceMapSettings GeneralMidiPort() {
  VoiceMapSettings s;
  s.convention = BankConvention::GeneralMidi;
  s.noise = NoiseNotes::LeaveOut;
  s.helpers = HelperChannels::FreeChannelsOf(GatherVoiceUse(Loaded(BankEightStyle())));
  s.helpers.count = 1;
  return s;
}

class GeneralMidiMapperTest : public MapperTest {
 protected:
  GeneralMidiMapperTest() : MapperTest(GeneralMidiPort()) {}
};

TEST_F(GeneralMidiMapperTest, NoisesLeftOutAndHelpersRunningOutAreCounted) {
  PlayStyle();
  EXPECT_EQ(mapper.Counts().noisesLeftOut, 2u);
  EXPECT_EQ(synth.cc[kBass][32], 0);
  for (const auto& p : synth.played) EXPECT_LT(p.channel, 16);
  // The one helper is busy with a held dead note: the slap of the bass finds none.
  Send({0x90 | kGuitar, 50, 70});
  Send({0x90 | kBass, 30, 127});
  EXPECT_EQ(mapper.Counts().helpersExhausted, 1u);
  Send({0x80 | kGuitar, 50, 0});
  Send({0x90 | kBass, 30, 127});  // idle now: the bass takes it over
  EXPECT_EQ(synth.played.back().program, kSlapBass);
  EXPECT_EQ(mapper.Counts().helpersExhausted, 1u);
}

TEST(MappedMidiFile, GeneralMidiReadyFileIsWellFormedAndEndsEveryNote) {
  const StyleModel style = Loaded(BankEightStyle());
  const std::vector<uint8_t> smf(style.StyleData.begin(), style.StyleData.end());
  const VoiceMapSettings settings = GeneralMidiFileSettings(smf, NoiseNotes::PlayAsEffects);
  EXPECT_EQ(settings.helpers.count, 7);  // channels 2..8 are free
  const VoiceMap map(GatherVoiceUse(style), std::make_shared<SoundFontCatalog>(GeneralMidiCatalog()), settings);
  const auto mapped = MapMidiFile(smf, map);
  ASSERT_TRUE(mapped);
  const test::SmfFile f = test::ReadSmf(mapped->data(), mapped->size());
  ASSERT_TRUE(f.ok()) << f.error;
  std::map<std::pair<int, int>, int> sounding;
  std::set<int> programs;
  for (const auto& e : f.events) {
    if (e.Kind() == 0xC) programs.insert(e.data[0]);
    if (e.Kind() == 0x9 && e.data[1] > 0) ++sounding[{e.Channel(), e.data[0]}];
    if (e.Kind() == 0x8 || (e.Kind() == 0x9 && e.data[1] == 0)) --sounding[{e.Channel(), e.data[0]}];
  }
  for (const auto& [note, count] : sounding) EXPECT_EQ(count, 0) << note.first << "/" << note.second;
  EXPECT_EQ(programs, (std::set<int>{kOwnBass, kCleanGuitar, kSlapBass, kMutedGuitar, kHarmonics, kFretNoise}));
  EXPECT_EQ(f.events.back().tick, 1000u + 20u * (std::size(kBandNotes) + 3));
  EXPECT_FALSE(MapMidiFile({'M', 'T', 'h', 'd'}, map));
}

}  // namespace
}  // namespace vambrio::voices
