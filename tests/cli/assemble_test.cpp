#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "cli_run.h"
#include "run_process.h"
#include "smf_check.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;
using test::ReadAll;

using test::Bytes;
using test::CasmBuilder;
using test::ChordEntry;
using test::TrackBuilder;
using ::testing::HasSubstr;

ChordEntry Entry(int channel, int dest) {
  ChordEntry e;
  e.sourceChannel = channel;
  e.destChannel = dest;
  return e;
}

class AssembleTest : public ::testing::Test {
 protected:
  // Setup part with a GM System On message, "Main A" with a chord note and a
  // drum note, "Fill In AA" with a bass note.
  std::string WriteStyle(const Bytes& casm) {
    TrackBuilder t;
    t.Marker("SInt").GmSystemOn().ProgramChange(11, 4);
    t.Marker("Main A").Delta(100).NoteOn(11, 61, 90).Delta(100).NoteOn(9, 36, 80);
    t.Marker("Fill In AA").Delta(100).NoteOn(10, 64, 70);
    t.Delta(50).EndOfTrack();
    std::string path = dir.File("Style.sty");
    test::WriteFile(path, test::StyleBytes(t, casm));
    return path;
  }
  std::string WriteStyle() {
    return WriteStyle(CasmBuilder()
                          .Group("Main A,Fill In AA")
                          .Ctab(Entry(9, 9))
                          .Ctab(Entry(10, 10))
                          .Ctab(Entry(11, 11))
                          .Build());
  }
  // The notes of the assembled file: channel, note, velocity.
  std::vector<std::tuple<int, int, int>> Notes(const std::string& path) {
    test::SmfFile f = test::ReadSmf(ReadAll(path));
    EXPECT_TRUE(f.ok()) << f.error;
    std::vector<std::tuple<int, int, int>> notes;
    for (const auto& e : f.events)
      if (e.IsNote()) notes.emplace_back(e.Channel(), e.data[0], e.data[1]);
    return notes;
  }
  std::string out() const { return dir.File("out.mid"); }
  test::TempDir dir;
};

