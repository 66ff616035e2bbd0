#include "loading/scan.h"

#include <gtest/gtest.h>

#include "model/error_reporter.h"
#include "style_builder.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::StyleBytes;
using test::TrackBuilder;

struct Scanned {
  StyleModel m = MakeStartupModel();
  bool ok = false;
  CollectingErrorReporter reported;
};

Scanned Scan(const Bytes& file, bool gm = false) {
  Scanned s;
  s.m.StyleData = file;
  s.ok = ScanStyle(s.m, gm, s.reported);
  return s;
}

Scanned Scan(const TrackBuilder& t, bool gm = false) { return Scan(StyleBytes(t), gm); }

int UsedVolumeSlots(const StyleModel& m) {
  int n = 0;
  for (int32_t p : m.VolumeEventPos) n += p > 0;
  return n;
}

TEST(ScanStyle, SetupSectionVolumeEventsAndOneSection) {
  TrackBuilder t;
  t.Marker("SInt");
  int32_t firstVolume = t.Here();
  t.ControlChange(8, 7, 100).ControlChange(9, 7, 90).Marker("Main A");
  int32_t mainStart = t.Here() - 10;  // the marker event: delta, FF 06 len "Main A"
  t.Delta(1920).ControlChange(10, 7, 80).Delta(1920);
  int32_t eotDelta = t.Here();
  t.EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.SectionName[0], "Main A");
  EXPECT_EQ(s.m.SectionName[1], "");
  EXPECT_EQ(s.m.SectionStart[0], mainStart);
  EXPECT_EQ(s.m.SectionEnd[0], eotDelta - 1);
  EXPECT_EQ(s.m.InitialVolumeEventCount, 2);
  EXPECT_EQ(UsedVolumeSlots(s.m), 3);
  EXPECT_EQ(s.m.SIntEndPos, firstVolume);
  EXPECT_EQ(s.m.VolumeEventValue[2], 80);
  EXPECT_EQ(s.m.StyleData[s.m.VolumeEventPos[2]], 80);
  EXPECT_EQ(s.m.EventStart, eotDelta);
  EXPECT_EQ(s.m.StyleData[s.m.Pos], 0xFF);
}

TEST(ScanStyle, SectionBoundsShareTheNextMarkersDeltaTime) {
  TrackBuilder t;
  t.Marker("SInt").Marker("Intro A");
  int32_t introStart = t.Here() - 11;
  t.Delta(200).NoteOn(9, 36, 100);
  int32_t mainDelta = t.Here();
  t.Delta(300).Marker("Main B").EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.SectionStart[0], introStart);
  // Intro A ends on the byte before Main B's status byte, so its range holds
  // the two-byte delta time of the Main B marker, where Main B begins too.
  EXPECT_EQ(s.m.SectionStart[1], mainDelta);
  EXPECT_EQ(s.m.SectionEnd[0], mainDelta + 1);
}

TEST(ScanStyle, OnlyMarkersWithASectionPrefixStartSections) {
  TrackBuilder t;
  t.Marker("SFF1").Marker("SInt").Marker("Intro A").Marker("main a").Marker("Main B").Marker("Fill In AA")
      .Marker("Ending A").Marker("Break").Marker("Mai").EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(SectionCount(s.m), 5);
  const char* expected[] = {"Intro A", "Main B", "Fill In AA", "Ending A", "Break"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.m.SectionName[i], expected[i]);
}

TEST(ScanStyle, MarkerTextKeepsOnlyCharacters32To122) {
  std::string longName = "Main " + std::string(122, 'x');
  TrackBuilder t;
  t.Marker("SInt").Marker(longName).Meta(0x06, {'M', 'a', 'i', 'n', ' ', '{', 'B', 0x09, '~', 0xE9, '}'}).EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.SectionName[0], longName);
  EXPECT_EQ(s.m.SectionName[1], "Main B");
}

