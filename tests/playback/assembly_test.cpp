#include "cli_run.h"
#include "playback/assembly.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/error_reporter.h"
#include "smf_check.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::ReadAll;

using test::Bytes;
using test::CasmBuilder;
using test::ChordEntry;
using test::TrackBuilder;
using ::testing::ElementsAreArray;

const Bytes kDrumSetup = {0x01, 0xB9, 0x00, 0x7F, 0x00, 0xB9, 0x20, 0x00, 0x00, 0xC9, 0x00,
                          0x01, 0xB8, 0x00, 0x7F, 0x00, 0xB8, 0x20, 0x00, 0x00, 0xC8, 0x00};

// Pads the track with a text event so that its next byte gets the file index `here`.
void PadTo(TrackBuilder& t, int32_t here) {
  const int32_t gap = here - t.Here();
  ASSERT_GE(gap, 4);
  ASSERT_LE(gap, 131);
  t.Text(std::string(static_cast<size_t>(gap - 4), '.'));
}

// A style whose setup part and sections are described by the test, with the
// model fields set as a scan leaves them.
struct BuiltStyle {
  TrackBuilder track;
  std::vector<std::pair<std::string, int32_t>> sections;  // name, SectionStart

  void Section(const std::string& name) {
    sections.emplace_back(name, track.Here());
    track.Marker(name);
  }

  StyleModel Model(const Bytes& casm = {}) {
    StyleModel m = MakeStartupModel();
    TrackBuilder t = track;
    const int32_t endOfTrack = t.Here();
    t.EndOfTrack();
    m.StyleData = test::StyleBytes(t, casm);
    m.FileSize = static_cast<int32_t>(m.StyleData.size());
    m.OutData.assign(m.StyleData.size() + 101, 0);
    m.TrackLength = static_cast<int32_t>(t.size());
    m.EventStart = endOfTrack;
    m.StatusByte = 0xFF;
    for (size_t i = 0; i < sections.size(); ++i) {
      m.SectionName[i] = sections[i].first;
      m.SectionStart[i] = sections[i].second;
      // A section's last byte is the last delta-time byte of the next marker
      // (of End of Track for the last section).
      const int32_t next = i + 1 < sections.size() ? sections[i + 1].second : endOfTrack;
      m.SectionEnd[i] = i + 1 < sections.size() ? next : next - 1;
    }
    return m;
  }
};

Bytes Assembled(const StyleModel& m) { return Bytes(m.OutData.begin(), m.OutData.begin() + m.OutPos + 1); }

// The 100-byte setup part and the 300-byte section of the worked example.
BuiltStyle ExampleStyle() {
  BuiltStyle s;
  s.track.Marker("SInt").ProgramChange(10, 33).ControlChange(10, 7, 100);
  PadTo(s.track, 122);
  s.Section("Main A");
  for (int i = 0; i < 28; ++i) s.track.Delta(240).NoteOn(10, 36 + i, 100).Delta(240).NoteOff(10, 36 + i);
  PadTo(s.track, 417);
  s.track.Delta(240).NoteOff(10, 40);
  return s;
}

