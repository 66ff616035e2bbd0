#include "arranger/chart.h"

#include <gtest/gtest.h>

#include "arranger/song.h"
#include "arranger_test_support.h"
#include "midi/smf_writer.h"
#include "smf_check.h"

namespace vambrio::arranger::test {
namespace {

// The chords of each bar as written, "." for a continued slot.
std::vector<std::string> Bars(const Chart& c) {
  std::vector<std::string> out;
  for (const ChartBar& b : c.bars) {
    std::string bar;
    for (const ChartSlot& s : b.slots) bar += (bar.empty() ? "" : " ") + s.text;
    out.push_back(bar);
  }
  return out;
}

TEST(Chart, ReadsBarsSectionsRepeatsTempoAndComments) {
  auto read = ReadChart(
      "tempo 96   # the song's tempo\n"
      "[Intro A] C | G7 |\n"
      "[Main A]  C Am | F G7 | C . . A7 | Dm7 G7 |\n"
      "%\n"
      "| C#m7 |F/A|   # leading and tight bar lines\n"
      "tempo 120\n"
      "[Main B] Bb N.C.\n"
      "[Ending A]\n");
  ASSERT_TRUE(std::holds_alternative<Chart>(read)) << std::get<ChartError>(read).Text();
  const Chart& c = std::get<Chart>(read);
  EXPECT_EQ(Bars(c), (std::vector<std::string>{"C", "G7", "C Am", "F G7", "C . . A7", "Dm7 G7", "Dm7 G7", "C#m7",
                                                "F/A", "Bb N.C."}));
  ASSERT_EQ(c.sections.size(), 4u);
  EXPECT_EQ(c.sections[1].name, "Main A");
  EXPECT_EQ(c.sections[1].firstBar, 2u);
  EXPECT_EQ(c.sections[2].firstBar, 9u);
  EXPECT_EQ(c.sections[3].firstBar, 10u);  // an ending with no bars of its own
  ASSERT_EQ(c.tempos.size(), 2u);
  EXPECT_EQ(c.tempos[1].bar, 9u);
  EXPECT_EQ(c.bars[8].slots[0].chord, (Chord{5, 0, 9}));
  EXPECT_EQ(c.bars[9].slots[1].kind, ChartSlot::Kind::NoChord);

  // As a Windows editor saves it: a byte-order mark and CR LF line ends.
  auto windows = ReadChart("\xEF\xBB\xBFtempo 90\r\n[Main A] C | G7 |\r\n");
  ASSERT_TRUE(std::holds_alternative<Chart>(windows)) << std::get<ChartError>(windows).Text();
  EXPECT_EQ(Bars(std::get<Chart>(windows)), (std::vector<std::string>{"C", "G7"}));
}

TEST(Chart, ErrorsNameLineAndColumn) {
  const struct {
    const char* text;
    int line, column;
    const char* says;
  } cases[] = {
      {"[Main A] C | Hx7 |", 1, 14, "unknown chord \"Hx7\""},
      {"C | G |", 1, 1, "names no section"},
      {"# nothing\n", 2, 1, "names no section"},
      {"[Main A] . C |", 1, 10, "no chord comes before"},
      {"[Main A] % |", 1, 10, "there is none"},
      {"[Main A] C % |", 1, 12, "whole bar"},
      {"[Main A C |", 1, 1, "closing ]"},
      {"[Main A] C [Main B] G |", 1, 12, "bar line"},
      {"[Main A]\n[Main B] C |", 1, 1, "has no bars"},
      {"tempo fast\n[Main A] C |", 1, 7, "tempo needs"},
      {"[Main A] C |\n\t[Main B] C tempo 90 |", 2, 13, "bar line"},
      {"[Main A] C ♯ |", 1, 12, "unknown chord"},  // columns count characters
  };
  for (const auto& c : cases) {
    auto read = ReadChart(c.text);
    ASSERT_TRUE(std::holds_alternative<ChartError>(read)) << c.text;
    const ChartError& e = std::get<ChartError>(read);
    EXPECT_EQ(e.place.line, c.line) << c.text;
    EXPECT_EQ(e.place.column, c.column) << c.text;
    EXPECT_NE(e.message.find(c.says), std::string::npos) << c.text << " -> " << e.Text();
  }
}

TEST(Chart, HostileTextIsReadInLinearTimeAndShownCutAndEscaped) {
  // A long line: the column of its last token counts every character before it.
  std::string line = "[Main A]";
  for (int b = 0; b < 200000; ++b) line += " C |";
  auto longLine = ReadChart(line + " Hx |");
  ASSERT_TRUE(std::holds_alternative<ChartError>(longLine));
  EXPECT_EQ(std::get<ChartError>(longLine).place.column, 8 + 200000 * 4 + 2);

  // A chord name of a megabyte is named once, cut short.
  auto huge = ReadChart("[Main A] C" + std::string(1 << 20, 'x') + " |");
  ASSERT_TRUE(std::holds_alternative<ChartError>(huge));
  const std::string hugeText = std::get<ChartError>(huge).Text();
  EXPECT_LT(hugeText.size(), 400u) << hugeText.substr(0, 400);
  EXPECT_NE(hugeText.find("xxx…\""), std::string::npos) << hugeText;

  // Control bytes reach no terminal.
  auto control = ReadChart(std::string("[Main A] \x1B[2J\x1B[31mG7\a\0 |", 24));
  ASSERT_TRUE(std::holds_alternative<ChartError>(control));
  const std::string controlText = std::get<ChartError>(control).Text();
  EXPECT_NE(controlText.find("\\e[2J\\e[31mG7\\a\\x00"), std::string::npos) << controlText;
  for (char c : controlText) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20) << controlText;
}

struct SongRig {
  SongRig()
      : model(Loaded(StyleOf({{"Main A", kBar, {{0, 0x9B, 60, 80}, {900, 0x8B, 60, 0}}},
                              {"Main B", kBar, {{0, 0x99, 36, 100}}},
                              {"Ending A", 2 * kBar, {{0, 0x99, 49, 100}}}}))),
        style(ReadStylePatterns(model, {})) {}
  std::variant<Song, ChartError> Plan(const char* text, std::optional<double> tempo = std::nullopt) {
    auto chart = ReadChart(text);
    if (auto* e = std::get_if<ChartError>(&chart)) return *e;
    return PlanSong(std::get<Chart>(chart), style, tempo);
  }
  StyleModel model;
  StylePatterns style;
};

TEST(Song, ChordsAtTheirTicksAndAnEndingThatPlaysToItsEnd) {
  SongRig rig;
  auto planned = rig.Plan("tempo 100\n[Main A] C . . A7 | Dm7 G7 | % | C |\n[Main B] N.C. | C\ntempo 150\n[Ending A] C | F |");
  ASSERT_TRUE(std::holds_alternative<Song>(planned)) << std::get<ChartError>(planned).Text();
  const Song& song = std::get<Song>(planned);
  std::vector<std::pair<int64_t, std::string>> steps;
  char name[24];
  for (const SongStep& s : song.steps) {
    std::string what = s.kind == SongStep::Kind::Section ? rig.style.sections[static_cast<size_t>(s.section)].name
                       : s.kind == SongStep::Kind::Tempo ? "tempo " + std::to_string(s.tempo)
                       : s.kind == SongStep::Kind::Chord ? (FormatChord(&s.chord, name), std::string(name))
                                                         : "N.C.";
    steps.emplace_back(s.tick, what);
  }
  const std::vector<std::pair<int64_t, std::string>> want = {
      {0, "Main A"},       {0, "C"},           {1440, "A7"},          {kBar, "Dm7"},
      {kBar + 960, "G7"},  {2 * kBar, "Dm7"},  {2 * kBar + 960, "G7"}, {3 * kBar, "C"},
      {4 * kBar, "Main B"}, {4 * kBar, "N.C."}, {5 * kBar, "C"},       {6 * kBar, "tempo 400000"},
      {6 * kBar, "Ending A"}, {7 * kBar, "F"}};  // C again at the ending is no change
  EXPECT_EQ(steps, want);
  EXPECT_EQ(song.tempo, 600000u);
  EXPECT_EQ(song.end, 8 * kBar);  // the ending's own two bars

  auto shortEnding = rig.Plan("[Main A] C |\n[Ending A] G |", 90.0);
  ASSERT_TRUE(std::holds_alternative<Song>(shortEnding));
  EXPECT_EQ(std::get<Song>(shortEnding).end, 3 * kBar);  // one bar written, two played
  auto longEnding = rig.Plan("[Main A] C |\n[Ending A] G | C | F |");
  ASSERT_TRUE(std::holds_alternative<Song>(longEnding));
  EXPECT_EQ(std::get<Song>(longEnding).end, 3 * kBar);  // three written, two played
  EXPECT_EQ(std::get<Song>(longEnding).steps.back().chord, (Chord{0, 0, -1}));  // the F is past its end
  EXPECT_EQ(std::get<Song>(shortEnding).tempo, 666667u);

  Arranger arranger(rig.style, {});
  midi::SmfWriter writer(rig.style.division);
  PlaySong(song, arranger, writer);
  const auto file = vambrio::test::ReadSmf(writer.Finish());
  ASSERT_TRUE(file.ok()) << file.error;
  EXPECT_EQ(file.events.back().tick, 8u * kBar);
}

TEST(Song, StyleErrors) {
  SongRig rig;
  const struct {
    const char* text;
    int line;
    const char* says;
  } cases[] = {
      {"[Main A] C |\n[Main E] C |", 2, "unknown section \"Main E\"; the style has: Main A, Main B, Ending A"},
      {"[Main A] C G F |", 1, "a bar of 3 chords does not divide its 4 beats"},
      {"[Main A] C |\n[Main B]", 2, "has no bars"},
  };
  for (const auto& c : cases) {
    auto planned = rig.Plan(c.text);
    ASSERT_TRUE(std::holds_alternative<ChartError>(planned)) << c.text;
    EXPECT_EQ(std::get<ChartError>(planned).place.line, c.line) << c.text;
    EXPECT_NE(std::get<ChartError>(planned).message.find(c.says), std::string::npos)
        << std::get<ChartError>(planned).Text();
  }
}

}  // namespace
}  // namespace vambrio::arranger::test