TEST_F(AssembleTest, WritesTheSectionWithTheChosenParts) {
  std::string style = WriteStyle();
  auto r = Cli({"assemble", style, "Main A", "-o", out()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Notes(out()), (std::vector<std::tuple<int, int, int>>{{11, 60, 90}, {9, 36, 80}}));

  r = Cli({"assemble", style, "Main A", "-o", out(), "--parts", "11101111", "--minor"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Notes(out()), (std::vector<std::tuple<int, int, int>>{{11, 60, 0}, {9, 36, 80}}));

  r = Cli({"assemble", style, "Fill In AA", "-o", out(), "--minor"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Notes(out()), (std::vector<std::tuple<int, int, int>>{{10, 64, 70}}));  // no minor form for bass
}

TEST_F(AssembleTest, PlayerAndSystemExclusiveChoices) {
  std::string style = WriteStyle();
  ASSERT_EQ(Cli({"assemble", style, "Main A", "-o", out()}).status, 0);
  Bytes xgPlayer = ReadAll(out());
  auto contains = [](const Bytes& file, const Bytes& part) {
    return std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
  };
  // XG player: the style's GM System On message arrives neutralised.
  EXPECT_TRUE(contains(xgPlayer, {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x00, 0xF7}));
  ASSERT_EQ(Cli({"assemble", style, "Main A", "-o", out(), "--gm", "--xg-on"}).status, 0);
  Bytes gm = ReadAll(out());
  EXPECT_EQ(Bytes(gm.begin() + 22, gm.begin() + 33),
            (Bytes{0x0A, 0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
  EXPECT_TRUE(contains(gm, {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  ASSERT_EQ(Cli({"assemble", style, "Main A", "-o", out(), "--no-sysex"}).status, 0);
  test::SmfFile f = test::ReadSmf(ReadAll(out()));
  ASSERT_TRUE(f.ok()) << f.error;
  for (const auto& e : f.events) EXPECT_NE(e.status, 0xF0);
  EXPECT_EQ(f.trackLength + 8, xgPlayer.size() - 22);  // the message and its delta time
}

TEST_F(AssembleTest, FailuresAndTheirExitStatuses) {
  std::string style = WriteStyle();
  auto r = Cli({"assemble", style, "Main B", "-o", out()});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("no section named Main B"));
  EXPECT_EQ(Cli({"assemble", style, "Main", "-o", out()}).status, 1);  // names match exactly

  r = Cli({"assemble", dir.File("missing.sty"), "Main A", "-o", out()});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("This file could not be opened"));
  TrackBuilder cut;
  cut.Marker("SInt").Marker("Main A").Delta(10).NoteOn(9, 36, 100).EndOfTrack();
  Bytes broken = test::StyleBytes(cut);
  broken.resize(broken.size() - 5);  // the track is longer than the file
  test::WriteFile(dir.File("broken.sty"), broken);
  r = Cli({"assemble", dir.File("broken.sty"), "Main A", "-o", out()});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("The program could not process this file"));

  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"assemble"},
           {"assemble", style, "Main A"},
           {"assemble", style, "-o", out()},
           {"assemble", style, "Main A", "-o", out(), "--parts", "1111"},
           {"assemble", style, "Main A", "-o", out(), "--parts", "1111111x"},
           {"assemble", style, "Main A", "-o", out(), "--major"},
       }) {
    r = Cli(args);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_THAT(r.err, HasSubstr("usage: vambrio-cli assemble STYLE SECTION -o OUT"));
  }
}

TEST_F(AssembleTest, DamagedChordRulesAreNamedInWordsByEveryCommand) {
  // Bytes cut from the drum entry: its length runs on into the bass entry,
  // whose header now stands where the part is.
  Bytes casm = CasmBuilder().Group("Main A,Fill In AA").Ctab(Entry(9, 9)).Ctab(Entry(10, 10)).Build();
  const auto entry = std::search(casm.begin(), casm.end(), std::begin("Ctab"), std::begin("Ctab") + 4);
  casm.erase(entry + 17, entry + 37);
  const std::string style = WriteStyle(casm);
  const std::string inWords = "the chord rules of section Main A are damaged: an entry runs past the end of its block";
  for (const char* chord : {"", "G7"}) {
    std::vector<std::string> args{"assemble", style, "Main A", "-o", out()};
    if (*chord) args.insert(args.end(), {"--chord", chord});
    auto r = Cli(args);
    EXPECT_EQ(r.status, 3) << chord;
    EXPECT_THAT(r.err, HasSubstr("Error #: 9, Subscript out of range, encountered in Function Store. If the solution is "
                                 "not obvious, please report this to the author.\n"));
    EXPECT_THAT(r.err, HasSubstr(inWords)) << chord;
  }
  auto info = Cli({"info", "--json", style});
  EXPECT_EQ(info.status, 0);
  const auto warnings = nlohmann::json::parse(info.out)["warnings"];
  ASSERT_GE(warnings.size(), 1u) << info.out;
  EXPECT_THAT(warnings.dump(), HasSubstr("sections Main A, Fill In AA are damaged: an entry runs past the end of its block (1 entry skipped)"));
  EXPECT_THAT(Cli({"info", style}).out, HasSubstr("  Warning:   the chord rules of sections Main A, Fill In AA"));
}

TEST_F(AssembleTest, AReportedErrorStillWritesTheFileAndExitsWithThree) {
  // Channel 12 (destination 17) has no part box.
  std::string style = WriteStyle(CasmBuilder().Group("Main A").Ctab(Entry(11, 16)).Build());
  auto r = Cli({"assemble", style, "Main A", "-o", out()});
  EXPECT_EQ(r.status, 3);
  EXPECT_THAT(r.err, HasSubstr("Error #: 9, Subscript out of range, encountered in Function Store."));
  Bytes file = ReadAll(out());
  EXPECT_EQ(test::SmfStructureError(file), "");

  r = Cli({"assemble", WriteStyle(), "Main A", "-o", dir.File("no/such/folder/out.mid")});
  EXPECT_EQ(r.status, 3);
  EXPECT_THAT(r.err, HasSubstr("encountered in Function SaveFile."));
}

TEST(DemoStyle, TheCommittedFileIsWhatTheToolWrites) {
  test::TempDir dir;
  auto r = test::RunProcess({MAKE_DEMO_STYLE, dir.File("Demo.sty")});
  ASSERT_EQ(r.status, 0) << r.err;
  Bytes written = ReadAll(dir.File("Demo.sty"));
  ASSERT_GT(written.size(), 2000u);
  EXPECT_TRUE(ReadAll(std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty") == written)
      << "examples/Demo.sty is out of date: run make-demo-style examples/Demo.sty";
}

TEST(DemoStyle, LoadsWithItsSixSections) {
  auto r = Cli({"info", "--json", std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty"});
  ASSERT_EQ(r.status, 0) << r.err;
  nlohmann::json info = nlohmann::json::parse(r.out);
  EXPECT_EQ(info["tempo"], 100);
  EXPECT_EQ(info["time_signature"], "4/4");
  EXPECT_EQ(info["sections"],
            nlohmann::json({"Intro A", "Main A", "Main B", "Fill In AA", "Fill In BB", "Ending A"}));
  EXPECT_EQ(info["reported"], nlohmann::json::array());
  EXPECT_GT(info["initial_volume_events"], 0);
}

}  // namespace
}  // namespace vambrio
