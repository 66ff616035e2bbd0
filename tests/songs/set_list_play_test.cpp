// A set list's song made ready for a style: tempo, count-in (clicks, or the
// style's Intro on the first chord), sections fitted; and a song imported
// again from its file with another section mapping.
#include "songs/set_list_play.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "arranger/chart.h"
#include "lead_sheets.h"
#include "temp_dir.h"

namespace vambrio::songs::test {
namespace {

using ::testing::HasSubstr;

const StyleShape kStyle{{"Intro A", "Main A", "Main B", "Fill In AB", "Ending A"}, {2, 4, 4, 1, 2}, 4};

arranger::Chart Read(const std::string& text) {
  auto chart = arranger::ReadChart(text);
  EXPECT_TRUE(std::holds_alternative<arranger::Chart>(chart)) << std::get<arranger::ChartError>(chart).Text();
  return std::get<arranger::Chart>(chart);
}

TEST(SetListPlay, TempoCountInAndTheStylesIntroBeforeTheFirstChord) {
  SetListSong song;
  song.chart = "tempo 90\n[Main A] N.C. | Dm7 G7 |\n[Main D] C |\n";
  song.tempo = 132;
  song.countIn = CountIn::TwoBars;
  PreparedSong clicks = PrepareSong(song, kStyle);
  ASSERT_EQ(clicks.error, "");
  EXPECT_EQ(clicks.countInBars, 2);
  arranger::Chart chart = Read(clicks.chartText);
  ASSERT_FALSE(chart.tempos.empty());
  EXPECT_EQ(chart.tempos.front().qpm, 132);
  EXPECT_EQ(chart.sections.back().name, "Main B") << "fitted: the style has no Main D";
  EXPECT_THAT(clicks.notes, testing::Contains(HasSubstr("Main D")));

  song.countIn = CountIn::Intro;
  PreparedSong intro = PrepareSong(song, kStyle);
  EXPECT_EQ(intro.countInBars, 0);
  chart = Read(intro.chartText);
  ASSERT_GE(chart.sections.size(), 2u);
  EXPECT_EQ(chart.sections[0].name, "Intro A");
  EXPECT_EQ(chart.sections[1].name, "Main A");
  EXPECT_EQ(chart.sections[1].firstBar, 2u) << "the Intro's two bars";
  EXPECT_EQ(chart.bars[0].slots[0].text, "Dm7") << "the Intro plays the song's first chord";

  const StyleShape noIntro{{"Main A", "Main B"}, {4, 4}, 4};
  PreparedSong instead = PrepareSong(song, noIntro);
  EXPECT_EQ(instead.countInBars, 1);
  EXPECT_THAT(instead.notes, testing::Contains(HasSubstr("no Intro")));

  song.chart = "[Main A] Hx7 |";
  EXPECT_THAT(PrepareSong(song, kStyle).error, HasSubstr("line 1"));
}

TEST(SetListPlay, ASongFromAFileIsImportedAgainWithItsNewMapping) {
  vambrio::test::TempDir dir;
  const std::string file = dir.File("tune.txt");
  std::ofstream(file) << vambrio::test::IrealLink({{"Tune", "Doe John", "Medium Swing", "C", "*A[T44C |F |*B G7 |C Z", 0, 1}});
  const Imported imported = ImportSource(file);
  ASSERT_EQ(imported.songs.size(), 1u);
  SetListSong song = SongFromImport(imported.songs[0], file, {});
  EXPECT_EQ(song.title, "Tune");
  EXPECT_THAT(song.chart, HasSubstr("[Main B]"));
  song.mapping.marks = {{"a", "Main B"}, {"b", "Main A"}};
  song.mapping.ending = false;
  std::string why;
  ASSERT_TRUE(MapAgain(song, why)) << why;
  arranger::Chart chart = Read(song.chart);
  EXPECT_EQ(chart.sections.front().name, "Main B");
  EXPECT_EQ(chart.sections.back().name, "Main A") << "no Ending";

  song.source.clear();
  EXPECT_FALSE(MapAgain(song, why));
  EXPECT_THAT(why, HasSubstr("not kept"));
  song.source = file;
  song.title = "Other";
  EXPECT_FALSE(MapAgain(song, why));
  EXPECT_THAT(why, HasSubstr("no longer holds"));
}

}  // namespace
}  // namespace vambrio::songs::test
