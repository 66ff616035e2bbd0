#include "loading/stage_settings.h"

#include <gtest/gtest.h>

#include "chord/chord_rules.h"
#include "style_builder.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::SongEntry;
using test::TrackBuilder;

// A setting: Right 1 a piano on bank 0/113, Left strings at volume 60,
// maker messages between them.
TrackBuilder Setting(int rightProgram) {
  TrackBuilder t;
  t.Sysex({0x43, 0x73, 0x01, 0x50, 0x08, 0x00, 0x08, 0x7F, 0xF7})
      .ControlChange(0, 0, 0).ControlChange(0, 32, 113).ProgramChange(0, rightProgram)
      .ControlChange(0, 7, 100).ControlChange(0, 10, 64).ControlChange(0, 91, 20).ControlChange(0, 93, 5)
      .ControlChange(3, 0, 0).ProgramChange(3, 48).ControlChange(3, 10, 32).Running({7, 60}).EndOfTrack();
  return t;
}

Bytes Track() {
  TrackBuilder t;
  t.TrackName("Stage").Tempo(500000).TimeSignature(4, 2).Marker("SInt").Marker("Main A").Delta(7680).EndOfTrack();
  return t.bytes();
}

Bytes Behind(const std::vector<Bytes>& chunks) {
  Bytes out = test::CasmBuilder().Group("Main A").Build();
  for (const auto& c : chunks) out.insert(out.end(), c.begin(), c.end());
  return out;
}

const SongEntry kBallad{"Night Ballad", "Ballad", "slow,ballad", "", 857143, 4, 4};
const SongEntry kWaltz{"Garden Waltz", "Waltz", "", "dance", 500000, 3, 4};

TEST(StageSettings, ReadsSettingsPerPartAndSongRecords) {
  const Bytes file = test::StyleBytes(
      Track(), Behind({test::OtscBytes({Setting(0), Setting(1), Setting(2), Setting(3)}),
                       test::FnrcBytes({test::FnrpBytes(kBallad), test::FnrpBytes(kWaltz)})}));
  const StageSettings s = ReadStageSettings(file);
  ASSERT_TRUE(s.hasOts);
  ASSERT_EQ(s.ots.size(), 4u);
  EXPECT_EQ(s.otsSkipped, 0);
  const OtsPart& right = s.ots[2].parts[0];
  EXPECT_TRUE(s.ots[2].usable);
  EXPECT_EQ(right.bankMsb, 0);
  EXPECT_EQ(right.bankLsb, 113);
  EXPECT_EQ(right.program, 2);
  EXPECT_EQ(right.volume, 100);
  EXPECT_EQ(right.pan, 64);
  EXPECT_EQ(right.reverb, 20);
  EXPECT_EQ(right.chorus, 5);
  EXPECT_FALSE(s.ots[2].parts[1].HasVoice());
  EXPECT_EQ(s.ots[2].parts[3].program, 48);
  EXPECT_EQ(s.ots[2].parts[3].volume, 60);  // running status
  EXPECT_EQ(s.ots[2].messages.size(), 11u);
  EXPECT_EQ(std::string(OtsPartName(3)), "Left");

  ASSERT_EQ(s.songs.size(), 2u);
  EXPECT_EQ(s.songsSkipped, 0);
  EXPECT_EQ(s.songs[0].title, "Night Ballad");
  EXPECT_EQ(s.songs[0].genre, "Ballad");
  EXPECT_EQ(s.songs[0].Tempo(), 70);
  EXPECT_EQ(s.songs[0].keywords, (std::vector<std::string>{"slow", "ballad"}));
  EXPECT_EQ(s.songs[1].keywords, (std::vector<std::string>{"dance"}));
  EXPECT_EQ(s.songs[1].numerator, 3);
  EXPECT_EQ(s.songs[1].Tempo(), 120);
  // The chord rules before them read as before.
  EXPECT_EQ(ReadChordRules(std::span<const uint8_t>(file)).groups.size(), 1u);
}

TEST(StageSettings, SkipsAndCountsWhatDoesNotHoldTogether) {
  TrackBuilder cut;  // a note-on cut off after its first data byte
  cut.ProgramChange(0, 5).Raw({0x00, 0x90, 0x3C});
  TrackBuilder badStatus;
  badStatus.Raw({0x00, 0xF8});
  SongEntry noTitle = kWaltz;
  noTitle.title = " ";
  SongEntry noTempo = kWaltz;
  noTempo.microsPerQuarter = 0;
  Bytes overrun = test::FnrpBytes(kWaltz);
  overrun[8 + 5 + 7] = 0x40;  // the title's length runs past the entry
  const Bytes fnrc = test::FnrcBytes({test::ChunkBytes("FNRP", {0x07, 0xA1}), test::FnrpBytes(noTitle),
                                      test::FnrpBytes(noTempo), overrun, test::FnrpBytes(kBallad),
                                      test::ChunkBytes("FNRP", test::FnrpBytes(kWaltz), 900)});
  const StageSettings s =
      ReadStageSettings(test::StyleBytes(Track(), Behind({test::OtscBytes({Setting(7), cut, badStatus}), fnrc})));
  ASSERT_EQ(s.ots.size(), 3u);
  EXPECT_EQ(s.otsSkipped, 2);
  EXPECT_TRUE(s.ots[0].usable);
  EXPECT_EQ(s.ots[0].parts[0].program, 7);
  EXPECT_FALSE(s.ots[1].usable);
  EXPECT_FALSE(s.ots[2].usable);
  ASSERT_EQ(s.songs.size(), 1u);
  EXPECT_EQ(s.songs[0].title, "Night Ballad");
  EXPECT_EQ(s.songsSkipped, 5);

  // Nothing behind the track, a header alone, a block cut inside its header.
  EXPECT_FALSE(ReadStageSettings(test::StyleBytes(Track())).hasOts);
  EXPECT_TRUE(ReadStageSettings(Bytes{'M', 'T', 'h', 'd'}).songs.empty());
  Bytes cutBlock = test::StyleBytes(Track(), Behind({test::FnrcBytes({test::FnrpBytes(kBallad)})}));
  cutBlock.resize(cutBlock.size() - 3);
  const StageSettings c = ReadStageSettings(cutBlock);
  EXPECT_TRUE(c.songs.empty());
  EXPECT_EQ(c.songsSkipped, 1);
}

}  // namespace
}  // namespace vambrio