TEST(MakeSingleTrack, WorkedExampleGivesTrackLength618) {
  BuiltStyle s = ExampleStyle();
  StyleModel m = s.Model();
  ASSERT_EQ(m.SectionStart[0] - 22, 100);
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, PlayChoices{}, errors));
  EXPECT_TRUE(errors.messages.empty());
  Bytes out = Assembled(m);
  ASSERT_EQ(out.size(), 22u + 618u);
  EXPECT_EQ(Bytes(out.begin() + 18, out.begin() + 22), (Bytes{0x00, 0x00, 0x02, 0x6A}));
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 18), Bytes(m.StyleData.begin(), m.StyleData.begin() + 18));
  EXPECT_EQ(out[22], 0x0A);
  // The setup part, then the drum setup, then the section.
  EXPECT_EQ(Bytes(out.begin() + 23, out.begin() + 122), Bytes(m.StyleData.begin() + 23, m.StyleData.begin() + 122));
  EXPECT_EQ(Bytes(out.begin() + 122, out.begin() + 144), kDrumSetup);
  EXPECT_EQ(Bytes(out.begin() + 144, out.begin() + 154), Bytes(m.StyleData.begin() + 122, m.StyleData.begin() + 132));
  // The channel reset: 48 events, channels 1 to 16, controllers 64, 66, 123, two ticks apart.
  Bytes reset;
  for (int c = 0; c < 16; ++c)
    for (int cc : {0x40, 0x42, 0x7B}) reset.insert(reset.end(), {0x02, static_cast<uint8_t>(0xB0 + c), static_cast<uint8_t>(cc), 0x00});
  EXPECT_EQ(Bytes(out.end() - 196, out.end() - 4), reset);
  EXPECT_EQ(Bytes(out.end() - 4, out.end()), (Bytes{0x00, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(test::SmfStructureError(out), "");
}

TEST(MakeSingleTrack, XgSystemOnComesFirst) {
  BuiltStyle s = ExampleStyle();
  StyleModel m = s.Model();
  PlayChoices choices;
  choices.XgSystemOn = true;
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, choices, errors));
  Bytes out = Assembled(m);
  EXPECT_EQ(out.size(), 22u + 629u);
  EXPECT_THAT(Bytes(out.begin() + 22, out.begin() + 33),
              ElementsAreArray({0x0A, 0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
  EXPECT_EQ(out[33], 0x00);  // the style's own first delta time now stands second and keeps its value
  EXPECT_EQ(test::SmfStructureError(out), "");
}

TEST(MakeSingleTrack, TheHeadIsAlwaysThatOfASingleTrackFile) {
  BuiltStyle s = ExampleStyle();
  StyleModel m = s.Model();
  // Chunk identifiers and counts that the scan never looks at.
  const Bytes odd = {'R', 'I', 'F', 'F', 0, 0, 0, 9, 0, 2, 0, 3, 0x01, 0xE0, 'X', 'X', 'X', 'X'};
  std::copy(odd.begin(), odd.end(), m.StyleData.begin());
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, PlayChoices{}, errors));
  Bytes out = Assembled(m);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 18),
            (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'}));
  test::SmfFile f = test::ReadSmf(out);
  EXPECT_TRUE(f.ok()) << f.error;
  EXPECT_EQ(f.division, 480);
}

TEST(MakeSingleTrack, WithoutSetupEventsTheDrumSetupStartsTheTrack) {
  BuiltStyle s;
  s.Section("Main A");
  s.track.Delta(100).NoteOn(9, 36, 100);
  StyleModel m = s.Model();
  ASSERT_EQ(m.SectionStart[0], 22);
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, PlayChoices{}, errors));
  Bytes out = Assembled(m);
  Bytes drums = kDrumSetup;
  drums[0] = 0x0A;
  EXPECT_EQ(Bytes(out.begin() + 22, out.begin() + 44), drums);
}

TEST(MakeSingleTrack, AMultiByteFirstDeltaTimeIsReplacedWhole) {
  BuiltStyle s;
  s.track.Delta(3000).Marker("SInt");  // delta 3000 takes two bytes
  s.Section("Main A");
  s.track.Delta(100).NoteOn(9, 36, 100);
  StyleModel m = s.Model();
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, PlayChoices{}, errors));
  Bytes out = Assembled(m);
  EXPECT_THAT(Bytes(out.begin() + 22, out.begin() + 26), ElementsAreArray({0x0A, 0xFF, 0x06, 0x04}));
  test::SmfFile f = test::ReadSmf(out);
  ASSERT_TRUE(f.ok()) << f.error;
  EXPECT_EQ(f.events[0].delta, 10u);
  EXPECT_EQ(f.events[0].metaType, 0x06);
}

