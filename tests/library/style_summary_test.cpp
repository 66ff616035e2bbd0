// What one style contributes to the library.
#include <gtest/gtest.h>

#include "library/style_summary.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::library {
namespace {

using test::Bytes;
using test::CasmBuilder;
using test::TrackBuilder;

Bytes SixEightStyle(const std::string& formatMarker, const Bytes& casm) {
  TrackBuilder t;
  if (!formatMarker.empty()) t.Marker(formatMarker);
  t.TrackName("  Waltz Six ").Copyright("Vambrio").TempoBpm(100).TimeSignature(6, 3).Marker("SInt");
  t.ControlChange(9, 7, 100).Marker("Intro A").Delta(480).NoteOn(9, 36, 100).Delta(480).NoteOff(9, 36);
  t.Marker("Main A").Delta(480).NoteOn(10, 40, 100).Delta(480).NoteOff(10, 40).EndOfTrack();
  return test::StyleBytes(t, casm);
}

TEST(StyleSummary, ReadsWhatTheWindowShowsAndTheChordRulesParts) {
  test::TempDir dir;
  CasmBuilder casm;
  casm.Group("Intro A,Main A").Ctab({8, 8}).Ctab({9, 9}).Ctab({10, 10}).Cntt().Group("Main A").Ctab({11, 13});
  std::string path = dir.File("waltz.sty");
  test::WriteFile(path, SixEightStyle("SFF1", casm.Build()));

  StyleSummary s = SummarizeStyleFile(path);
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(s.name, "Waltz Six");
  EXPECT_EQ(s.copyright, "Vambrio");
  EXPECT_EQ(s.tempo, 200);  // 100 quarter notes a minute in 6/8, as the window shows it
  EXPECT_EQ(s.timeSignature, "6/8");
  EXPECT_EQ(s.format, "SFF1");
  EXPECT_EQ(s.sections, (std::vector<std::string>{"Intro A", "Main A"}));
  EXPECT_EQ(PartList(s.parts), "Rhythm Sub, Rhythm Main, Bass, Pad");
  EXPECT_EQ(s.hash.size(), 32u);
}

TEST(StyleSummary, FormatComesFromTheMarkerElseFromTheKindOfEntries) {
  test::TempDir dir;
  auto formatOf = [&](const std::string& marker, const Bytes& casm) {
    test::WriteFile(dir.File("s.sty"), SixEightStyle(marker, casm));
    return SummarizeStyleFile(dir.File("s.sty")).format;
  };
  Bytes ctb2 = CasmBuilder().Group("Main A").Ctb2({8, 8, 1, 1, 0, 0, 127, kCtb2RuleLength}).Build();
  Bytes ctab = CasmBuilder().Group("Main A").Ctab({8, 8}).Build();
  EXPECT_EQ(formatOf("SFF2", ctab), "SFF2");
  EXPECT_EQ(formatOf("", ctb2), "SFF2");
  EXPECT_EQ(formatOf("", ctab), "SFF1");
  EXPECT_EQ(formatOf("", {}), "");
  EXPECT_EQ(formatOf("SFF3", {}), "");
}

TEST(StyleSummary, SameBytesSameHashAndErrorsAsTheWindowWordsThem) {
  test::TempDir dir;
  Bytes style = SixEightStyle("SFF1", {});
  test::WriteFile(dir.File("a.sty"), style);
  test::WriteFile(dir.File("b.sty"), style);
  style.back() ^= 1;
  test::WriteFile(dir.File("c.sty"), style);
  EXPECT_EQ(SummarizeStyleFile(dir.File("a.sty")).hash, SummarizeStyleFile(dir.File("b.sty")).hash);
  EXPECT_NE(SummarizeStyleFile(dir.File("a.sty")).hash, SummarizeStyleFile(dir.File("c.sty")).hash);

  test::WriteFile(dir.File("broken.sty"), Bytes{'M', 'T', 'h', 'd', 0, 0});
  StyleSummary broken = SummarizeStyleFile(dir.File("broken.sty"));
  EXPECT_EQ(broken.error, "The program could not process this file\nits track is missing (no \"MTrk\" after the header)");
  EXPECT_EQ(broken.hash.size(), 32u);  // still known: a broken copy is a duplicate too
  EXPECT_EQ(broken.size, 6);

  StyleSummary missing = SummarizeStyleFile(dir.File("missing.sty"));
  EXPECT_EQ(missing.error, "This file could not be opened\nthere is no such file");
  EXPECT_EQ(missing.hash, "");
}

TEST(StyleSummary, PartsAreThoseOfTheEntriesTheChordRulesHoldInFull) {
  test::TempDir dir;
  auto partsOf = [&](Bytes file) {
    test::WriteFile(dir.File("s.sty"), file);
    return PartList(SummarizeStyleFile(dir.File("s.sty")).parts);
  };
  // Both kinds of entries, in every group; an entry too short to hold its
  // note ranges is left out, as the player leaves it out.
  CasmBuilder casm;
  casm.Group("Intro A").Ctab({8, 13}).Group("Main A").Ctb2({9, 15, 1, 1, 0, 0, 127, kCtb2RuleLength});
  casm.Ctab({10, 11, 1, 1, 0, 0, 127, kCtabRuleLength - 1});
  EXPECT_EQ(partsOf(SixEightStyle("", casm.Build())), "Pad, Phrase 2");
  // A block cut short by the end of the file keeps its whole entries.
  Bytes cut = SixEightStyle("", CasmBuilder().Group("Main A").Ctab({8, 8}).Ctab({9, 14}).Build());
  cut.resize(cut.size() - 20);
  EXPECT_EQ(partsOf(cut), "Rhythm Sub");
}

}  // namespace
}  // namespace vambrio::library
