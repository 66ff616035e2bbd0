// vambrio-cli edit: the edits reach the saved file, and a refused step writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "loading/entry.h"
#include "cli_run.h"
#include "run_process.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;

using test::Bytes;
using test::TrackBuilder;
namespace fs = std::filesystem;

Bytes ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

Bytes Trailing() {
  Bytes after = test::CasmBuilder().Group("Main A").Ctab({.sourceChannel = 9, .destChannel = 9}).Build();
  test::AppendText(after, "OTSc");
  test::AppendBE32(after, 1);
  after.push_back(0x42);
  return after;
}

// 4/4 at 120, two initial volume events (90, 70: average 80), a GM reset.
Bytes Style() {
  TrackBuilder t;
  t.TrackName("Edit").Tempo(500000).TimeSignature(4, 2).Marker("SInt").GmSystemOn().ControlChange(0, 7, 90)
      .ControlChange(9, 7, 70).Marker("Main A").Delta(480).NoteOn(9, 36, 100).Delta(480).NoteOff(9, 36)
      .EndOfTrack();
  return test::StyleBytes(t, Trailing());
}

class EditTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string in = dir.File("In.sty");
  std::string out = dir.File("Out.sty");
  void SetUp() override { test::WriteFile(in, Style()); }

  StyleModel Reload(const std::string& path, bool gm = false) {
    StyleModel m = MakeStartupModel();
    SilentErrorSink silent;
    EXPECT_EQ(Entry(m, path, gm, silent).outcome, EntryResult::Outcome::Loaded);
    return m;
  }
};

TEST_F(EditTest, AllEditsSurviveSaveAndReload) {
  auto r = Cli({"edit", in, "-o", out, "--tempo", "100", "--master-volume", "96", "--add-volume-events"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Bytes loaded = ReadBytes(in);
  const Bytes saved = ReadBytes(out);
  ASSERT_EQ(saved.size(), loaded.size() + 64);
  const Bytes trailing = Trailing();
  EXPECT_TRUE(std::equal(trailing.begin(), trailing.end(), saved.end() - static_cast<std::ptrdiff_t>(trailing.size())));

  StyleModel m = Reload(out);
  EXPECT_EQ(m.InitialVolumeEventCount, 18);
  EXPECT_EQ(m.DisplayTempo, 100);
  // Inserted first (average (16 x 64 + 160) / 18 = 66), then scaled to 96.
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.VolumeEventValue[i], 93) << i;  // 93.1
  EXPECT_EQ(m.VolumeEventValue[16], 127);  // 130.9, clipped
  EXPECT_EQ(m.VolumeEventValue[17], 102);  // 101.8
  EXPECT_EQ(m.MasterVolume, 95);
  const auto tempo = static_cast<size_t>(m.TempoEventPos[0]);
  EXPECT_EQ(Bytes(saved.begin() + tempo, saved.begin() + tempo + 3), (Bytes{0x09, 0x27, 0xC0}));
}

TEST_F(EditTest, GmKeepsTheGmReset) {
  ASSERT_EQ(Cli({"edit", in, "-o", out, "--gm"}).status, 0);
  EXPECT_EQ(ReadBytes(out), ReadBytes(in));
  ASSERT_EQ(Cli({"edit", in, "-o", out}).status, 0);
  EXPECT_NE(ReadBytes(out), ReadBytes(in)) << "with an XG player the GM System On message is neutralised";
}

TEST_F(EditTest, RefusedStepsWriteNothing) {
  struct Case {
    std::vector<std::string> options;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--tempo", "300"}, 1, "Tempo must be between 32 and 280"},
      {{"--tempo", "quick"}, 3, "Error #: 13, Type mismatch, encountered in Function TempoEdit."},
      {{"--tempo", "99999"}, 3, "Error #: 6, Overflow, encountered in Function TempoEdit."},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"edit", in, "-o", out};
    args.insert(args.end(), c.options.begin(), c.options.end());
    auto r = Cli(args);
    EXPECT_EQ(r.status, c.status) << c.options[1];
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST_F(EditTest, SecondInsertionIsRefused) {
  TrackBuilder t;  // no initial volume events: the insertion makes exactly 16
  t.Tempo(500000).TimeSignature(4, 2).Marker("SInt").Marker("Main A").ControlChange(0, 7, 90).EndOfTrack();
  test::WriteFile(in, test::StyleBytes(t, Trailing()));
  const std::string once = dir.File("Once.sty");
  ASSERT_EQ(Cli({"edit", in, "-o", once, "--add-volume-events"}).status, 0);
  auto r = Cli({"edit", once, "-o", out, "--add-volume-events", "--tempo", "90"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "This style already has initial volume events\n");
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(EditTest, EditsThatCannotApplyAreRefused) {
  TrackBuilder bare;
  bare.Marker("Main A").Delta(10).NoteOn(0, 60, 1).EndOfTrack();  // no SInt, tempo, volume events
  test::WriteFile(in, test::StyleBytes(bare));
  for (const char* option : {"--add-volume-events", "--master-volume", "--tempo"}) {
    std::vector<std::string> args = {"edit", in, "-o", out, option};
    if (std::string(option) != "--add-volume-events") args.push_back("100");
    auto r = Cli(args);
    EXPECT_EQ(r.status, 1) << option;
    EXPECT_FALSE(r.err.empty()) << option;
    EXPECT_FALSE(fs::exists(out)) << option;
  }
}

TEST_F(EditTest, BadArgumentsAndUnloadableStyles) {
  for (std::vector<std::string> args : {std::vector<std::string>{"edit", in},
                                        {"edit", in, "-o"},
                                        {"edit", "-o", out},
                                        {"edit", in, "-o", out, "--master-volume", "0"},
                                        {"edit", in, "-o", out, "--master-volume", "128"},
                                        {"edit", in, "-o", out, "--master-volume", "9x"},
                                        {"edit", in, "-o", out, "--tempo", ""},
                                        {"edit", in, "-o", out, "--louder"}}) {
    EXPECT_EQ(Cli(args).status, 2) << args.back();
  }
  auto r = Cli({"edit", dir.File("Missing.sty"), "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "This file could not be opened\n");
  test::WriteFile(in, Bytes(10, 0));
  r = Cli({"edit", in, "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The program could not process this file\n");
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(EditTest, UnwritableOutputIsReportedAndLeftAlone) {
  fs::create_directory(out);
  auto r = Cli({"edit", in, "-o", out, "--tempo", "90"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "File may have read-only attribute. Change attribute or choose another name.\n");
  EXPECT_TRUE(fs::is_directory(out));
}

}  // namespace
}  // namespace vambrio
