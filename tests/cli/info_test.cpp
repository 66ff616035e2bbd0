#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_run.h"
#include "run_process.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;

using nlohmann::json;
using test::StyleBytes;
using test::TrackBuilder;

std::vector<json> JsonLines(const std::string& out) {
  std::vector<json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
  return lines;
}

class InfoTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const test::Bytes& bytes) {
    std::string path = dir.File(name);
    test::WriteFile(path, bytes);
    return path;
  }
  test::TempDir dir;
};

TEST_F(InfoTest, JsonReportsWhatTheScanFound) {
  TrackBuilder t;
  t.TrackName("Demo").Copyright("Us");
  int32_t tempo = t.Here() + 4;  // delta FF 51 03, then the three tempo bytes
  t.Tempo(600000).TimeSignature(6, 3).Marker("SInt");
  int32_t sint = t.Here();
  t.ControlChange(8, 7, 100).GmSystemOn().Marker("Main A");
  int32_t mainA = t.Here() - 10;
  t.Delta(960).ControlChange(9, 7, 50);
  int32_t mainB = t.Here();
  t.Marker("Main B").EndOfTrack();
  auto bytes = StyleBytes(t);
  std::string path = Write("demo.sty", bytes);

  auto r = Cli({"info", "--json", path});
  ASSERT_EQ(r.status, 0) << r.err;
  auto lines = JsonLines(r.out);
  ASSERT_EQ(lines.size(), 1u);
  const json& j = lines[0];
  EXPECT_EQ(j["file"], path);
  EXPECT_EQ(j["ok"], true);
  EXPECT_EQ(j["size"], bytes.size());
  EXPECT_EQ(j["name"], "Demo");
  EXPECT_EQ(j["copyright"], "Us");
  EXPECT_EQ(j["name_line"], "Demo - Us");
  EXPECT_EQ(j["tempo"], 200);
  EXPECT_EQ(j["tempo_qpm"], 100);
  EXPECT_EQ(j["time_signature"], "6/8");
  EXPECT_EQ(j["sections"], json({"Main A", "Main B"}));
  EXPECT_EQ(j["section_ranges"], json({{mainA, mainB}, {mainB, static_cast<int32_t>(bytes.size()) - 5}}));
  EXPECT_EQ(j["sint_end"], sint);
  EXPECT_EQ(j["track_length"], t.size());
  EXPECT_EQ(j["volume_events"], json({{sint + 3, 100}, {mainB - 1, 50}}));
  EXPECT_EQ(j["initial_volume_events"], 1);
  EXPECT_EQ(j["master_volume"], 75);
  EXPECT_EQ(j["tempo_events"], json({{tempo, 100}}));
  EXPECT_EQ(j["reported"], json::array());
}

TEST_F(InfoTest, ReadableBlockAndFailures) {
  TrackBuilder t;
  t.Marker("Intro A").Marker("Main A").EndOfTrack();
  std::string good = Write("good.sty", StyleBytes(t));
  std::string bad = Write("bad.sty", test::Bytes(30, 0x41));

  auto r = Cli({"info", good});
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(" - "), std::string::npos);
  EXPECT_NE(r.out.find("Intro A"), std::string::npos);
  EXPECT_NE(r.out.find("Main A"), std::string::npos);

  auto both = Cli({"info", "--json", good, bad, dir.File("none.sty")});
  EXPECT_EQ(both.status, 1);
  auto lines = JsonLines(both.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]["ok"], true);
  EXPECT_EQ(lines[1]["error"], "The program could not process this file");
  EXPECT_FALSE(lines[1]["reason"].get<std::string>().empty());
  EXPECT_EQ(lines[2]["error"], "This file could not be opened");
  EXPECT_EQ(lines[2]["reason"], "there is no such file");
}

TEST_F(InfoTest, TextDataErrorIsReportedAndTheLoadGoesOn) {
  // A track name whose length runs past the end of the file, at the end of the track.
  TrackBuilder t;
  t.Marker("Main A").Raw({0x00, 0xFF, 0x03, 0x32, 'A', 'B', 'C'});
  auto r = Cli({"info", "--json", Write("cut.sty", StyleBytes(t))});
  ASSERT_EQ(r.status, 0) << r.err;
  json j = JsonLines(r.out).at(0);
  EXPECT_EQ(j["name"], "ABC");
  EXPECT_EQ(j["reported"], json({"Error #: 9, Subscript out of range, encountered in Function TextData. If the "
                                 "solution is not obvious, please report this to the author."}));
}