TEST(ScanStyle, LongMetaAndSysexLengthsAreVariableLengthQuantities) {
  std::string name(300, 'N');
  test::Bytes dump(200, 0x11);
  dump.push_back(0xF7);
  TrackBuilder t;
  t.TrackName(name).Sysex(dump).Meta(0x7F, test::Bytes(130, 0x22)).Marker("SInt").Marker("Main A").EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.StyleName, name);
  EXPECT_EQ(s.m.SectionName[0], "Main A");
}

TEST(ScanStyle, VolumeEventsFineControllerAndRunningStatus) {
  TrackBuilder t;
  t.Marker("SInt").Marker("Main A").ControlChange(3, 39, 11);
  int32_t running = t.Here();
  t.Delta(5).Running({7, 22}).ControlChange(3, 10, 64).EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(UsedVolumeSlots(s.m), 2);
  EXPECT_EQ(s.m.VolumeEventValue[0], 11);
  EXPECT_EQ(s.m.VolumeEventValue[1], 22);
  EXPECT_EQ(s.m.VolumeEventPos[1], running + 2);  // delta, controller, value
  EXPECT_EQ(s.m.InitialVolumeEventCount, 0);
}

TEST(ScanStyle, VolumeTablesGrowBySixteen) {
  const std::pair<int, size_t> cases[] = {{17, 17}, {18, 33}, {33, 33}, {34, 49}, {49, 49}};
  for (auto [events, slots] : cases) {
    TrackBuilder t;
    t.Marker("SInt");
    for (int i = 0; i < events; ++i) t.ControlChange(i % 16, 7, i % 128);
    t.Marker("Main A").EndOfTrack();
    auto s = Scan(t);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.m.VolumeEventValue.size(), slots) << events;
    EXPECT_EQ(s.m.VolumeEventPos.size(), slots);
    EXPECT_EQ(UsedVolumeSlots(s.m), events);
    EXPECT_EQ(s.m.InitialVolumeEventCount, events);
  }
}

TEST(ScanStyle, TempoAndTimeSignatureTakeTheLastEvent) {
  TrackBuilder t;
  t.Tempo(500000).TimeSignature(4, 2).Marker("SInt");
  int32_t second = t.Here();
  t.Tempo(400000).TimeSignature(6, 3).Marker("Main A");
  for (int i = 0; i < 5; ++i) t.Tempo(600000);
  t.EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.TempoQpm, 100);
  EXPECT_EQ(s.m.TempoEventValue[0], 120);
  EXPECT_EQ(s.m.TempoEventValue[1], 150);
  EXPECT_EQ(s.m.TempoEventPos[1], second + 4);  // delta FF 51 03, then the three bytes
  EXPECT_EQ(s.m.TempoEventValue.size(), 9u);    // 7 events: the table grew by 4
  EXPECT_EQ(s.m.TempoEventValue[6], 100);
  EXPECT_EQ(s.m.TimeSigNumerator, 6);
  EXPECT_EQ(s.m.TimeSigDenominator, 8);
}

TEST(ScanStyle, TempoRoundsHalfToEven) {
  // 60,000,000 / 480,000 = 125 exactly; 60,000,000 / 421,053 = 142.499..; / 800,000 = 75
  TrackBuilder t;
  t.Tempo(421053).Tempo(240000).Marker("Main A").EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.TempoEventValue[0], 142);
  EXPECT_EQ(s.m.TempoQpm, 250);
}

TEST(ScanStyle, GmSystemOnIsNeutralisedOnlyForAnXgPlayer) {
  TrackBuilder t;
  t.GmSystemOn().Marker("SInt").Sysex({0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}).Marker("Main A");
  t.SysexF7({0x7E, 0x7F, 0x09, 0x01, 0xF7}).GmSystemOn().EndOfTrack();
  Bytes file = StyleBytes(t);
  auto xg = Scan(file, false);
  auto gm = Scan(file, true);
  ASSERT_TRUE(xg.ok);
  ASSERT_TRUE(gm.ok);
  EXPECT_EQ(gm.m.StyleData, file);
  Bytes expected = file;
  // The two F0 7E 7F 09 01 F7 messages lose their 01; the F7 event and the XG message stay.
  int changed = 0;
  for (size_t i = 0; i + 5 < file.size(); ++i) {
    if (file[i] == 0xF0 && file[i + 1] == 5 && file[i + 2] == 0x7E && file[i + 3] == 0x7F && file[i + 4] == 0x09) {
      expected[i + 5] = 0;
      ++changed;
    }
  }
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(xg.m.StyleData, expected);
}

