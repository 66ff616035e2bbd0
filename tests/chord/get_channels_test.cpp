#include "chord/get_channels.h"

#include <gtest/gtest.h>

#include "chord_test_support.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::CasmBuilder;
using test::ChordEntry;
using test::ModelWith;
using test::TrackBuilder;

TrackBuilder ShortTrack() {
  TrackBuilder t;
  t.Marker("SInt").Marker("Main A").Delta(10).NoteOn(10, 60, 100).Delta(10).NoteOff(10, 60);
  return t;
}

StyleModel Read(const Bytes& casm, const std::string& section) {
  StyleModel m = ModelWith(ShortTrack(), casm);
  m.CurrentSectionName = section;
  GetChannels(m);
  return m;
}

ChordEntry Entry(int channel, int dest, int root = 0, int low = 0, int high = 127) {
  ChordEntry e;
  e.sourceChannel = channel;
  e.destChannel = dest;
  e.sourceRoot = root;
  e.noteLow = low;
  e.noteHigh = high;
  return e;
}

TEST(GetChannels, StoresTheEntriesOfTheGroupsThatListTheSection) {
  Bytes casm = CasmBuilder()
                   .Group("Main A,Main B")
                   .Ctab([] {
                     ChordEntry e = Entry(10, 10, 2, 28, 52);
                     e.minorEnable = 0xFE;
                     e.majorEnable = 0x03;
                     return e;
                   }())
                   .Ctab(Entry(11, 11, 0, 48, 72))
                   .Group("Fill In AA")
                   .Ctab(Entry(12, 12, 5, 50, 80))
                   .Build();
  StyleModel m = Read(casm, "Main B");
  const ChordTables& t = m.Chord;
  EXPECT_EQ(t.CtabDestChannel[11], 11);
  EXPECT_EQ(t.CtabSourceRoot[11], 2);
  EXPECT_EQ(t.CtabNoteLow[11], 28);
  EXPECT_EQ(t.CtabNoteHigh[11], 52);
  EXPECT_EQ(t.CtabMinorEnable[11], 0xFE);  // the whole byte is kept
  EXPECT_EQ(t.CtabMajorEnable[11], 0x03);
  EXPECT_EQ(t.CtabDestChannel[12], 12);
  EXPECT_EQ(t.CtabNoteLow[12], 48);
  // The "Fill In AA" group does not apply: channel 13 keeps the reset values.
  EXPECT_EQ(t.CtabDestChannel[13], 0);
  EXPECT_EQ(t.CtabNoteLow[13], 0);
  EXPECT_EQ(t.CtabNoteHigh[13], 127);
  EXPECT_EQ(t.CtabSourceRoot[13], 0);
}

TEST(GetChannels, MatchesTheSectionNameAnywhereInTheListText) {
  Bytes casm = CasmBuilder().Group("Main AB").Ctab(Entry(8, 8)).Build();
  EXPECT_EQ(Read(casm, "Main A").Chord.CtabDestChannel[9], 9);   // part of a longer name
  EXPECT_EQ(Read(casm, "in AB").Chord.CtabDestChannel[9], 9);    // not split at anything
  EXPECT_EQ(Read(casm, "main A").Chord.CtabDestChannel[9], 0);   // case matters
  EXPECT_EQ(Read(casm, "").Chord.CtabDestChannel[9], 9);         // an empty name is in every text
  Bytes emptyList = CasmBuilder().Group("").Ctab(Entry(8, 8)).Build();
  EXPECT_EQ(Read(emptyList, "").Chord.CtabDestChannel[9], 0);     // an empty text lists nothing
  EXPECT_EQ(Read(emptyList, "Main A").Chord.CtabDestChannel[9], 0);
}

TEST(GetChannels, TheLastApplyingEntryWins) {
  Bytes casm = CasmBuilder()
                   .Group("Main A,Main B")
                   .Ctab(Entry(10, 10, 0, 30, 50))
                   .Group("Main A")
                   .Ctab(Entry(10, 13, 7, 40, 60))
                   .Group("Main B")
                   .Ctab(Entry(10, 14, 9, 45, 65))
                   .Build();
  StyleModel m = Read(casm, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[11], 14);
  EXPECT_EQ(m.Chord.CtabSourceRoot[11], 7);
  EXPECT_EQ(m.Chord.CtabNoteLow[11], 40);
  EXPECT_EQ(m.Chord.CtabNoteHigh[11], 60);
}

