#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "cli_run.h"
#include "run_process.h"
#include "smf_check.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;
using test::ReadAll;

using ::testing::HasSubstr;

const std::string kDemoStyle = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
const std::string kDemoChart = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.chart";
constexpr uint64_t kBar = 4 * 1920;

std::vector<std::pair<uint64_t, std::string>> Meta(const test::SmfFile& f, uint8_t type) {
  std::vector<std::pair<uint64_t, std::string>> out;
  for (const auto& e : f.events)
    if (e.status == 0xFF && e.metaType == type) out.emplace_back(e.tick, std::string(e.data.begin(), e.data.end()));
  return out;
}

TEST(ArrangeTest, DemoChartBecomesAWellFormedSong) {
  test::TempDir dir;
  const std::string out = dir.File("song.mid");
  auto r = Cli({"arrange", kDemoStyle, kDemoChart, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, out + ": 26 bars, 1:02\n");
  const auto bytes = ReadAll(out);
  const test::SmfFile f = test::ReadSmf(bytes);
  ASSERT_TRUE(f.ok()) << f.error;
  EXPECT_EQ(f.format, 0);
  EXPECT_EQ(f.division, 1920);

  // Tempo first, the setup at tick 0, a marker where each chart section starts.
  EXPECT_EQ(f.events.front().metaType, 0x51);
  EXPECT_EQ(f.events.front().data, (std::vector<uint8_t>{0x09, 0x27, 0xC0}));  // 100 a minute
  const std::vector<std::pair<uint64_t, std::string>> markers = {
      {0, "Intro A"},       {2 * kBar, "Main A"},      {10 * kBar, "Fill In AA"},
      {11 * kBar, "Main B"}, {19 * kBar, "Fill In BB"}, {20 * kBar, "Main A"}, {24 * kBar, "Ending A"}};
  EXPECT_EQ(Meta(f, 0x06), markers);
  const auto chords = Meta(f, 0x01);
  ASSERT_EQ(chords.size(), 30u);
  EXPECT_EQ(chords[14], std::make_pair(13 * kBar, std::string("Em7")));
  EXPECT_EQ(chords[15], std::make_pair(13 * kBar + kBar / 2, std::string("Am")));
  EXPECT_EQ(chords[24], std::make_pair(19 * kBar, std::string("N.C.")));

  // Every note on ended; End of Track right after the last event, which is
  // the reset at the ending's end.
  std::map<std::pair<int, int>, int> sounding;
  uint64_t lastNoteOff = 0;
  for (const auto& e : f.events) {
    if (!e.IsNote()) continue;
    const bool on = e.Kind() == 9 && e.data[1] > 0;
    sounding[{e.Channel(), e.data[0]}] += on ? 1 : -1;
    if (!on) lastNoteOff = e.tick;
  }
  for (const auto& [note, count] : sounding) EXPECT_EQ(count, 0) << note.first << "/" << note.second;
  EXPECT_EQ(f.events.back().tick, 26 * kBar);
  EXPECT_LE(lastNoteOff, f.events.back().tick);
  EXPECT_EQ(f.events[f.events.size() - 2].data, (std::vector<uint8_t>{0x7B, 0}));

  // The chart from standard input gives the same file.
  std::ifstream chart(kDemoChart);
  const std::string text{std::istreambuf_iterator<char>(chart), std::istreambuf_iterator<char>()};
  ASSERT_EQ(Cli({"arrange", kDemoStyle, "-", "-o", dir.File("stdin.mid")}, text).status, 0);
  EXPECT_EQ(ReadAll(dir.File("stdin.mid")), bytes);
}

TEST(ArrangeTest, TempoPartsAndPlayerChoices) {
  test::TempDir dir;
  const std::string out = dir.File("song.mid");
  ASSERT_EQ(Cli({"arrange", kDemoStyle, kDemoChart, "-o", out, "--tempo", "120", "--parts", "11000000", "--gm"}).status,
            0);
  const test::SmfFile f = test::ReadSmf(ReadAll(out));
  ASSERT_TRUE(f.ok()) << f.error;
  EXPECT_EQ(f.events.front().data, (std::vector<uint8_t>{0x07, 0xA1, 0x20}));
  std::set<int> channels;
  for (const auto& e : f.events)
    if (e.IsNote()) channels.insert(e.Channel());
  EXPECT_EQ(channels, (std::set<int>{9}));  // Rhythm Sub moved onto the drum channel, nothing but the rhythm
}

TEST(ArrangeTest, ErrorsNameTheirPlace) {
  test::TempDir dir;
  const std::string out = dir.File("x.mid");
  const struct {
    std::string chart;
    int status;
    const char* says;
  } cases[] = {
      {"[Main A] C | Hm7 |\n", 1, "standard input: line 1, column 14: unknown chord \"Hm7\""},
      {"[Main A] C |\n[Main D] C |\n", 1,
       "line 2, column 1: unknown section \"Main D\"; the style has: Intro A, Main A, Main B, Fill In AA, Fill In BB, "
       "Ending A"},
      {"[Main A] C F G |\n", 1, "line 1, column 10: a bar of 3 chords does not divide its 4 beats"},
  };
  for (const auto& c : cases) {
    auto r = Cli({"arrange", kDemoStyle, "-", "-o", out}, c.chart);
    EXPECT_EQ(r.status, c.status) << c.chart;
    EXPECT_THAT(r.err, HasSubstr(c.says));
  }
  EXPECT_EQ(Cli({"arrange", kDemoStyle, kDemoChart, "-o", dir.File("x.txt")}).status, 2);
  EXPECT_EQ(Cli({"arrange", kDemoStyle, kDemoChart, "-o", out, "--tempo", "fast"}).status, 2);
  EXPECT_EQ(Cli({"arrange", kDemoStyle, kDemoChart, "-o", out, "--minor"}).status, 2);
  auto missing = Cli({"arrange", kDemoStyle, dir.File("none.chart"), "-o", out});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("could not be read"));
}

}  // namespace
}  // namespace vambrio