TEST(ScanStyle, TrackWithoutEndOfTrackEndsAtItsLength) {
  TrackBuilder t;
  t.Marker("SInt").Marker("Main A").NoteOn(9, 36, 90).Delta(100).NoteOff(9, 36);
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.SectionName[0], "Main A");
  EXPECT_EQ(s.m.SectionEnd[0], 21 + static_cast<int32_t>(t.size()));
}

TEST(ScanStyle, NameAndCopyrightAndUnlistedMetaTypes) {
  TrackBuilder t;
  t.Copyright("(C) Someone").MetaText(0x08, "program name").MetaText(0x0A, "x").TrackName("Pop Style")
      .Marker("SInt").Marker("Main A").EndOfTrack();
  auto s = Scan(t);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.m.StyleName, "Pop Style");
  EXPECT_EQ(s.m.StyleCopyright, "(C) Someone");
}

TEST(ScanStyle, EachScanStartsFresh) {
  TrackBuilder many;
  many.Marker("SInt");
  for (int i = 0; i < 40; ++i) many.ControlChange(i % 16, 7, 100);
  many.Marker("Main A").Marker("Main B").Marker("Main C");
  for (int i = 0; i < 9; ++i) many.Tempo(500000);
  many.EndOfTrack();
  TrackBuilder few;
  few.Marker("Main A").ControlChange(0, 7, 50).Tempo(500000).TimeSignature(3, 2).EndOfTrack();

  auto s = Scan(many);
  ASSERT_TRUE(s.ok);
  ASSERT_NE(s.m.SIntEndPos, 0);
  s.m.StyleData = StyleBytes(few);
  s.m.InitialVolumeEventCount = 0;
  ASSERT_TRUE(ScanStyle(s.m, false, s.reported));
  EXPECT_EQ(UsedVolumeSlots(s.m), 1);
  EXPECT_EQ(s.m.VolumeEventValue.size(), 17u);
  EXPECT_EQ(s.m.TempoEventValue.size(), 5u);
  EXPECT_EQ(s.m.TempoEventValue[1], 0);
  EXPECT_EQ(SectionCount(s.m), 1);
  EXPECT_EQ(s.m.SIntEndPos, 0);

  // A style without tempo or time signature shows neither of the earlier style.
  TrackBuilder none;
  none.Marker("Main A").EndOfTrack();
  s.m.StyleData = StyleBytes(none);
  ASSERT_TRUE(ScanStyle(s.m, false, s.reported));
  EXPECT_EQ(s.m.TempoQpm, 0);
  EXPECT_EQ(s.m.TimeSigNumerator, 0);
  EXPECT_EQ(s.m.TimeSigDenominator, 0);
}

