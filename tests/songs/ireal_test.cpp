#include "songs/ireal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lead_sheets.h"
#include "songs/import.h"
#include "songs_test_support.h"

namespace vambrio::songs::test {
namespace {

using ::testing::HasSubstr;
using vambrio::test::IrealLink;
using vambrio::test::IrealSong;

// The one song of a link with this music, imported.
ImportedSong Song(const std::string& music, int repeats = 1, const SectionMapping& mapping = {}) {
  Imported in = ImportBytes(IrealLink({{"Tune", "Doe John", "Medium Swing", "C", music, 0, repeats}}), "link", mapping);
  EXPECT_EQ(in.songs.size(), 1u);
  return in.songs.empty() ? ImportedSong{} : in.songs[0];
}

TEST(IrealLink, ScramblingAndAbbreviationsAreUndone) {
  std::string music;
  for (int i = 0; i < 120; ++i) music += static_cast<char>('0' + i % 75);
  const std::string scrambled = vambrio::test::IrealScramble(music);
  EXPECT_EQ(scrambled.substr(10, 5), std::string(music.rbegin() + 70, music.rbegin() + 75));  // 0..4 and 49..45
  EXPECT_NE(scrambled.substr(10, 50), music.substr(0, 50));
  for (size_t size : {10u, 51u, 52u, 101u, 120u})
    EXPECT_EQ(UnscrambleIreal(vambrio::test::IrealScramble(music.substr(0, size))), music.substr(0, size)) << size;
  EXPECT_EQ(UnscrambleIreal("1r34LbKcu7C^7XyQKcl LZ"), "C^7   | x  |");
  EXPECT_EQ(ScrambleIreal(music), scrambled);
}

TEST(IrealLink, PlaylistsHtmlAndOldLinksGiveEverySongAndNameTheDamagedOne) {
  const std::string link = IrealLink({{"First", "Doe John", "Bossa Nova", "Eb-", "[T44Eb-7 |Ab7 Z", 140, 1},
                                      {"Broken", "Roe Jane", "Waltz", "C", "[T34C |H7 Z", 0, 1},
                                      {"Third", "Poe Jim", "Ballad", "G", "[G^7 Z", 0, 1}},
                                     "Gig & Co");
  const std::string html = "<html><body><a href=\"" + link + "\">Gig</a> <a href='irealbook://Old%20One=Comp=Style=F=n=" +
                           "%5BT44F%20%7CC7%20Z'>old</a></body></html>";
  const Imported in = ImportBytes(html, "export.html");
  ASSERT_TRUE(in.error.empty()) << in.error;
  ASSERT_EQ(in.songs.size(), 4u);
  EXPECT_EQ(in.name, "Gig & Co");
  const ImportedSong& first = in.songs[0];
  ASSERT_TRUE(first.Ok()) << first.error;
  EXPECT_EQ(first.info.title, "First");
  EXPECT_EQ(first.info.composer, "Doe John");
  EXPECT_EQ(first.info.style, "Bossa Nova");
  EXPECT_EQ(first.info.key, "Eb-");
  EXPECT_EQ(first.info.tempo, 140);
  EXPECT_EQ(first.chart.Tag("key"), "Eb-");
  EXPECT_EQ(Bars(first.chart), (Strings{"Eb-7", "Ab7"}));
  EXPECT_EQ(first.chart.bars[0].slots[0].chord, (Chord{3, 10, -1}));
  EXPECT_FALSE(in.songs[1].Ok());
  EXPECT_THAT(in.songs[1].error, HasSubstr("song 2 \"Broken\": character"));
  EXPECT_THAT(in.songs[1].error, HasSubstr("unexpected \"H\""));
  EXPECT_TRUE(in.songs[2].Ok());
  EXPECT_EQ(in.songs[3].info.title, "Old One");
  EXPECT_EQ(Bars(in.songs[3].chart), (Strings{"F", "C7"}));

  // Not what they claim: no link, a song without its music, a cut link.
  EXPECT_FALSE(ImportBytes("no links here", "list.txt").error.empty());
  EXPECT_THAT(ImportBytes("irealb://Title%3DComposer%3D%3DStyle%3DC", "x.txt").songs.at(0).error, HasSubstr("no music"));
  EXPECT_FALSE(ImportBytes(link.substr(0, link.size() / 2), "cut.txt").songs.empty());
}

TEST(IrealForm, CellsRepeatsEndingsAndBarSigns) {
  // Cells: C7 two beats, then one each; x repeats the bar; endings on their passes.
  ImportedSong s = Song("{*AT44C7  B7Bb7|x |N1F  G7 }|N2Bb^7 |Z");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(Bars(s.chart), (Strings{"C7 . B7 Bb7", "C7 . B7 Bb7", "F G7", "C7 . B7 Bb7", "C7 . B7 Bb7", "Bb^7"}));
  EXPECT_EQ(s.writtenBars, 4u);

  // A count in the text, three times; odd metre; N.C., a slash, an invisible root, an alternate chord left out.
  s = Song("[T54{C   D |E<3x>}|nXyQ|F7(Db7)W/A |p G-/Bb Z");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(s.info.beats, 5);
  EXPECT_EQ(Bars(s.chart), (Strings{"C . . D .", "E", "C . . D .", "E", "C . . D .", "E", "N.C.", "F7 F7/A", ". G-/Bb"}));
  EXPECT_EQ(s.chart.bars[7].slots[1].chord, (Chord{5, 19, 9}));

  // r repeats two bars and takes two; three endings, one a pass.
  s = Song("A |B |r|  |{C |N1D }|N2E }|N3F Z");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(Bars(s.chart), (Strings{"A", "B", "A", "B", "C", "D", "C", "E", "C", "F"}));
}

TEST(IrealForm, JumpsCodaAndFine) {
  ImportedSong s = Song("*AC |S F |G Q|<D.S. al Coda>A- |Z Q*BD |E Z");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(Bars(s.chart), (Strings{"C", "F", "G", "A-", "F", "G", "D", "E"}));
  EXPECT_EQ(Sections(s.chart), (Strings{"Main A@1", "Fill In BB@6", "Main B@7", "Ending B@9"}));

  s = Song("C |D <Fine>|E |<D.C. al Fine>F Z");
  EXPECT_EQ(Bars(s.chart), (Strings{"C", "D", "E", "F", "C", "D"}));

  // A form that goes round for ever is an error naming the bar.
  s = Song("{C |D }|<D.C.>E Z");
  EXPECT_TRUE(s.Ok()) << s.error;  // D.C. plays the repeat once more, then ends
  EXPECT_EQ(Bars(s.chart).size(), 8u);
}

TEST(IrealForm, SectionsMapToTheStylesWithFillsAndEnding) {
  ImportedSong s = Song("*iC |G7 |*AC |F |*BG |G7 |*AC Z");
  EXPECT_EQ(Sections(s.chart), (Strings{"Intro A@1", "Main A@3", "Fill In BB@4", "Main B@5", "Fill In AA@6",
                                         "Main A@7", "Ending A@8"}));
  // Unmarked: Main A, Main B from the second time through; each choice a setting.
  s = Song("C |F |G |C Z", 2);
  EXPECT_EQ(Sections(s.chart), (Strings{"Main A@1", "Fill In BB@4", "Main B@5", "Ending B@9"}));
  SectionMapping plain;
  plain.fills = plain.ending = false;
  plain.unmarkedAgain = "Main A";
  s = Song("C |F |G |C Z", 2, plain);
  EXPECT_EQ(Sections(s.chart), (Strings{"Main A@1"}));
  EXPECT_EQ(s.chart.bars.size(), 8u);
}

TEST(IrealChords, RoughAndUnknownQualitiesWarnWithSongAndBar) {
  ImportedSong s = Song("C |C7b9b13#11 |F7alt |G^13 Z");
  ASSERT_TRUE(s.Ok()) << s.error;
  ASSERT_EQ(s.warnings.size(), 3u);
  EXPECT_THAT(s.warnings[0], HasSubstr("\"Tune\", bar 2: \"C7b9b13#11\" plays as C7"));
  EXPECT_THAT(s.warnings[1], HasSubstr("bar 3: \"F7alt\" plays as F7(#9)"));
  EXPECT_THAT(s.warnings[2], HasSubstr("\"G^13\" plays as G6(9)"));
  EXPECT_THAT(Song("C |Cx9 Z").error, HasSubstr("\"Tune\": character"));
}

}  // namespace
}  // namespace vambrio::songs::test
