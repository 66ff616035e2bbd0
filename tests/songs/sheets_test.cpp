// ChordPro, MusicXML and .mxl read into charts; the chart written and read
// back, transposed and fitted to a style; the chord-symbol table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>

#include "chord/chord_symbols.h"
#include "cli_run.h"
#include "lead_sheets.h"
#include "songs/chart_text.h"
#include "songs/import.h"
#include "songs_test_support.h"
#include "temp_dir.h"

namespace vambrio::songs::test {
namespace {

using ::testing::HasSubstr;
using vambrio::test::Harmony;
using vambrio::test::MusicXmlScore;
using vambrio::test::Note;

ImportedSong One(const std::string& text, const std::string& name) {
  Imported in = ImportBytes(text, name);
  EXPECT_EQ(in.error, "");
  EXPECT_EQ(in.songs.size(), 1u);
  return in.songs.empty() ? ImportedSong{} : in.songs[0];
}

TEST(ChordPro, InlineChordsGridBarsSectionsAndChorusRecall) {
  const ImportedSong s = One(
      "# a comment\n{title: Grace}\n{artist: Someone}\n{key: G}\n{tempo: 90}\n{time: 3/4}\n"
      "[G]Amazing [G7]grace how [C]sweet the [Hx]sound\n"
      "{soc}\n| D . . | D7 . G | % |\n{eoc}\n[Em]That saved\n{chorus}\n",
      "grace.cho");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(s.info.title, "Grace");
  EXPECT_EQ(s.info.composer, "Someone");
  EXPECT_EQ(s.info.tempo, 90);
  EXPECT_EQ(s.info.beats, 3);
  EXPECT_EQ(Bars(s.chart), (Strings{"G", "G7", "C", "D", "D7 . G", "D7 . G", "Em", "D", "D7 . G", "D7 . G"}));
  EXPECT_EQ(Sections(s.chart), (Strings{"Main A@1", "Fill In BB@3", "Main B@4", "Fill In AA@6", "Main A@7",
                                         "Main B@8", "Ending B@11"}));
  ASSERT_EQ(s.warnings.size(), 2u);
  EXPECT_THAT(s.warnings[0], HasSubstr("\"Grace\", bar 1 (line 7): bars are not written: each chord is played for one bar"));
  EXPECT_THAT(s.warnings[1], HasSubstr("\"Hx\""));

  // Two songs in one file; a song without chords is an error of its own.
  const Imported two = ImportBytes("{t: One}\n[C]la [F]la\n{new_song}\n{t: Two}\nno chords\n", "book.cho");
  ASSERT_EQ(two.songs.size(), 2u);
  EXPECT_TRUE(two.songs[0].Ok());
  EXPECT_THAT(two.songs[1].error, HasSubstr("song 2 \"Two\": the song has no chords"));
}

TEST(MusicXml, ChordsOnTheirBeatsKindsDegreesBassAndForm) {
  const std::string attributes =
      "<attributes><divisions>2</divisions><key><fifths>-1</fifths></key><time><beats>4</beats><beat-type>4</beat-type>"
      "</time></attributes><direction><direction-type><rehearsal>A</rehearsal></direction-type>"
      "<sound tempo=\"132\"/></direction>";
  const std::string xml = MusicXmlScore({
      attributes + "<barline location=\"left\"><repeat direction=\"forward\"/></barline>" +
          Harmony("F", 0, "major-seventh") + Note(4) + Harmony("D", 0, "minor-seventh") + Note(4),
      "<barline location=\"left\"><ending number=\"1\" type=\"start\"/></barline>" + Harmony("G", 0, "minor-seventh") +
          Note(2) + "<backup><duration>2</duration></backup><forward><duration>6</duration></forward>" +
          Harmony("C", 0, "dominant", "<degree><degree-value>9</degree-value><degree-alter>-1</degree-alter>"
                                      "<degree-type>add</degree-type></degree>") +
          "<barline location=\"right\"><ending number=\"1\" type=\"stop\"/><repeat direction=\"backward\"/></barline>",
      "<barline location=\"left\"><ending number=\"2\" type=\"start\"/></barline>" +
          Harmony("B", -1, "major", "<bass><bass-step>D</bass-step></bass>") + Note(8) +
          "<barline location=\"right\"><ending number=\"2\" type=\"discontinue\"/></barline>",
      "<direction><direction-type><rehearsal>B</rehearsal></direction-type></direction>" +
          Harmony("E", 0, "dominant-13th") + Note(8) + "<sound dacapo=\"yes\"/>",
      Harmony("A", 0, "none") + Note(8),
  });
  const ImportedSong s = One(xml, "score.musicxml");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(s.info.title, "Xml Song");
  EXPECT_EQ(s.info.composer, "Roe Jane");
  EXPECT_EQ(s.info.key, "F");
  EXPECT_EQ(s.info.tempo, 132);
  EXPECT_EQ(Bars(s.chart), (Strings{"FMaj7 Dm7", "Gm7 . . C7b9", "FMaj7 Dm7", "Bb/D", "E7(13)", "FMaj7 Dm7",
                                    "Bb/D", "E7(13)", "N.C."}));
  EXPECT_EQ(s.chart.bars[1].slots[3].chord, (Chord{0, 25, -1}));  // 7(b9)
  EXPECT_EQ(s.chart.bars[3].slots[0].chord, (Chord{10, 0, 2}));
  EXPECT_EQ(s.chart.Tag("title"), "Xml Song");

  // Damaged: not XML, XML of something else, no chord symbols.
  EXPECT_THAT(One("<?xml version=\"1.0\"?><score-partwise><part", "bad.xml").error, HasSubstr("not XML"));
  EXPECT_THAT(One("<?xml version=\"1.0\"?><html/>", "page.xml").error, HasSubstr("not a MusicXML score"));
  EXPECT_THAT(One(MusicXmlScore({Note(4)}), "melody.musicxml").error, HasSubstr("no chord symbols"));
}

// A zip of the given entries, as bytes.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& entries) {
  vambrio::test::TempDir dir;
  const std::string path = dir.File("score.mxl");
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  for (const auto& [name, data] : entries) {
    zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
    zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
  }
  zip_close(zip);
  const auto bytes = vambrio::test::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(MusicXml, CompressedScoresAndDamagedZips) {
  const std::string score = MusicXmlScore({Harmony("C", 0, "major") + Note(4), Harmony("G", 0, "dominant") + Note(4)});
  const std::string container =
      "<?xml version=\"1.0\"?><container><rootfiles><rootfile full-path=\"music/tune.xml\"/></rootfiles></container>";
  const std::string mxl = Zip({{"META-INF/container.xml", container}, {"music/tune.xml", score}});
  const ImportedSong s = One(mxl, "tune.mxl");
  ASSERT_TRUE(s.Ok()) << s.error;
  EXPECT_EQ(Bars(s.chart), (Strings{"C", "G7"}));

  EXPECT_THAT(ImportBytes(mxl.substr(0, mxl.size() - 30), "cut.mxl").error, HasSubstr("zip"));
  EXPECT_THAT(ImportBytes(Zip({{"music/tune.xml", score}}), "bare.mxl").error, HasSubstr("META-INF/container.xml"));
  EXPECT_THAT(ImportBytes(Zip({{"META-INF/container.xml", container}}), "empty.mxl").error, HasSubstr("music/tune.xml"));
  EXPECT_THAT(ImportBytes("PK\x03\x04 not really", "fake.mxl").error, HasSubstr("not a readable zip"));
}

TEST(ChartText, WrittenChartsReadBackTransposeAndFitAStyle) {
  ImportedSong s = One(vambrio::test::IrealLink({{"Round Trip", "Doe John", "Ballad", "Bb", "*AT34Bb^7 C-7/Bb |*BF7alt Z", 96, 1}}),
                       "link.txt");
  ASSERT_TRUE(s.Ok()) << s.error;
  const std::string text = WriteChart(s.chart);
  EXPECT_THAT(text, HasSubstr("# title: Round Trip\n# composer: Doe John\n# key: Bb\n# style: Ballad\n# time: 3/4\ntempo 96\n"));
  auto read = arranger::ReadChart(text);
  ASSERT_TRUE(std::holds_alternative<arranger::Chart>(read)) << std::get<arranger::ChartError>(read).Text() << text;
  const arranger::Chart& back = std::get<arranger::Chart>(read);
  EXPECT_EQ(Bars(back), Bars(s.chart));
  EXPECT_EQ(Sections(back), Sections(s.chart));
  EXPECT_EQ(back.Tag("style"), "Ballad");
  EXPECT_EQ(back.bars[0].slots[1].chord, (Chord{0, 10, 10}));

  arranger::Chart moved = back;
  TransposeChart(moved, -2);
  EXPECT_EQ(Bars(moved), (Strings{"Ab^7 Bb-7/Ab .", "Eb7alt"}));
  EXPECT_EQ(moved.Tag("key"), "Ab");
  EXPECT_EQ(moved.bars[1].slots[0].chord, (Chord{3, 27, -1}));

  // A style in 4/4 with Main A and Ending A only: bars re-divided, sections replaced.
  const auto notes = FitChart(moved, {"Main A", "Fill In AA", "Ending A"}, 4);
  EXPECT_EQ(Bars(moved)[0], "Ab^7 Bb-7/Ab . .");
  EXPECT_EQ(Sections(moved), (Strings{"Main A@1", "Ending A@3"}));
  EXPECT_EQ(notes.size(), 2u);  // no Main B, no Ending B
}

TEST(ChordSymbols, TheTableCoversEveryFormatAndReadsAsWritten) {
  // Every iReal Pro quality the app writes is in the table.
  for (const char* q : {"", "5", "2", "add9", "+", "o", "h", "sus", "^", "-", "^7", "-7", "7", "7sus", "h7", "o7", "^9",
                        "^13", "6", "69", "^7#11", "^9#11", "^7#5", "-6", "-69", "-^7", "-^9", "-9", "-11", "-7b5", "h9",
                        "-b6", "-#5", "9", "7b9", "7#9", "7#11", "7b5", "7#5", "9#11", "9b5", "9#5", "7b13", "7#9#5",
                        "7#9b5", "7#9#11", "7b9#11", "7b9b5", "7b9#5", "7b9#9", "7b9b13", "7alt", "13", "13#11", "13b9",
                        "13#9", "7b9sus", "7susadd3", "9sus", "13sus", "7b13sus", "11"}) {
    const auto it = std::find_if(ChordSymbolTable().begin(), ChordSymbolTable().end(),
                                 [&](const ChordSymbolRow& r) { return std::string_view(r.quality) == q; });
    EXPECT_NE(it, ChordSymbolTable().end()) << q;
  }
  for (const ChordSymbolRow& row : ChordSymbolTable()) {
    const auto type = QualityType(row.quality);
    ASSERT_TRUE(type) << row.quality;
    EXPECT_EQ(type->type, row.type) << row.quality;
  }
  const auto symbol = [](const char* text) { return ReadChordSymbol(text); };
  EXPECT_EQ(symbol("Cbmaj7/Gb")->chord, (Chord{11, 2, 6}));
  EXPECT_EQ(symbol("F#m7(b5)")->chord, (Chord{6, 11, -1}));
  EXPECT_EQ(symbol("C7(b9, #11)")->chord.type, 23);  // tone by tone: the #11 outweighs the b9
  EXPECT_TRUE(symbol("C7(b9, #11)")->rough);
  EXPECT_FALSE(symbol("Dsus2")->rough);
  EXPECT_FALSE(symbol("H7"));
  EXPECT_FALSE(symbol("Cfoo"));
  EXPECT_EQ(TransposeSymbol("Bb-7/F", 2), "C-7/G");
  EXPECT_EQ(TransposeSymbol("F#h7", -1), "Fh7");
}

TEST(ImportCommand, ChartsForEverySongWithSafeUniqueNamesAndArrangeTakesALink) {
  vambrio::test::TempDir dir;
  const std::string list = dir.File("list.html");
  std::ofstream(list) << "<a href=\""
                      << vambrio::test::IrealLink({{"Same/Name", "A B", "Swing", "C", "*AC |F7 |*BG7 Z", 0, 1},
                                                   {"Same/Name", "A B", "Swing", "C", "[C^7 |X7 Z", 0, 1},
                                                   {"Same/Name", "A B", "Swing", "C", "{D-7 |G7b9#11 }", 0, 1}})
                      << "\">list</a>";
  auto r = vambrio::test::Cli({"import", list, "-o", dir.File("charts"), "--transpose", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Imported 2 songs (1 warning), 1 could not be read\n");
  EXPECT_THAT(r.err, HasSubstr("song 2 \"Same/Name\": character"));
  const std::string second = dir.File("charts/Same_Name (2).chart");
  std::ifstream in(second);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_THAT(text, HasSubstr("[Main A] E-7 |\n[Fill In BB] A7b9#11 |\n[Main B] E-7 | A7b9#11 |\n[Ending B]\n"));

  r = vambrio::test::Cli({"import", list, "-o", dir.File("json"), "--json"});
  EXPECT_THAT(r.out, HasSubstr("\"sections\": ["));
  EXPECT_THAT(r.err, HasSubstr("Imported 2 songs"));

  const std::string style = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  r = vambrio::test::Cli({"arrange", style, list, "--song", "3", "--transpose", "-11", "-o", dir.File("s.mid")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr("\"G7b9#11\" plays as G7(b9)"));
  r = vambrio::test::Cli({"arrange", style, list, "--song", "9", "-o", dir.File("s.mid")});
  EXPECT_THAT(r.err, HasSubstr("there is no song 9 (it has 3)"));
  r = vambrio::test::Cli({"chords", "--symbols"});
  EXPECT_THAT(r.out, HasSubstr("\n7alt "));
  EXPECT_THAT(r.out, HasSubstr(" 7(#9)      iReal Pro, ChordPro (nearest)\n"));
}

}  // namespace
}  // namespace vambrio::songs::test