// Every file that cannot be walked is rejected, never read past its end.
TEST(ScanStyle, RejectsTracksItCannotWalk) {
  auto withTrack = [](const TrackBuilder& t) { return StyleBytes(t); };
  TrackBuilder ok;
  ok.Marker("Main A").EndOfTrack();
  Bytes valid = withTrack(ok);

  std::vector<std::pair<std::string, Bytes>> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"shorter than a header", Bytes(valid.begin(), valid.begin() + 21)});
  Bytes huge = valid;
  huge[18] = 0x80;
  cases.push_back({"track length of 2^31", huge});
  TrackBuilder noEnd;
  noEnd.Marker("Main A").NoteOn(0, 60, 100);
  Bytes longer = withTrack(noEnd);
  longer[21] += 10;
  cases.push_back({"track longer than the file", longer});
  cases.push_back({"truncated in a meta event", Bytes(valid.begin(), valid.end() - 4)});
  TrackBuilder noSection;
  noSection.Marker("SInt").EndOfTrack();
  cases.push_back({"no section before End of Track", withTrack(noSection)});
  TrackBuilder tooMany;
  for (int i = 0; i < 27; ++i) tooMany.Marker("Main " + std::to_string(i));
  tooMany.EndOfTrack();
  cases.push_back({"27 section markers", withTrack(tooMany)});
  TrackBuilder zeroTempo;
  zeroTempo.Tempo(0).Marker("Main A").EndOfTrack();
  cases.push_back({"tempo 0", withTrack(zeroTempo)});
  TrackBuilder bigDenominator;
  bigDenominator.TimeSignature(4, 15).Marker("Main A").EndOfTrack();
  cases.push_back({"denominator byte 15", withTrack(bigDenominator)});
  TrackBuilder badTempoLength;
  badTempoLength.Meta(0x51, {0x07, 0xA1}).Marker("Main A").EndOfTrack();
  cases.push_back({"tempo with two data bytes", withTrack(badTempoLength)});
  TrackBuilder runningAtStart;
  runningAtStart.Running({60, 100}).Marker("Main A").EndOfTrack();
  cases.push_back({"running status at the start", withTrack(runningAtStart)});
  TrackBuilder runningAfterMeta;
  runningAfterMeta.NoteOn(0, 60, 100).Marker("Main A").Running({60, 0}).EndOfTrack();
  cases.push_back({"running status after a meta event", withTrack(runningAfterMeta)});
  TrackBuilder runningAfterSysex;
  runningAfterSysex.Marker("Main A").NoteOn(0, 60, 100).GmSystemOn().Running({60, 0}).EndOfTrack();
  cases.push_back({"running status after a sysex event", withTrack(runningAfterSysex)});
  TrackBuilder systemCommon;
  systemCommon.Marker("Main A").Raw({0x00, 0xF2, 0x00, 0x00}).EndOfTrack();
  cases.push_back({"song position in a track", withTrack(systemCommon)});

  TrackBuilder fiveByteDelta;
  fiveByteDelta.Marker("Main A").DeltaBytes({0x81, 0x80, 0x80, 0x80, 0x00}).NoteOn(0, 60, 100).EndOfTrack();
  cases.push_back({"a five-byte delta time", withTrack(fiveByteDelta)});
  TrackBuilder fiveByteLength;
  fiveByteLength.Marker("Main A").Raw({0x00, 0xFF, 0x01, 0x80, 0x80, 0x80, 0x80, 0x01, 'x'}).EndOfTrack();
  cases.push_back({"a five-byte meta length", withTrack(fiveByteLength)});

  for (const auto& [what, bytes] : cases) {
    auto s = Scan(bytes);
    EXPECT_FALSE(s.ok) << what;
  }
}

TEST(TextData, ErrorsAreReportedAndTheTextSoFarKept) {
  StyleModel m = MakeStartupModel();
  m.StyleData = {0xFF, 0x06, 0x05, 'M', 'a', 'i'};
  m.Pos = 0;
  CollectingErrorReporter reported;
  TextData(m, reported);
  EXPECT_EQ(m.TextStr, "Mai");
  ASSERT_EQ(reported.messages.size(), 1u);
  EXPECT_EQ(reported.messages[0],
            "Error #: 9, Subscript out of range, encountered in Function TextData. If the solution is not "
            "obvious, please report this to the author.");
}

TEST(CalcTime, LeavesPosOnTheLastByte) {
  StyleModel m;
  m.StyleData = {0x00, 0x81, 0x80, 0x00, 0x90, 0xFF, 0xFF, 0xFF, 0x7F};
  m.Pos = 1;
  EXPECT_EQ(CalcTime(m), 16384u);
  EXPECT_EQ(m.Pos, 3);
  m.Pos = 0;
  EXPECT_EQ(CalcTime(m), 0u);
  EXPECT_EQ(m.Pos, 0);
  m.Pos = 5;
  EXPECT_EQ(CalcTime(m), 0x0FFFFFFFu);  // the largest quantity, four bytes
  EXPECT_EQ(m.Pos, 8);
}

}  // namespace
}  // namespace vambrio