TEST(GetChannels, WithoutABlockEveryChannelHasNoDestinationAndFullLimits) {
  StyleModel m = ModelWith(ShortTrack());
  m.CurrentSectionName = "Main A";
  m.Chord.CtabNoteLow[5] = 30;
  m.Chord.CtabSourceRoot[5] = 4;  // root and chord-enable bytes are not reset
  m.Chord.CtabMajorEnable[5] = 1;
  GetChannels(m);
  for (int i = 0; i < kChordSlots; ++i) {
    EXPECT_EQ(m.Chord.CtabDestChannel[i], 0) << i;
    EXPECT_EQ(m.Chord.CtabNoteLow[i], 0) << i;
    EXPECT_EQ(m.Chord.CtabNoteHigh[i], 127) << i;
  }
  EXPECT_EQ(m.Chord.CtabSourceRoot[5], 4);
  EXPECT_EQ(m.Chord.CtabMajorEnable[5], 1);
}

// The block found at an offset from the End of Track event's delta time.
int16_t DestWithBlockAt(int offset) {
  Bytes casm = CasmBuilder().Group("Main A").Ctab(Entry(3, 9)).Build();
  // End of Track takes 4 bytes (one delta byte); fill the rest with padding.
  Bytes after(static_cast<size_t>(offset - 4), 0x00);
  after.insert(after.end(), casm.begin(), casm.end());
  return Read(after, "Main A").Chord.CtabDestChannel[4];
}

TEST(GetChannels, SearchesElevenPositionsFromTheEndOfTrackEvent) {
  EXPECT_EQ(DestWithBlockAt(4), 10);   // right behind the track
  EXPECT_EQ(DestWithBlockAt(10), 10);  // the last of the 11 positions
  // When no position holds "CASM", reading goes on at the next one as if a
  // block stood there, which finds a block 11 bytes on, and no later one.
  EXPECT_EQ(DestWithBlockAt(11), 10);
  EXPECT_EQ(DestWithBlockAt(12), 0);
}

TEST(GetChannels, SkipsCnttChunksAsTenBytesWhateverTheirLength) {
  Bytes casm = CasmBuilder()
                   .Group("Main A")
                   .Ctab(Entry(1, 10))
                   .Cntt(1000)
                   .Cntt(0)
                   .Group("Main A")
                   .Ctab(Entry(2, 11))
                   .Build();
  StyleModel m = Read(casm, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[2], 11);
  EXPECT_EQ(m.Chord.CtabDestChannel[3], 12);
}

TEST(GetChannels, EntriesTooShortForTheirFieldsAreSteppedOver) {
  ChordEntry tooShort = Entry(1, 10, 0, 20, 40);
  tooShort.length = 24;  // the high limit would lie behind the entry
  ChordEntry justLongEnough = Entry(2, 11, 0, 21, 41);
  justLongEnough.length = 25;
  ChordEntry realLength = Entry(3, 12, 0, 22, 42);
  realLength.length = 31;
  Bytes casm = CasmBuilder().Group("Main A").Ctab(tooShort).Ctab(justLongEnough).Ctab(realLength).Build();
  StyleModel m = Read(casm, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[2], 0);
  EXPECT_EQ(m.Chord.CtabNoteHigh[2], 127);
  EXPECT_EQ(m.Chord.CtabDestChannel[3], 12);
  EXPECT_EQ(m.Chord.CtabNoteHigh[3], 41);
  EXPECT_EQ(m.Chord.CtabDestChannel[4], 13);
  EXPECT_EQ(m.Chord.CtabNoteLow[4], 22);
}

TEST(GetChannels, AFaultEndsTheReadingWithWhatWasStored) {
  // A source channel of 25 lies beyond the tables.
  Bytes casm = CasmBuilder()
                   .Group("Main A")
                   .Ctab(Entry(1, 10))
                   .Ctab(Entry(25, 11))
                   .Ctab(Entry(2, 12))
                   .Build();
  StyleModel m = Read(casm, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[2], 11);
  EXPECT_EQ(m.Chord.CtabDestChannel[3], 0);

  // A length of 2^31 or more.
  Bytes huge = CasmBuilder().Group("Main A").Ctab(Entry(1, 10)).Build();
  Bytes tail = {'C', 't', 'a', 'b', 0x80, 0x00, 0x00, 0x00, 2, 0, 0, 0};
  huge.insert(huge.end(), tail.begin(), tail.end());
  huge.resize(huge.size() + 40, 0);
  EXPECT_EQ(Read(huge, "Main A").Chord.CtabDestChannel[2], 11);

  // A block cut off in the middle of its last entry.
  Bytes cut = CasmBuilder().Group("Main A").Ctab(Entry(1, 10)).Ctab(Entry(2, 11)).Build();
  cut.resize(cut.size() - 10);
  m = Read(cut, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[2], 11);
  EXPECT_EQ(m.Chord.CtabDestChannel[3], 0);
  EXPECT_EQ(m.Chord.CtabNoteHigh[3], 127);
}

