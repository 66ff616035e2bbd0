#include "chord/chord_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vambrio {
namespace {

TEST(ChordName, EveryRootAndTypeRoundTrips) {
  for (int root = 0; root < 12; ++root) {
    for (int type = 0; type < kChordTypeCount; ++type) {
      const std::string name = std::string(RootName(root)) + ChordTypeName(type);
      std::string error;
      auto chord = ParseChord(name, &error);
      ASSERT_TRUE(chord) << name << ": " << error;
      EXPECT_EQ(*chord, (Chord{root, type, -1})) << name;
      EXPECT_EQ(ChordName(*chord), name);
    }
  }
}

TEST(ChordName, TonesStartAtTheRootAndRise) {
  for (int type = 0; type < kChordTypeCount; ++type) {
    auto tones = ChordTypeTones(type);
    ASSERT_FALSE(tones.empty()) << type;
    EXPECT_EQ(tones[0], 0);
    for (size_t k = 1; k < tones.size(); ++k) {
      EXPECT_GT(tones[k], tones[k - 1]) << ChordTypeName(type);
      EXPECT_LT(tones[k], 12) << ChordTypeName(type);
    }
  }
  auto tonesOf = [](int type) {
    auto t = ChordTypeTones(type);
    return std::vector<int>(t.begin(), t.end());
  };
  EXPECT_EQ(tonesOf(11), (std::vector<int>{0, 3, 6, 10}));      // m7b5
  EXPECT_EQ(tonesOf(27), (std::vector<int>{0, 3, 4, 7, 10}));   // 7(#9)
  EXPECT_EQ(tonesOf(33), (std::vector<int>{0, 2, 7}));          // 1+2+5
  EXPECT_EQ(tonesOf(18), (std::vector<int>{0, 3, 6, 9}));       // dim7
  EXPECT_TRUE(ChordTypeTones(34).empty());
  EXPECT_STREQ(ChordTypeName(-1), "");
}

TEST(ChordName, AliasesRootsAndSlashChords) {
  const struct {
    const char* text;
    Chord chord;
    const char* printed;
  } cases[] = {
      {"Cmaj7", {0, 2, -1}, "CMaj7"},     {"CM7", {0, 2, -1}, "CMaj7"},     {"CΔ", {0, 2, -1}, "CMaj7"},
      {"Cmaj", {0, 0, -1}, "C"},          {"CMaj", {0, 0, -1}, "C"},        {"Cmin", {0, 8, -1}, "Cm"},
      {"C-7", {0, 10, -1}, "Cm7"},        {"Cø", {0, 11, -1}, "Cm7b5"},     {"Co7", {0, 18, -1}, "Cdim7"},
      {"C°", {0, 17, -1}, "Cdim"},        {"C+", {0, 7, -1}, "Caug"},       {"C9", {0, 22, -1}, "C7(9)"},
      {"Csus", {0, 32, -1}, "Csus4"},     {"Csus2", {0, 33, -1}, "C1+2+5"}, {"C5", {0, 31, -1}, "C1+5"},
      {"Cm9", {0, 13, -1}, "Cm7(9)"},     {"CmM7", {0, 15, -1}, "CmMaj7"},  {"C13", {0, 24, -1}, "C7(13)"},
      {"C7#9", {0, 27, -1}, "C7(#9)"},    {"C7#5", {0, 29, -1}, "C7aug"},   {"C69", {0, 6, -1}, "C6(9)"},
      {"C6/9", {0, 6, -1}, "C6(9)"},      {"C6/9/E", {0, 6, 4}, "C6(9)/E"}, {"F/A", {5, 0, 9}, "F/A"},
      {"Bbm7/Ab", {10, 10, 8}, "Bbm7/Ab"}, {"C/C", {0, 0, -1}, "C"},        {" Dm7 ", {2, 10, -1}, "Dm7"},
      {"A#m7", {10, 10, -1}, "Bbm7"},     {"Gb7", {6, 19, -1}, "F#7"},      {"C#", {1, 0, -1}, "Db"},
      {"D#m", {3, 8, -1}, "Ebm"},         {"G#aug", {8, 7, -1}, "Abaug"},   {"E♭m", {3, 8, -1}, "Ebm"},
      {"F♯7", {6, 19, -1}, "F#7"},
  };
  for (const auto& c : cases) {
    std::string error;
    auto chord = ParseChord(c.text, &error);
    ASSERT_TRUE(chord) << c.text << ": " << error;
    EXPECT_EQ(*chord, c.chord) << c.text;
    EXPECT_EQ(ChordName(*chord), c.printed) << c.text;
  }
}

TEST(ChordName, RefusalsSayWhatIsWrong) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"", "no chord given"},
      {"   ", "no chord given"},
      {"N.C.", "is no chord"},
      {"H7", "begins with its root"},
      {"cm7", "begins with its root"},
      {"B#", "\"#\" is not a chord type"},   // only the 17 names in use
      {"Cb", "\"b\" is not a chord type"},
      {"Cfoo", "\"foo\" is not a chord type"},
      {"Cm7x/E", "\"m7x\" is not a chord type"},
      {"C/H", "the bass after \"/\" must be a note name"},
      {"C/", "the bass after \"/\" must be a note name"},
      {"Fb/E", "\"b\" is not a chord type"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseChord(c.text, &error)) << c.text;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " -> " << error;
  }
  EXPECT_FALSE(ParseChord("Xyz"));  // without a place for the message
}

TEST(ChordName, RootNames) {
  const char* printed[] = {"C", "Db", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};
  for (int pc = 0; pc < 12; ++pc) EXPECT_STREQ(RootName(pc), printed[pc]);
  const std::pair<const char*, int> accepted[] = {{"C", 0},  {"C#", 1}, {"Db", 1},  {"D", 2},  {"D#", 3}, {"Eb", 3},
                                                  {"E", 4},  {"F", 5},  {"F#", 6},  {"Gb", 6}, {"G", 7},  {"G#", 8},
                                                  {"Ab", 8}, {"A", 9},  {"A#", 10}, {"Bb", 10}, {"B", 11}};
  for (const auto& [name, pc] : accepted) EXPECT_EQ(ParseRoot(name), pc) << name;
  for (const char* refused : {"B#", "Cb", "E#", "Fb", "H", "c", "Dbb", ""}) EXPECT_FALSE(ParseRoot(refused)) << refused;
}

}  // namespace
}  // namespace vambrio