TEST(MakeSingleTrack, ClearedPartsKeepEveryNoteWithVelocityZero) {
  BuiltStyle s;
  s.track.Marker("SInt");
  s.Section("Main A");
  for (int ch = 8; ch < 16; ++ch) s.track.Delta(10).NoteOn(ch, 60, 90).Delta(480).NoteOff(ch, 60, 40);
  s.track.Delta(10).NoteOn(3, 60, 90);  // a channel of no part
  CasmBuilder casm;
  casm.Group("Main A");
  for (int ch : {3, 8, 9, 10, 11, 12, 13, 14, 15}) {
    ChordEntry e;
    e.sourceChannel = ch;
    e.destChannel = ch;
    casm.Ctab(e);
  }
  StyleModel m = s.Model(casm.Build());
  m.CurrentSectionName = "Main A";
  PlayChoices choices;
  choices.Parts.fill(0);
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, choices, errors));
  test::SmfFile f = test::ReadSmf(Assembled(m));
  ASSERT_TRUE(f.ok()) << f.error;
  int notes = 0;
  uint64_t lastNote = 0;
  for (const auto& e : f.events) {
    if (!e.IsNote()) continue;
    ++notes;
    lastNote = e.tick;
    EXPECT_EQ(e.data[1], e.Channel() == 3 ? 90 : 0) << "channel " << e.Channel();
  }
  EXPECT_EQ(notes, 17);
  EXPECT_EQ(f.events.back().tick - lastNote, 96u);  // the reset keeps the section's length
}

TEST(MakeSingleTrack, ReadsTheChordTablesOfTheSectionBetweenTheTwoStretches) {
  BuiltStyle s;
  s.track.Marker("SInt").NoteOn(10, 62, 1).NoteOff(10, 62);  // a setup note, with the tables as they were
  s.Section("Main A");
  s.track.Delta(10).NoteOn(10, 62, 90);
  s.Section("Main B");
  s.track.Delta(10).NoteOn(10, 62, 90);
  ChordEntry a;
  a.sourceChannel = 10;
  a.destChannel = 10;
  a.sourceRoot = 2;
  ChordEntry b = a;
  b.sourceRoot = 7;
  b.noteLow = 64;
  StyleModel m = s.Model(CasmBuilder().Group("Main A").Ctab(a).Group("Main B").Ctab(b).Build());
  CollectingErrorReporter errors;
  auto notes = [&](int16_t section) {
    m.CurrentSectionName = m.SectionName[section];
    EXPECT_TRUE(AssembleSingleTrack(m, section, PlayChoices{}, errors));
    std::vector<int> out;
    for (const auto& e : test::ReadSmf(Assembled(m)).events)
      if (e.IsNote()) out.push_back(e.data[0]);
    return out;
  };
  EXPECT_EQ(notes(0), (std::vector<int>{62, 62, 60}));  // start-up tables: channel 11 untransposed
  EXPECT_EQ(notes(1), (std::vector<int>{60, 60, 67}));  // Main A's root left in force; Main B's limits
  EXPECT_TRUE(errors.messages.empty());
}

TEST(MakeSingleTrack, SystemExclusiveEventsAreDroppedWithTheirDeltaTimes) {
  BuiltStyle s;
  s.track.Marker("SInt").Delta(5).GmSystemOn().Delta(7).ControlChange(9, 7, 100);
  s.Section("Main A");
  s.track.Delta(30).Sysex({0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}).Delta(40).NoteOn(9, 36, 100);
  StyleModel m = s.Model();
  PlayChoices choices;
  choices.IncludeSysex = false;
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, choices, errors));
  test::SmfFile f = test::ReadSmf(Assembled(m));
  ASSERT_TRUE(f.ok()) << f.error;
  std::vector<std::pair<uint8_t, uint32_t>> kinds;  // status, delta
  for (const auto& e : f.events) {
    EXPECT_NE(e.status, 0xF0);
    if (e.status == 0xB9 && e.data[0] == 7) kinds.emplace_back(e.status, e.delta);
    if (e.IsNote()) kinds.emplace_back(e.status, e.delta);
  }
  EXPECT_EQ(kinds, (std::vector<std::pair<uint8_t, uint32_t>>{{0xB9, 7}, {0x99, 40}}));
}

