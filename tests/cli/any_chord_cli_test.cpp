// vambrio-cli and "Any chord": --chord, chords and info --rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>

#include "rule_entry.h"
#include "cli_run.h"
#include "run_process.h"
#include "smf_check.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;
using test::ReadAll;

using nlohmann::json;
using test::Bytes;
using ::testing::HasSubstr;

const std::string kDemo = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";

TEST(AnyChordCli, ChordOptionErrors) {
  test::TempDir dir;
  const std::string out = dir.File("x.mid");
  const struct {
    std::vector<std::string> extra;
    const char* says;
  } cases[] = {
      {{"--chord", "Bbm7", "--minor"}, "--chord and --minor do not go together"},
      {{"--chord", "Hm7"}, "begins with its root"},
      {{"--chord", "N.C."}, "is no chord"},
      {{"--chord", "Cm7/X"}, "the bass after"},
      {{"--chord"}, "usage: vambrio-cli assemble"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"assemble", kDemo, "Main A", "-o", out};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    auto r = Cli(args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_THAT(r.err, HasSubstr(c.says));
  }
}

// The demo's bass over F/A: its root notes play the bass note A, its fifth C,
// its passing second G; the drums keep their notes.
TEST(AnyChordCli, AssembleOverASlashChord) {
  test::TempDir dir;
  ASSERT_EQ(Cli({"assemble", kDemo, "Main A", "-o", dir.File("c.mid")}).status, 0);
  auto r = Cli({"assemble", kDemo, "Main A", "--chord", "F/A", "-o", dir.File("fa.mid")});
  ASSERT_EQ(r.status, 0) << r.err;
  test::SmfFile classic = test::ReadSmf(ReadAll(dir.File("c.mid")));
  test::SmfFile any = test::ReadSmf(ReadAll(dir.File("fa.mid")));
  ASSERT_TRUE(any.ok()) << any.error;
  ASSERT_EQ(any.events.size(), classic.events.size());
  std::set<int> bass;
  for (size_t i = 0; i < any.events.size(); ++i) {
    const test::SmfEvent& e = any.events[i];
    if (!e.IsNote()) continue;
    if (e.Channel() == 10 && e.data[1] > 0) bass.insert(e.data[0] % 12);
    if (e.Channel() == 9) {
      EXPECT_EQ(e.data, classic.events[i].data);
    }
  }
  EXPECT_EQ(bass, (std::set<int>{9, 0, 7}));
}

TEST(AnyChordCli, ChordsListsEveryType) {
  auto r = Cli({"chords"});
  ASSERT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("  11  m7b5       Cm7b5        0 3 6 10\n"));
  EXPECT_THAT(r.out, HasSubstr("  33  1+2+5      C1+2+5       0 2 7\n"));
  auto j = json::parse(Cli({"chords", "--json"}).out);
  ASSERT_EQ(j.size(), 34u);
  EXPECT_EQ(j[27]["name"], "7(#9)");
  EXPECT_EQ(j[27]["tones"], json::parse("[0, 3, 4, 7, 10]"));
  EXPECT_EQ(Cli({"chords", "extra"}).status, 2);
}

TEST(AnyChordCli, InfoReportsTheRules) {
  test::TempDir dir;
  test::RuleEntry e;
  e.channel = 12;
  e.dest = 13;
  e.name = "Strings ";
  e.chordMute &= ~(uint64_t{1} << 18);  // not on dim7
  e.noteMute = 0x0FFE;                   // not on C
  e.middleLow = 48;
  e.middleHigh = 84;
  e.low = {0, 0x81, 4, 24, 47, 2};
  e.range = {1, 2, 7, 48, 84, 1};
  e.high = {2, 1, 5, 85, 108, 3};
  test::TrackBuilder t;
  t.Marker("SInt").Marker("Main A").Delta(10).NoteOn(12, 60, 100).Delta(10).NoteOff(12, 60).EndOfTrack();
  const std::string path = dir.File("rules.sty");
  test::WriteFile(path, test::StyleBytes(t, test::CasmBuilder().Group("Main A, Main B").RawInGroup(test::Ctb2Chunk(e)).Build()));

  auto r = Cli({"info", "--json", "--rules", path});
  ASSERT_EQ(r.status, 0) << r.err;
  const json rules = json::parse(r.out)["rules"];
  EXPECT_EQ(rules["block"], true);
  ASSERT_EQ(rules["groups"].size(), 1u);
  EXPECT_EQ(rules["groups"][0]["sections"], json::parse(R"(["Main A", "Main B"])"));
  const json& c = rules["groups"][0]["channels"][0];
  EXPECT_EQ(c["channel"], 13);
  EXPECT_EQ(c["name"], "Strings");
  EXPECT_EQ(c["layout"], "Ctb2");
  EXPECT_EQ(c["part"], "Pad");
  EXPECT_EQ(c["source_chord"], "CMaj7");
  EXPECT_EQ(c["chord_types"].size(), 33u);
  EXPECT_EQ(std::find(c["chord_types"].begin(), c["chord_types"].end(), "dim7"), c["chord_types"].end());
  EXPECT_EQ(c["roots"].front(), "Db");
  ASSERT_EQ(c["ranges"].size(), 3u);
  EXPECT_EQ(c["ranges"][0], json::parse(R"({"range": "low", "notes": [0, 47], "ntr": "root transpose", "ntt": "melody",
      "bass_on": true, "high_key": "E", "limits": [24, 47], "rtr": "pitch shift to root"})"));
  EXPECT_EQ(c["ranges"][1]["ntt"], "chord");
  EXPECT_EQ(c["ranges"][2]["ntt"], "stroke");  // the guitar's mode
  EXPECT_EQ(c["ranges"][2]["rtr"], "retrigger");

  auto readable = Cli({"info", "--rules", path});
  EXPECT_THAT(readable.out, HasSubstr("  Chord rules for: Main A, Main B\n"));
  EXPECT_THAT(readable.out, HasSubstr("13 Strings  Pad         on CMaj7: root fixed, chord, high key G, 48..84"));

  auto plain = json::parse(Cli({"info", "--json", path}).out);
  EXPECT_FALSE(plain.contains("rules"));
}

}  // namespace
}  // namespace vambrio
