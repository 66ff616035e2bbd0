#include "songs/set_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "cli_run.h"
#include "temp_dir.h"

namespace vambrio::songs::test {
namespace {

using ::testing::HasSubstr;

TEST(SetList, RoundTripAndADamagedFileIsReportedAndNeverOverwritten) {
  SetList list{"Friday", {}};
  SetListSong first{"Blue", "[Main A] C^7 | F7 |\n", "book.html", "Swing.sty", 132, -3, CountIn::TwoBars, {}, "evening.vreg", 4};
  first.mapping.fills = false;
  first.mapping.marks = {{"a", "Main B"}, {"chorus", "Main D"}};
  list.songs = {first, {"Two", "[Main A] G |\n", "", "Pop.sty", 0, 0, CountIn::Intro, {}, "", -1}};
  vambrio::test::TempDir dir;
  const std::string path = dir.File("friday.vset");
  std::string error;
  ASSERT_TRUE(SaveSetList(path, list, error)) << error;
  ASSERT_TRUE(SaveSetList(path, list, error)) << error;  // over its own earlier save
  auto loaded = LoadSetList(path);
  ASSERT_TRUE(std::holds_alternative<SetList>(loaded)) << std::get<std::string>(loaded);
  const SetList& back = std::get<SetList>(loaded);
  EXPECT_EQ(back.name, "Friday");
  ASSERT_EQ(back.songs.size(), 2u);
  EXPECT_EQ(back.songs[0].chart, first.chart);
  EXPECT_EQ(back.songs[0].tempo, 132);
  EXPECT_EQ(back.songs[0].transpose, -3);
  EXPECT_EQ(back.songs[0].countIn, CountIn::TwoBars);
  EXPECT_FALSE(back.songs[0].mapping.fills);
  EXPECT_EQ(back.songs[0].mapping.marks, first.mapping.marks);
  EXPECT_EQ(back.songs[0].registrationBank, "evening.vreg");
  EXPECT_EQ(back.songs[0].registrationSlot, 4);
  EXPECT_EQ(back.songs[1].registrationSlot, -1);
  EXPECT_EQ(back.songs[1].countIn, CountIn::Intro);
  EXPECT_TRUE(back.songs[1].mapping.ending);

  const std::string damaged = WriteSetList(list).substr(0, 120);
  std::ofstream(path, std::ios::trunc) << damaged;
  auto bad = LoadSetList(path);
  ASSERT_TRUE(std::holds_alternative<std::string>(bad));
  EXPECT_THAT(std::get<std::string>(bad), HasSubstr("damaged at byte"));
  EXPECT_FALSE(SaveSetList(path, list, error));
  EXPECT_THAT(error, HasSubstr("it is kept as it is"));
  const auto kept = vambrio::test::ReadAll(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), damaged);
  EXPECT_EQ(std::get<std::string>(ReadSetList("{\"songs\": []}")), "not a Vambrio set list");
  EXPECT_THAT(std::get<std::string>(ReadSetList("{\"format\": \"vambrio set list\", \"songs\": [{\"chart\": \"x\", "
                                                "\"transpose\": 40}]}")),
              HasSubstr("song 1: tempo or transpose out of range"));
}

}  // namespace
}  // namespace vambrio::songs::test
