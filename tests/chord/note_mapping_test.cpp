#include "chord/note_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chord/chord_rules.h"

namespace vambrio {
namespace {

Chord Named(const char* name) {
  auto chord = ParseChord(name);
  EXPECT_TRUE(chord) << name;
  return chord.value_or(Chord{});
}

ChannelRule Rule(Ntr ntr, Ntt ntt, int highKey = 5, int low = 0, int high = 127) {
  ChannelRule c = DefaultChannelRule(kChord1Part);  // recorded on CMaj7
  c.ranges.fill(RangeRule{ntr, ntt, false, 0, static_cast<uint8_t>(highKey), static_cast<uint8_t>(low),
                          static_cast<uint8_t>(high), Rtr::PitchShift});
  return c;
}

std::vector<int> MapAll(const ChannelRule& rule, const std::vector<int>& notes, const char* chord) {
  std::vector<int> out;
  for (int n : notes) out.push_back(MapNote(rule, n, Named(chord)));
  return out;
}

// C D E F G A Bb B C over the recorded CMaj7.
const std::vector<int> kScaleNotes = {60, 62, 64, 65, 67, 69, 70, 71, 72};

TEST(NoteMapping, TablesAndRootTranspose) {
  const struct {
    Ntt ntt;
    const char* chord;
    std::vector<int> expected;
  } cases[] = {
      {Ntt::Bypass, "F", {65, 67, 69, 70, 72, 74, 75, 76, 77}},
      {Ntt::Bypass, "G7", {55, 57, 59, 60, 62, 64, 65, 66, 67}},  // above the high key F: down
      {Ntt::Bypass, "Dm7", {62, 64, 66, 67, 69, 71, 72, 73, 74}},
      {Ntt::Melody, "Cm7", {60, 62, 63, 65, 67, 69, 70, 70, 72}},  // Dorian; the seventh to Bb
      {Ntt::Melody, "G7", {55, 57, 59, 60, 62, 64, 65, 65, 67}},   // Mixolydian
      {Ntt::Melody, "Am", {57, 59, 60, 62, 64, 66, 67, 67, 69}},
      {Ntt::Chord, "Am", {57, 60, 60, 64, 64, 64, 69, 69, 69}},    // nearest chord tone, upward on a tie
      {Ntt::Chord, "C7", {60, 64, 64, 64, 67, 70, 70, 70, 72}},
      {Ntt::Chord, "Bbm7b5", {58, 61, 61, 64, 64, 68, 68, 68, 70}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapAll(Rule(Ntr::RootTranspose, c.ntt), kScaleNotes, c.chord), c.expected)
        << static_cast<int>(c.ntt) << " over " << c.chord;
  }
}

TEST(NoteMapping, MinorTablesChooseTheSixthAndSeventh) {
  // A (69) and B (71), written over CMaj7.
  const struct {
    Ntt ntt;
    const char* chord;
    int a, b;
  } cases[] = {
      {Ntt::Melody, "Cm", 69, 70},           {Ntt::MelodicMinor, "Cm", 69, 71},
      {Ntt::HarmonicMinor, "Cm", 68, 71},    {Ntt::NaturalMinor, "Cm", 68, 70},
      {Ntt::Dorian, "Cm", 69, 70},           {Ntt::HarmonicMinor, "Cm7", 68, 70},
      {Ntt::MelodicMinor, "Cm6", 69, 69},    {Ntt::MelodicMinor, "Cm7b5", 68, 70},
      {Ntt::MelodicMinor5th, "Cm7b5", 69, 70}, {Ntt::HarmonicMinor5th, "Cdim", 68, 71},
      {Ntt::HarmonicMinor, "F", 74, 76},     {Ntt::Melody, "F", 74, 76},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapAll(Rule(Ntr::RootTranspose, c.ntt), {69, 71}, c.chord), (std::vector<int>{c.a, c.b}))
        << static_cast<int>(c.ntt) << " over " << c.chord;
  }
}

TEST(NoteMapping, RootFixedGuitarHighKeyAndLimits) {
  const struct {
    const char* what;
    ChannelRule rule;
    const char* chord;
    std::vector<int> notes, expected;
  } cases[] = {
      {"root fixed, chord", Rule(Ntr::RootFixed, Ntt::Chord), "Bb", {60, 64, 67}, {58, 62, 65}},
      {"root fixed ignores the high key", Rule(Ntr::RootFixed, Ntt::Bypass, 11), "A", {60}, {57}},
      {"root transpose up to high key B", Rule(Ntr::RootTranspose, Ntt::Bypass, 11), "A", {60}, {69}},
      {"root fixed, downward on a tie", Rule(Ntr::RootFixed, Ntt::Bypass), "F#", {60}, {54}},
      {"guitar reads as root fixed + chord", Rule(Ntr::Guitar, Ntt::Chord), "D", {60, 67, 71}, {62, 69, 74}},
      {"root fixed, melody", Rule(Ntr::RootFixed, Ntt::Melody), "D", {71}, {73}},
      {"high key G", Rule(Ntr::RootTranspose, Ntt::Bypass, 7), "G", {60}, {67}},
      {"above high key G", Rule(Ntr::RootTranspose, Ntt::Bypass, 7), "Ab", {60}, {56}},
      {"high key C", Rule(Ntr::RootTranspose, Ntt::Bypass, 0), "Db", {60}, {49}},
      {"limits fold", Rule(Ntr::RootTranspose, Ntt::Bypass, 5, 48, 59), "F", {60, 40}, {53, 57}},
      {"limits under an octave do not", Rule(Ntr::RootTranspose, Ntt::Bypass, 5, 48, 58), "F", {60}, {65}},
      {"limits past 127", Rule(Ntr::RootTranspose, Ntt::Bypass, 5, 100, 140), "F", {60, 127}, {101, 120}},
      {"never below 0", Rule(Ntr::RootTranspose, Ntt::Bypass), "Bb", {0, 1}, {10, 11}},
      {"over the recorded chord as written", Rule(Ntr::RootTranspose, Ntt::Chord, 5, 48, 59), "CMaj7",
       {30, 61, 100}, {30, 61, 100}},
  };
  for (const auto& c : cases) EXPECT_EQ(MapAll(c.rule, c.notes, c.chord), c.expected) << c.what;

  ChannelRule recordedOnD = Rule(Ntr::RootTranspose, Ntt::Bypass);
  recordedOnD.sourceRoot = 2;
  EXPECT_EQ(MapAll(recordedOnD, {62}, "C"), (std::vector<int>{60}));  // from D down to C
  EXPECT_EQ(MapAll(recordedOnD, {62}, "F"), (std::vector<int>{65}));  // up to the high key

  ChannelRule drums = DefaultChannelRule(kRhythmMain);
  EXPECT_EQ(MapAll(drums, {36, 38, 42}, "F#m7"), (std::vector<int>{36, 38, 42}));
}

TEST(NoteMapping, SlashChordBass) {
  ChannelRule bass = DefaultChannelRule(kBassPart);  // melody, bass on
  bass.sourceType = 0;                               // recorded on C
  ChannelRule fixedBass = bass;
  fixedBass.ranges.fill(RangeRule{Ntr::RootFixed, Ntt::Melody, true});
  ChannelRule chords = DefaultChannelRule(kChord1Part);
  chords.sourceType = 0;
  const struct {
    const char* what;
    const ChannelRule& rule;
    const char* chord;
    std::vector<int> notes, expected;
  } cases[] = {
      {"root plays the bass", bass, "C/E", {36, 43, 40}, {40, 43, 40}},
      {"transposed", bass, "F/A", {36, 43, 40}, {45, 48, 45}},
      {"bass below the root", bass, "C/G", {36}, {31}},
      {"downward on a tie", bass, "C/F#", {36}, {30}},
      {"root fixed", fixedBass, "F/A", {36}, {33}},
      {"without bass on as written", chords, "C/E", {36, 40, 43}, {36, 40, 43}},
      {"without bass on the chord alone", chords, "F/A", {60, 64, 67}, {65, 69, 72}},
  };
  for (const auto& c : cases) EXPECT_EQ(MapAll(c.rule, c.notes, c.chord), c.expected) << c.what;
}

TEST(NoteMapping, NewerLayoutRanges) {
  ChannelRule c = Rule(Ntr::RootTranspose, Ntt::Melody);
  c.newLayout = true;
  c.middleLow = 48;
  c.middleHigh = 72;
  c.ranges[0].ntt = Ntt::Bypass;
  c.ranges[2].ntt = Ntt::Chord;
  c.ranges[2].rtr = Rtr::Retrigger;
  EXPECT_EQ(MapAll(c, {40, 64, 76, 77}, "Cm7"), (std::vector<int>{40, 63, 75, 79}));
  EXPECT_EQ(RangeOf(c, 47), RangeIndex::Low);
  EXPECT_EQ(RangeOf(c, 48), RangeIndex::Middle);
  EXPECT_EQ(RangeOf(c, 72), RangeIndex::Middle);
  EXPECT_EQ(RangeOf(c, 73), RangeIndex::High);
  EXPECT_EQ(RetriggerRule(c, 80), Rtr::Retrigger);
  const ChannelMapping prepared(c, Named("Cm7"));
  EXPECT_EQ(prepared.Map(40), 40);
  EXPECT_EQ(prepared.Map(64), 63);
  EXPECT_EQ(prepared.Map(77), 79);
  EXPECT_EQ(RetriggerRule(c, 60), Rtr::PitchShift);
}

TEST(NoteMapping, NoteAndChordMutes) {
  ChannelRule c = DefaultChannelRule(kChord1Part);
  c.chordMute = kAllChordTypes & ~(uint64_t{1} << 10);  // not on m7
  c.noteMute = kAllRoots & ~(1 << 2);                   // not on D
  EXPECT_TRUE(ChannelSounds(c, Named("Em")));
  EXPECT_FALSE(ChannelSounds(c, Named("Em7")));
  EXPECT_FALSE(ChannelSounds(c, Named("D")));
  EXPECT_TRUE(ChannelSounds(c, Named("Eb/D")));  // the root decides, not the bass
  EXPECT_FALSE(ChannelSounds(c, Chord{0, 34, -1}));
  EXPECT_FALSE(ChannelMapping(c, Named("Em7")).Sounds());
  EXPECT_TRUE(ChannelMapping(c, Named("Em")).Sounds());
}

// The chord's third: major or minor, else the fourth of sus4 or the second of 1+2+5.
int ThirdOf(int type) {
  const auto tones = ChordTypeTones(type);
  for (int third : {4, 3, 5, 2})
    if (std::find(tones.begin(), tones.end(), third) != tones.end()) return third;
  return -1;
}

// Over every chord: notes stay in 0..127; the chord table gives chord tones;
// the melody tables send the recorded root and third to the chord's own.
TEST(NoteMapping, EveryChordKeepsTheRules) {
  const Ntt tables[] = {Ntt::Bypass, Ntt::Melody, Ntt::Chord, Ntt::MelodicMinor5th, Ntt::HarmonicMinor,
                        Ntt::NaturalMinor5th, Ntt::Dorian};
  for (Ntr ntr : {Ntr::RootTranspose, Ntr::RootFixed}) {
    for (Ntt ntt : tables) {
      const ChannelRule rule = Rule(ntr, ntt, 5, 36, 84);
      for (int root = 0; root < 12; ++root) {
        for (int type = 0; type < kChordTypeCount; ++type) {
          const Chord chord{root, type, -1};
          if (root == 0 && type == 2) continue;  // the recorded chord: as written
          const auto tones = ChordTypeTones(type);
          const ChannelMapping prepared(rule, chord);
          for (int note = 0; note < 128; ++note) {
            const int out = MapNote(rule, note, chord);
            ASSERT_EQ(prepared.Map(note), out) << ChordName(chord) << " " << note;
            ASSERT_TRUE(out >= 0 && out <= 127) << note;
            const int interval = ((out - root) % 12 + 12) % 12;
            const bool chordTone = std::find(tones.begin(), tones.end(), interval) != tones.end();
            if (ntt == Ntt::Chord) {
              EXPECT_TRUE(chordTone) << ChordName(chord) << " " << note;
            }
            if (ntt != Ntt::Bypass && note % 12 == 0) {
              EXPECT_EQ(interval, 0) << ChordName(chord);
            }
            if (ntt != Ntt::Bypass && note % 12 == 4 && ThirdOf(type) >= 0) {
              EXPECT_EQ(interval, ThirdOf(type)) << ChordName(chord);
            }
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace vambrio