TEST(MakeSingleTrack, AnEmptySectionIsStillWritten) {
  BuiltStyle s;
  s.track.Marker("SInt");
  s.Section("Main A");
  StyleModel m = s.Model();
  m.SectionEnd[0] = m.SectionStart[0];
  test::TempDir dir;
  CollectingErrorReporter errors;
  MakeSingleTrack(m, 0, PlayChoices{}, errors, dir.File(kPlayerFileName), {});
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(dir.File(kPlayerFileName)));
}

TEST(MakeSingleTrack, TheBufferAlwaysFits) {
  // Small events without a CASM block: the assembly adds more than 101 bytes.
  BuiltStyle s;
  s.Section("Main A");
  s.track.NoteOn(9, 36, 100);
  StyleModel m = s.Model();
  m.OutData.assign(m.StyleData.size() + 101, 0);
  PlayChoices choices;
  choices.XgSystemOn = true;
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, choices, errors));
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(test::SmfStructureError(Assembled(m)), "");
  const size_t capacity = m.OutData.size();
  ASSERT_TRUE(AssembleSingleTrack(m, 0, choices, errors));
  EXPECT_EQ(m.OutData.size(), capacity);  // grown once, not at every assembly
}

TEST(MakeSingleTrack, ASectionIndexOutsideTheTableIsReported) {
  BuiltStyle s = ExampleStyle();
  StyleModel m = s.Model();
  test::TempDir dir;
  CollectingErrorReporter errors;
  int closed = 0;
  MakeSingleTrack(m, 26, PlayChoices{}, errors, dir.File(kPlayerFileName), [&] { ++closed; });
  EXPECT_THAT(errors.messages, ElementsAreArray({::testing::HasSubstr("Error #: 9, Subscript out of range, "
                                                                      "encountered in Function MakeSingleTrack.")}));
  EXPECT_EQ(closed, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File(kPlayerFileName)));
}

TEST(MakeSingleTrack, PlayerFileHoldsExactlyTheAssembledFile) {
  BuiltStyle s = ExampleStyle();
  s.Section("Fill In AA");
  s.track.Delta(10).NoteOn(9, 36, 100);
  StyleModel m = s.Model();
  test::TempDir dir;
  const std::string path = dir.File(kPlayerFileName);
  CollectingErrorReporter errors;
  std::vector<uintmax_t> sizesAtClose;
  auto close = [&] { sizesAtClose.push_back(std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0); };
  MakeSingleTrack(m, 0, PlayChoices{}, errors, path, close);  // the long section first
  MakeSingleTrack(m, 1, PlayChoices{}, errors, path, close);
  EXPECT_TRUE(errors.messages.empty());
  Bytes file = ReadAll(path);
  EXPECT_EQ(file, Assembled(m));
  EXPECT_EQ(test::SmfStructureError(file), "");
  // The sequencer is told to close before each rewrite: it still saw the earlier file.
  EXPECT_EQ(sizesAtClose, (std::vector<uintmax_t>{0, 640}));
}

TEST(SaveFile, FailuresAreReportedWithTheirMessages) {
  BuiltStyle s = ExampleStyle();
  StyleModel m = s.Model();
  CollectingErrorReporter errors;
  ASSERT_TRUE(AssembleSingleTrack(m, 0, PlayChoices{}, errors));
  test::TempDir dir;
  SaveFile(m, dir.File("missing/Player.tmp"), errors);
  SaveFile(m, dir.path().string(), errors);
  EXPECT_THAT(errors.messages,
              ElementsAreArray({"Error #: 53, File not found, encountered in Function SaveFile. If the solution is "
                                "not obvious, please report this to the author.",
                                "File may have read-only attribute. Change attribute or choose another name."}));
}

}  // namespace
}  // namespace vambrio
