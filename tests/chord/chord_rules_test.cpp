#include "chord/chord_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chord_test_support.h"
#include "rule_entry.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::CasmBuilder;
using test::CtabChunk;
using test::Ctb2Chunk;
using test::RuleEntry;
using test::StyleBytes;
using test::TrackBuilder;

Bytes Track() {
  TrackBuilder t;
  t.Marker("SInt").Marker("Main A").Delta(10).NoteOn(10, 60, 100).Delta(10).NoteOff(10, 60).EndOfTrack();
  return t.bytes();
}

ChordRules Read(const Bytes& after) { return ReadChordRules(StyleBytes(Track(), after)); }

RuleEntry Entry(int channel, int dest, int ntt = 1) {
  RuleEntry e;
  e.channel = channel;
  e.dest = dest;
  e.range.ntt = ntt;
  return e;
}

TEST(ChordRules, EveryFieldOfAnOlderEntry) {
  RuleEntry e = Entry(11, 12, 2);
  e.name = "E.Piano ";
  e.noteMute = 0x0F0F;
  e.chordMute = 0x3'0000'0105;
  e.autoStart = true;
  e.sourceRoot = 2;
  e.sourceType = 10;
  e.range = {1, 2, 7, 48, 84, 3};
  ChordRules rules = Read(CasmBuilder().Group("Main A").RawInGroup(CtabChunk(e)).Build());
  ASSERT_TRUE(rules.hasBlock);
  ASSERT_EQ(rules.groups.size(), 1u);
  const ChannelRule& c = rules.groups[0].channels.at(0);
  EXPECT_EQ(c.sourceChannel, 11);
  EXPECT_STREQ(c.name, "E.Piano ");
  EXPECT_EQ(c.part, kChord2Part);
  EXPECT_EQ(c.noteMute, 0x0F0F);
  EXPECT_EQ(c.chordMute, 0x3'0000'0105u);
  EXPECT_TRUE(c.autoStart);
  EXPECT_EQ(c.sourceRoot, 2);
  EXPECT_EQ(c.sourceType, 10);
  EXPECT_FALSE(c.newLayout);
  for (const RangeRule& r : c.ranges) {
    EXPECT_EQ(r, (RangeRule{Ntr::RootFixed, Ntt::Chord, false, 0, 7, 48, 84, Rtr::Retrigger}));
  }
}

TEST(ChordRules, OlderTablesInTheNewerNumbering) {
  const std::pair<int, Ntt> tables[] = {{0, Ntt::Bypass}, {1, Ntt::Melody},       {2, Ntt::Chord},
                                        {3, Ntt::Melody}, {4, Ntt::MelodicMinor}, {5, Ntt::HarmonicMinor}};
  CasmBuilder casm;
  casm.Group("Main A");
  for (const auto& [byte, ntt] : tables) casm.RawInGroup(CtabChunk(Entry(byte + 8, 10, byte)));
  ChordRules rules = Read(casm.Build());
  SectionRules s = rules.ForSection("Main A");
  for (const auto& [byte, ntt] : tables) {
    EXPECT_EQ(s[static_cast<size_t>(byte + 8)].ranges[1].ntt, ntt) << byte;
    EXPECT_EQ(s[static_cast<size_t>(byte + 8)].ranges[1].bassOn, byte == 3) << byte;  // the bass table
  }
}

TEST(ChordRules, NewerEntryHasThreeRanges) {
  RuleEntry e = Entry(12, 11);
  e.middleLow = 48;
  e.middleHigh = 72;
  e.low = {0, 0x81, 4, 24, 47, 2};  // melody, bass on
  e.range = {1, 9, 6, 48, 72, 1};   // dorian
  e.high = {2, 2, 7, 73, 108, 4};   // guitar, arpeggio
  ChordRules rules = Read(CasmBuilder().Group("Main A").RawInGroup(Ctb2Chunk(e)).Build());
  const SectionRules s = rules.ForSection("Main A");
  const ChannelRule& c = s[12];
  EXPECT_TRUE(c.newLayout);
  EXPECT_EQ(c.middleLow, 48);
  EXPECT_EQ(c.middleHigh, 72);
  EXPECT_EQ(c.Range(RangeIndex::Low), (RangeRule{Ntr::RootTranspose, Ntt::Melody, true, 0, 4, 24, 47, Rtr::PitchShiftToRoot}));
  EXPECT_EQ(c.Range(RangeIndex::Middle), (RangeRule{Ntr::RootFixed, Ntt::Dorian, false, 0, 6, 48, 72, Rtr::PitchShift}));
  EXPECT_EQ(c.Range(RangeIndex::High), (RangeRule{Ntr::Guitar, Ntt::Chord, false, 2, 7, 73, 108, Rtr::RetriggerToRoot}));
}

