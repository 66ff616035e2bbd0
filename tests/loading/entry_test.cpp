#include "loading/entry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>

#include "model/error_reporter.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::StyleBytes;
using test::TrackBuilder;

class EntryTest : public ::testing::Test {
 protected:
  EntryResult Load(const std::string& name, const test::Bytes& bytes, bool gm = false) {
    std::string path = dir.File(name);
    test::WriteFile(path, bytes);
    return Entry(m, path, gm, reported);
  }
  test::TempDir dir;
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter reported;
};

TEST_F(EntryTest, LoadedStyleFillsEveryLine) {
  TrackBuilder t;
  t.TrackName("  Pop Ballad ").Copyright(" (C) Vambrio developers").Tempo(600000).TimeSignature(6, 3)
      .Marker("SInt").ControlChange(8, 7, 100).ControlChange(9, 7, 81).Marker("Intro A").Marker("Main A")
      .ControlChange(10, 7, 30).Marker("Ending A").EndOfTrack();
  auto r = Load("Ballad.sty", StyleBytes(t));
  ASSERT_EQ(r.outcome, EntryResult::Outcome::Loaded);
  EXPECT_EQ(r.caption, "Vambrio   Ballad.sty");
  EXPECT_EQ(r.nameLine, "Pop Ballad - (C) Vambrio developers");
  EXPECT_EQ(r.tempoText, "200");  // 100 quarter notes in 6/8 are 200 eighths
  EXPECT_EQ(m.DisplayTempo, 200);
  EXPECT_EQ(r.timeSignatureText, "6/8");
  ASSERT_EQ(r.sectionLines.size(), 26u);
  EXPECT_EQ(r.sectionLines[0], "All Sections");
  EXPECT_EQ(r.sectionLines[1], "Intro A");
  EXPECT_EQ(r.sectionLines[3], "Ending A");
  for (size_t i = 4; i < 26; ++i) EXPECT_EQ(r.sectionLines[i], "");
  EXPECT_EQ(r.masterVolume, 70);  // (100 + 81 + 30) / 3 = 70.33
  EXPECT_EQ(m.MasterVolume, 70);
  EXPECT_EQ(m.InitialVolumeEventCount, 2);
  EXPECT_EQ(r.statusText, kReadyText);
  EXPECT_EQ(r.sizeText, std::to_string(m.FileSize));
  EXPECT_EQ(m.OutData.size(), static_cast<size_t>(m.FileSize) + 101);
  EXPECT_TRUE(reported.messages.empty());
}

TEST_F(EntryTest, StyleWithoutNameOrVolumeEvents) {
  TrackBuilder t;
  t.Marker("Main A").EndOfTrack();
  auto r = Load("plain.sty", StyleBytes(t));
  ASSERT_EQ(r.outcome, EntryResult::Outcome::Loaded);
  EXPECT_EQ(r.nameLine, " - ");
  EXPECT_EQ(r.masterVolume, 0);
  EXPECT_EQ(r.tempoText, "0");
}

TEST_F(EntryTest, MasterVolumeRoundsHalfToEven) {
  TrackBuilder t;
  t.Marker("SInt").ControlChange(0, 7, 100).ControlChange(1, 7, 101).ControlChange(2, 7, 102)
      .ControlChange(3, 7, 103).Marker("Main A").EndOfTrack();  // 101.5
  EXPECT_EQ(Load("a.sty", StyleBytes(t)).masterVolume, 102);
  TrackBuilder u;
  u.Marker("SInt").ControlChange(0, 7, 100).ControlChange(1, 7, 101).Marker("Main A").EndOfTrack();  // 100.5
  EXPECT_EQ(Load("b.sty", StyleBytes(u)).masterVolume, 100);
}

TEST_F(EntryTest, SizeTextUsesThePattern) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(FormatSize(1234567), "1,234,567");
  EXPECT_EQ(FormatSize(12345), "12,345");
  EXPECT_EQ(FormatSize(999), "999");
  EXPECT_EQ(FormatSize(1000), "1,000");
  EXPECT_EQ(FormatSize(0), "");
  TrackBuilder t;
  t.Marker("Main A").EndOfTrack();
  test::Bytes bytes = StyleBytes(t);
  bytes.resize(1234567, 0);
  EXPECT_EQ(Load("big.sty", bytes).sizeText, "1,234,567");
}