TEST(GetChannels, NonsenseBehindTheTrackLeavesTheResetTables) {
  const Bytes blocks[] = {
      Bytes{'C', 'A', 'S', 'M'},
      Bytes{'C', 'A', 'S', 'M', 0, 0, 0, 0, 'C', 'S', 'E', 'G', 0xFF, 0xFF, 0xFF, 0xFF, 'S', 'd', 'e', 'c',
            0x7F, 0xFF, 0xFF, 0xFF},
      Bytes(200, 0xFF),
  };
  for (const Bytes& b : blocks) {
    StyleModel m = Read(b, "Main A");
    for (int i = 0; i < kChordSlots; ++i) EXPECT_EQ(m.Chord.CtabDestChannel[i], 0);
  }
}

TEST(GetT3Channels, ACtb2BlockIsReadWithTheNewerLayout) {
  ChordEntry older = Entry(1, 10, 0, 30, 50);  // a Ctab entry in front of the first Ctb2
  ChordEntry newer = Entry(2, 11, 4, 33, 66);
  Bytes casm = CasmBuilder().Group("Main A").Ctab(older).Ctb2(newer).Build();
  StyleModel m = Read(casm, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[3], 12);
  EXPECT_EQ(m.Chord.CtabSourceRoot[3], 4);
  EXPECT_EQ(m.Chord.CtabNoteLow[3], 33);  // data offsets 25 and 26
  EXPECT_EQ(m.Chord.CtabNoteHigh[3], 66);
  // The newer reader starts over and reads the Ctab entry with the same
  // offsets: its 27 data bytes hold zeros at 25 and 26.
  EXPECT_EQ(m.Chord.CtabDestChannel[2], 11);
  EXPECT_EQ(m.Chord.CtabNoteLow[2], 0);
  EXPECT_EQ(m.Chord.CtabNoteHigh[2], 0);
}

TEST(GetT3Channels, FindsTheBlockByTheTrackLength) {
  ChordEntry e = Entry(2, 11, 0, 33, 66);
  for (int gap : {0, 8, 9, 10}) {
    // The block begins gap bytes behind the track (TrackLength + 22 + gap);
    // EventStart is moved away so only the track length can find it. The
    // window ends at gap 8; gap 9 is where reading goes on when it is empty.
    Bytes after(static_cast<size_t>(gap), 0);
    Bytes casm = CasmBuilder().Group("Main A").Ctb2(e).Build();
    after.insert(after.end(), casm.begin(), casm.end());
    StyleModel m = ModelWith(ShortTrack(), after);
    m.CurrentSectionName = "Main A";
    m.EventStart = 22;
    GetT3Channels(m);
    EXPECT_EQ(m.Chord.CtabDestChannel[3], gap <= 9 ? 12 : 0) << gap;
  }
}

TEST(GetT3Channels, Ctb2EntriesNeedTwentySevenBytes) {
  ChordEntry shortEntry = Entry(2, 11, 0, 33, 66);
  shortEntry.length = 26;
  ChordEntry ctab = Entry(3, 12, 0, 1, 2);  // 27 bytes: long enough for the newer offsets
  ChordEntry shortCtab = Entry(4, 13, 0, 1, 2);
  shortCtab.length = 25;
  Bytes casm = CasmBuilder().Group("Main A").Ctb2(shortEntry).Ctab(ctab).Ctab(shortCtab).Build();
  StyleModel m = Read(casm, "Main A");
  EXPECT_EQ(m.Chord.CtabDestChannel[3], 0);
  EXPECT_EQ(m.Chord.CtabDestChannel[4], 13);
  EXPECT_EQ(m.Chord.CtabDestChannel[5], 0);
}

}  // namespace
}  // namespace vambrio