TEST(ChordRules, SectionsMatchExactlyAndLaterEntriesWin) {
  Bytes casm = CasmBuilder()
                   .Group(" Main A , Fill In AA")
                   .RawInGroup(CtabChunk(Entry(10, 10, 1)))
                   .RawInGroup(CtabChunk(Entry(11, 11, 2)))
                   .Group("Main AB")
                   .RawInGroup(CtabChunk(Entry(10, 10, 0)))
                   .Group("Fill In AA")
                   .RawInGroup(CtabChunk(Entry(11, 13, 0)))
                   .Build();
  ChordRules rules = Read(casm);
  SectionRules mainA = rules.ForSection("Main A ");
  EXPECT_EQ(mainA[10].ranges[1].ntt, Ntt::Melody);  // "Main AB" does not apply
  EXPECT_EQ(mainA[11].part, kChord1Part);
  SectionRules fill = rules.ForSection("Fill In AA");
  EXPECT_EQ(fill[11].part, kPadPart);  // the later group's entry
  EXPECT_EQ(fill[11].ranges[1].ntt, Ntt::Bypass);
  SectionRules mainAB = rules.ForSection("Main AB");
  EXPECT_EQ(mainAB[10].ranges[1].ntt, Ntt::Bypass);
  EXPECT_FALSE(mainAB[11].fromEntry);  // no entry: the defaults
  EXPECT_FALSE(rules.ForSection("Main").at(10).fromEntry);
}

TEST(ChordRules, CnttReplacesTheTableOfItsGroupsOlderEntries) {
  RuleEntry newer = Entry(12, 12, 2);
  Bytes casm = CasmBuilder()
                   .Group("Main A")
                   .RawInGroup(CtabChunk(Entry(10, 10, 2)))
                   .RawInGroup(Ctb2Chunk(newer))
                   .RawInGroup(test::CnttChunk(10, 0x81))
                   .RawInGroup(test::CnttChunk(12, 0x00))
                   .Group("Main B")
                   .RawInGroup(CtabChunk(Entry(10, 10, 2)))
                   .Build();
  ChordRules rules = Read(casm);
  const SectionRules mainA = rules.ForSection("Main A");
  EXPECT_EQ(mainA[10].ranges[1].ntt, Ntt::Melody);
  EXPECT_TRUE(mainA[10].ranges[1].bassOn);
  EXPECT_EQ(mainA[12].ranges[1].ntt, Ntt::Chord);  // newer entries keep their own
  EXPECT_EQ(rules.ForSection("Main B")[10].ranges[1].ntt, Ntt::Chord);  // another group
}

TEST(ChordRules, ShortOrOddEntriesAreLeftOut) {
  RuleEntry shortCtab = Entry(10, 10);
  shortCtab.length = 25;
  RuleEntry shortCtb2 = Entry(11, 11);
  shortCtb2.length = 39;
  RuleEntry badChannel = Entry(16, 12);
  RuleEntry outOfRange = Entry(13, 13);
  outOfRange.sourceRoot = 12;
  outOfRange.sourceType = 34;
  outOfRange.range = {7, 9, 12, 0, 127, 6};
  Bytes unknown;
  test::AppendText(unknown, "Xtra");
  test::AppendBE32(unknown, 3);
  unknown.insert(unknown.end(), {1, 2, 3});
  Bytes casm = CasmBuilder()
                   .Group("Main A")
                   .RawInGroup(CtabChunk(shortCtab))
                   .RawInGroup(Ctb2Chunk(shortCtb2))
                   .RawInGroup(CtabChunk(badChannel))
                   .RawInGroup(unknown)
                   .RawInGroup(CtabChunk(outOfRange))
                   .Build();
  ChordRules rules = Read(casm);
  ASSERT_EQ(rules.groups.at(0).channels.size(), 1u);
  const ChannelRule& c = rules.groups[0].channels[0];
  EXPECT_EQ(c.sourceChannel, 13);
  EXPECT_EQ(c.sourceRoot, 0);  // values outside their range read as the defaults
  EXPECT_EQ(c.sourceType, 2);
  EXPECT_EQ(c.ranges[1], (RangeRule{Ntr::RootTranspose, Ntt::Bypass, false, 0, 5, 0, 127, Rtr::PitchShift}));
  EXPECT_EQ(RuleDamageWarnings(rules), std::vector<std::string>{"the chord rules of section Main A are damaged: an "
                                                                "entry is too short to hold its rule (3 entries skipped)"});
}