TEST_F(EntryTest, FilesThatCannotBeOpened) {
  auto missing = Entry(m, dir.File("missing.sty"), false, reported);
  EXPECT_EQ(missing.outcome, EntryResult::Outcome::CouldNotOpen);
  EXPECT_EQ(missing.message, "This file could not be opened");
  EXPECT_EQ(missing.caption, "Vambrio   missing.sty");
  EXPECT_FALSE(missing.labelsSet);
  EXPECT_FALSE(missing.statusSet);
  EXPECT_EQ(m.StyleFileName, dir.File("missing.sty"));

  mkdir(dir.File("folder.sty").c_str(), 0755);
  EXPECT_EQ(Entry(m, dir.File("folder.sty"), false, reported).outcome, EntryResult::Outcome::CouldNotOpen);
  EXPECT_EQ(Entry(m, "", false, reported).outcome, EntryResult::Outcome::CouldNotOpen);
  EXPECT_TRUE(reported.messages.empty());
}

// The reason under the classic message names the file and says what is wrong.
TEST_F(EntryTest, AFailureSaysWhyInWords) {
  EXPECT_EQ(Entry(m, dir.File("missing.sty"), false, reported).MessageWithReason(dir.File("missing.sty")),
            "This file could not be opened\nmissing.sty: there is no such file");
  mkdir(dir.File("folder.sty").c_str(), 0755);
  EXPECT_EQ(Entry(m, dir.File("folder.sty"), false, reported).reason, "this is a folder, not a style file");

  TrackBuilder t;
  t.TrackName("Whole").Marker("SInt").Marker("Main A");
  for (int i = 0; i < 200; ++i) t.NoteOn(9, 36, 100).Delta(120).NoteOff(9, 36).Delta(120);
  const test::Bytes whole = StyleBytes(t.EndOfTrack());
  ASSERT_GT(whole.size(), 1500u);
  const test::Bytes cut(whole.begin(), whole.begin() + 500);
  EXPECT_EQ(Load("cut.sty", cut).MessageWithReason(dir.File("cut.sty")),
            "The program could not process this file\ncut.sty: the file ends inside its track: 500 of " +
                FormatSize(static_cast<int64_t>(whole.size())) + " bytes");
  EXPECT_EQ(Load("text.sty", test::Bytes(40, 'x')).reason, "it is not a MIDI file (it does not begin with \"MThd\")");
  EXPECT_EQ(Load("empty.sty", {}).reason, "the file is empty");
  EXPECT_EQ(Load("ok.sty", whole).reason, "");
}

TEST_F(EntryTest, FileWithoutReadPermission) {
  TrackBuilder t;
  t.Marker("Main A").EndOfTrack();
  std::string path = dir.File("locked.sty");
  test::WriteFile(path, StyleBytes(t));
  chmod(dir.path().c_str(), 0755);
  chmod(path.c_str(), 0);
  // Root reads any file: try as an ordinary user in a child process.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    StyleModel child = MakeStartupModel();
    SilentErrorSink silent;
    _exit(Entry(child, path, false, silent).outcome == EntryResult::Outcome::CouldNotOpen ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(EntryTest, UnprocessableFileSetsStatusAndSizeOnly) {
  auto r = Load("short.sty", test::Bytes(10, 0));
  EXPECT_EQ(r.outcome, EntryResult::Outcome::CouldNotProcess);
  EXPECT_EQ(r.message, "The program could not process this file");
  EXPECT_FALSE(r.labelsSet);
  EXPECT_TRUE(r.statusSet);
  EXPECT_EQ(r.sizeText, "10");
  EXPECT_EQ(r.statusText, kReadyText);
}

TEST_F(EntryTest, NonAsciiPathLoads) {
  TrackBuilder t;
  t.Marker("Main A").EndOfTrack();
  auto r = Load("Ballade für Klavier – Ü.sty", StyleBytes(t));
  EXPECT_EQ(r.outcome, EntryResult::Outcome::Loaded);
  EXPECT_EQ(r.caption, "Vambrio   Ballade für Klavier – Ü.sty");
}

TEST_F(EntryTest, DisplayTempoOverflowIsReportedNamingEntry) {
  TrackBuilder t;
  t.Tempo(200000).TimeSignature(4, 7).Marker("Main A").EndOfTrack();  // 300 x 128
  auto r = Load("fast.sty", StyleBytes(t));
  EXPECT_EQ(r.outcome, EntryResult::Outcome::Reported);
  EXPECT_FALSE(r.labelsSet);
  EXPECT_FALSE(r.statusSet);
  ASSERT_EQ(reported.messages.size(), 1u);
  EXPECT_EQ(reported.messages[0],
            "Error #: 6, Overflow, encountered in Function Entry. If the solution is not obvious, please report "
            "this to the author.");
}

TEST(FileNamePart, TakesTheTextAfterTheLastSlash) {
  EXPECT_EQ(FileNamePart("/home/user/Styles/Pop.sty"), "Pop.sty");
  EXPECT_EQ(FileNamePart("Pop.sty"), "Pop.sty");
}

}  // namespace
}  // namespace vambrio