TEST_F(InfoTest, GmChoiceReachesTheScan) {
  // Only the XG player neutralises the GM System On message; info shows the
  // same sections either way.
  TrackBuilder t;
  t.GmSystemOn().Marker("Main A").EndOfTrack();
  std::string path = Write("gm.sty", StyleBytes(t));
  EXPECT_EQ(Cli({"info", "--json", "--gm", path}).status, 0);
  EXPECT_EQ(Cli({"info", "--json", path}).status, 0);
}

TEST_F(InfoTest, UnreadableFileAsAnOrdinaryUser) {
  TrackBuilder t;
  t.Marker("Main A").EndOfTrack();
  std::string path = Write("locked.sty", StyleBytes(t));
  chmod(dir.path().c_str(), 0755);
  chmod(path.c_str(), 0);
  std::vector<std::string> cmd = {VAMBRIO_CLI, "info", "--json", path};
  if (geteuid() == 0) {
    if (access("/usr/sbin/runuser", X_OK) != 0) GTEST_SKIP() << "no runuser to drop root's privileges";
    cmd.insert(cmd.begin(), {"/usr/sbin/runuser", "-u", "nobody", "--"});
  }
  auto r = test::RunProcess(cmd);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(JsonLines(r.out).at(0)["error"], "This file could not be opened");
}

TEST_F(InfoTest, OneTouchSettingsAndSongsPerChannel) {
  TrackBuilder t;
  t.TrackName("Stage").Marker("SInt").Marker("Main A").Delta(7680).EndOfTrack();
  TrackBuilder ots;
  ots.ControlChange(0, 0, 0).ControlChange(0, 32, 113).ProgramChange(0, 22).ControlChange(0, 7, 90)
      .ControlChange(0, 10, 40).ControlChange(0, 91, 12).ControlChange(0, 93, 3).ProgramChange(3, 89).EndOfTrack();
  TrackBuilder broken;
  broken.Raw({0x00, 0x91});
  test::SongEntry song{"Night Ballad", "Ballad", "slow,ballad", "", 750000, 4, 4};
  const std::string path = Write("stage.sty", StyleBytes(t, test::Joined({test::OtscBytes({ots, broken}),
                                                                            test::FnrcBytes({test::FnrpBytes(song), {0x46}})})));
  auto r = Cli({"info", "--json", path});
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = JsonLines(r.out).at(0);
  ASSERT_EQ(j["ots"].size(), 1u);
  EXPECT_EQ(j["ots_skipped"], 1);
  const json& right = j["ots"][0]["channels"][0];
  EXPECT_EQ(right["part"], "Right 1");
  EXPECT_EQ(right["voice"], json({{"bank_msb", 0}, {"bank_lsb", 113}, {"program", 22}, {"name", "Harmonica"}}));
  EXPECT_EQ(right["volume"], 90);
  EXPECT_EQ(right["pan"], 40);
  EXPECT_EQ(right["reverb"], 12);
  EXPECT_EQ(right["chorus"], 3);
  EXPECT_EQ(j["ots"][0]["channels"][1]["channel"], 4);
  EXPECT_TRUE(j["ots"][0]["channels"][1]["volume"].is_null());
  EXPECT_EQ(j["songs"], json::parse(R"([{"title":"Night Ballad","genre":"Ballad","keywords":["slow","ballad"],)"
                                    R"("tempo":80,"time_signature":"4/4"}])"));
  EXPECT_EQ(j["songs_skipped"], 1);

  auto text = Cli({"info", path});
  EXPECT_NE(text.out.find("  OTS 1:     Right 1 Harmonica (90), Left Pad 2 (warm)\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("    Night Ballad - Ballad, 80, 4/4\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("1 song record(s) skipped"), std::string::npos);
}

TEST_F(InfoTest, MissingArgumentPrintsUsage) {
  auto r = Cli({"info"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("usage: vambrio-cli info [--json] [--gm] [--rules] STYLE|FOLDER..."), std::string::npos);
  EXPECT_EQ(Cli({"info", "--bogus", "x.sty"}).status, 2);
}

}  // namespace
}  // namespace vambrio
