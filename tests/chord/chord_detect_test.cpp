#include "chord/chord_detect.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace vambrio {
namespace {

constexpr int kC3 = 48;

HeldKeys Keys(const std::vector<int>& notes) {
  HeldKeys k;
  for (int n : notes) k.Set(n, true);
  return k;
}

std::string Read(const std::vector<int>& notes) {
  auto c = DetectChord(Keys(notes));
  return c ? ChordName(*c) : "none";
}

// The type's tones from the root upward, then each inversion in close
// position: the bass tone first, the others stacked above it.
std::vector<int> Voicing(int root, int type, size_t bassTone) {
  auto tones = ChordTypeTones(type);
  std::vector<int> notes;
  for (size_t i = 0; i < tones.size(); ++i) {
    size_t k = (bassTone + i) % tones.size();
    notes.push_back(kC3 + root + tones[k] + (k < bassTone ? 12 : 0));
  }
  return notes;
}

TEST(ChordDetect, EveryTypeInRootPositionOverEveryRootIsItself) {
  for (int type = 0; type < kChordTypeCount; ++type) {
    for (int root = 0; root < 12; ++root) {
      auto c = DetectChord(Keys(Voicing(root, type, 0)));
      ASSERT_TRUE(c) << ChordName({root, type, -1});
      EXPECT_EQ(*c, (Chord{root, type, -1})) << "read " << ChordName(*c);
    }
  }
}

// Inversions read as the same chord over their bass, except where another
// type on a lower root holds the same pitch classes (the documented table of
// chord_detect.h): (type, tone in the bass) -> (type read, its root above the
// chord's root). Symmetric chords (dim7, aug) take the bass as their root.
TEST(ChordDetect, EveryInversionIsTheChordOverItsBassOrTheDocumentedReading) {
  auto type = [](const char* name) { return *ParseChordType(name); };
  const std::map<std::pair<int, int>, std::pair<int, int>> readings = {
      {{type("6"), 1}, {type("m7"), 9}},       {{type("6"), 2}, {type("m7"), 9}},
      {{type("6"), 3}, {type("m7"), 9}},       {{type("m6"), 1}, {type("m7b5"), 9}},
      {{type("m6"), 2}, {type("m7b5"), 9}},    {{type("m6"), 3}, {type("m7b5"), 9}},
      {{type("6(9)"), 1}, {type("m7(11)"), 9}}, {{type("6(9)"), 2}, {type("m7(11)"), 9}},
      {{type("6(9)"), 3}, {type("m7(11)"), 9}}, {{type("6(9)"), 4}, {type("m7(11)"), 9}},
      {{type("m7"), 1}, {type("6"), 3}},        {{type("m7b5"), 1}, {type("m6"), 3}},
      {{type("m7(11)"), 1}, {type("6(9)"), 3}},
      {{type("sus4"), 1}, {type("1+2+5"), 5}},  {{type("1+2+5"), 1}, {type("sus4"), 7}},
      {{type("1+2+5"), 2}, {type("sus4"), 7}},  {{type("7b5"), 1}, {type("7b5"), 6}},
      {{type("7b5"), 2}, {type("7b5"), 6}},     {{type("dim7"), 1}, {type("dim7"), 3}},
      {{type("dim7"), 2}, {type("dim7"), 6}},   {{type("dim7"), 3}, {type("dim7"), 9}},
      {{type("aug"), 1}, {type("aug"), 4}},     {{type("aug"), 2}, {type("aug"), 8}},
  };
  for (int t = 0; t < kChordTypeCount; ++t) {
    auto tones = ChordTypeTones(t);
    for (size_t b = 1; b < tones.size(); ++b) {
      for (int root = 0; root < 12; ++root) {
        int bass = (root + tones[b]) % 12;
        Chord expected{root, t, bass};
        if (auto it = readings.find({t, static_cast<int>(b)}); it != readings.end()) {
          int readRoot = (root + it->second.second) % 12;
          expected = Chord{readRoot, it->second.first, readRoot == bass ? -1 : bass};
        }
        auto c = DetectChord(Keys(Voicing(root, t, b)));
        ASSERT_TRUE(c) << ChordName({root, t, bass});
        EXPECT_EQ(ChordName(*c), ChordName(expected)) << ChordName({root, t, -1}) << " with tone " << b << " in the bass";
      }
    }
  }
}

TEST(ChordDetect, ReductionsForeignBassesAndKeysThatNameNoChord) {
  const int C = 48, D = 50, Eb = 51, E = 52, F = 53, G = 55, A = 57, Bb = 58, B = 59;
  EXPECT_EQ(Read({C, E}), "C");
  EXPECT_EQ(Read({C, Eb + 12}), "Cm");
  EXPECT_EQ(Read({E, C + 12}), "C/E");
  EXPECT_EQ(Read({C, G}), "C1+5");
  EXPECT_EQ(Read({G - 12, C}), "C1+5/G");
  EXPECT_EQ(Read({C}), "C1+8");
  EXPECT_EQ(Read({C, C + 12, C + 24}), "C1+8");
  EXPECT_EQ(Read({C, E, Bb}), "C7");
  EXPECT_EQ(Read({C, Eb, Bb}), "Cm7");
  EXPECT_EQ(Read({C, E, B}), "CMaj7");
  EXPECT_EQ(Read({Bb - 12, C, E}), "C7/Bb");
  EXPECT_EQ(Read({C, E, A}), "Am/C");          // a full triad beats C6 without its fifth
  EXPECT_EQ(Read({F - 12, C, E, G}), "C/F");     // the bass is no chord tone
  EXPECT_EQ(Read({D - 12, C, E, G}), "Cadd9/D"); // ... unless it is one
  EXPECT_EQ(Read({C, E, G, A}), "C6");
  EXPECT_EQ(Read({A - 12, C, E, G}), "Am7");
  EXPECT_EQ(Read({C, C + 1, D}), "none");
  EXPECT_EQ(Read({C, D, E}), "none");          // a cluster, not add9 without its fifth
  EXPECT_EQ(Read({C, D, E, Bb}), "C7(9)");
  EXPECT_EQ(Read({C, C + 6}), "none");
  EXPECT_EQ(Read({}), "none");
  EXPECT_EQ(Read({0, 64, 127}), "C");  // the extreme keys are keys like any other
}

TEST(ChordDetect, ChordMemoryKeepsTheChordAndReleasingNamesNoNewOne) {
  ChordDetector d;
  EXPECT_TRUE(d.KeyDown(48));   // C1+8 while the hand lands
  EXPECT_TRUE(d.KeyDown(52));   // C
  EXPECT_FALSE(d.KeyDown(55));  // still C
  EXPECT_EQ(ChordName(*d.Current()), "C");
  EXPECT_FALSE(d.KeyDown(60));   // another C: still C
  EXPECT_FALSE(d.KeyDown(49));   // C C# E G names nothing: C stays
  EXPECT_FALSE(d.KeyUp(49));
  EXPECT_FALSE(d.KeyUp(55));     // no reduction on the way up
  EXPECT_FALSE(d.KeyUp(52));
  EXPECT_FALSE(d.ReleaseAll());
  EXPECT_EQ(ChordName(*d.Current()), "C");

  d.SetMemory(false);
  EXPECT_TRUE(d.KeyDown(57));
  EXPECT_TRUE(d.KeyDown(60));
  EXPECT_FALSE(d.KeyDown(64));
  EXPECT_EQ(ChordName(*d.Current()), "Am");
  EXPECT_FALSE(d.KeyUp(57));
  EXPECT_FALSE(d.KeyUp(60));
  EXPECT_TRUE(d.KeyUp(64));
  EXPECT_FALSE(d.Current());  // N.C.
}

}  // namespace
}  // namespace vambrio