TEST(ChordRules, BytesCutFromAnEntryAreDamageNamedWithTheEntriesSkipped) {
  const Bytes casm = CasmBuilder()
                         .Group("Intro A")
                         .RawInGroup(CtabChunk(Entry(10, 10)))
                         .Group("Main A,Main B")
                         .RawInGroup(CtabChunk(Entry(10, 10)))
                         .RawInGroup(CtabChunk(Entry(11, 11)))
                         .RawInGroup(Ctb2Chunk(Entry(12, 12)))
                         .RawInGroup(Ctb2Chunk(Entry(13, 13)))
                         .Build();
  EXPECT_EQ(RuleDamageWarnings(Read(casm)), std::vector<std::string>{});
  Bytes cut = casm;
  const auto second = std::search(cut.begin() + 70, cut.end(), std::begin("Ctab"), std::begin("Ctab") + 4);
  cut.erase(second + 20, second + 47);
  EXPECT_EQ(RuleDamageWarnings(Read(cut)),
            std::vector<std::string>{"the chord rules of sections Main A, Main B are damaged: an entry runs past "
                                     "the end of its block (2 entries skipped)"});
}

TEST(ChordRules, WithoutABlockEveryChannelHasItsDefaults) {
  ChordRules rules = Read({});
  EXPECT_FALSE(rules.hasBlock);
  SectionRules s = rules.ForSection("Main A");
  const struct {
    int channel, part;
    Ntt ntt;
    bool bassOn;
  } expected[] = {{0, kNoPart, Ntt::Bypass, false},       {7, kNoPart, Ntt::Bypass, false},
                  {8, kRhythmSub, Ntt::Bypass, false},    {9, kRhythmMain, Ntt::Bypass, false},
                  {10, kBassPart, Ntt::Melody, true},     {11, kChord1Part, Ntt::Chord, false},
                  {12, kChord2Part, Ntt::Chord, false},   {13, kPadPart, Ntt::Chord, false},
                  {14, kPhrase1Part, Ntt::Melody, false}, {15, kPhrase2Part, Ntt::Melody, false}};
  for (const auto& e : expected) {
    const ChannelRule& c = s[static_cast<size_t>(e.channel)];
    EXPECT_EQ(c.part, e.part) << e.channel;
    EXPECT_EQ(c.ranges[1].ntt, e.ntt) << e.channel;
    EXPECT_EQ(c.ranges[1].bassOn, e.bassOn) << e.channel;
    EXPECT_EQ(c.ranges[1].ntr, Ntr::RootTranspose);
    EXPECT_EQ(c.ranges[1].highKey, 5);
    EXPECT_EQ(c.sourceType, 2);  // CMaj7
    EXPECT_EQ(c.chordMute, kAllChordTypes);
    EXPECT_EQ(c.noteMute, kAllRoots);
  }
}

TEST(ChordRules, FoundBehindOtherChunksOrByTheEndOfTrack) {
  Bytes other;
  test::AppendText(other, "OTSc");
  test::AppendBE32(other, 4);
  other.insert(other.end(), {0, 0, 0, 0});
  Bytes casm = CasmBuilder().Group("Main A").RawInGroup(CtabChunk(Entry(10, 10, 2))).Build();
  Bytes behindOther = other;
  behindOther.insert(behindOther.end(), casm.begin(), casm.end());
  EXPECT_EQ(Read(behindOther).ForSection("Main A")[10].ranges[1].ntt, Ntt::Chord);
  EXPECT_EQ(RuleDamageWarnings(Read(behindOther)), std::vector<std::string>{});

  // A track chunk whose length is wrong: the block stands behind End of Track.
  Bytes file = StyleBytes(Track(), casm);
  const int64_t endOfTrack = 22 + static_cast<int64_t>(Track().size()) - 4;
  file[21] = static_cast<uint8_t>(file[21] - 2);
  EXPECT_EQ(ReadChordRules(file, endOfTrack).ForSection("Main A")[10].ranges[1].ntt, Ntt::Chord);
  EXPECT_FALSE(ReadChordRules(file).hasBlock);
}

}  // namespace
}  // namespace vambrio
