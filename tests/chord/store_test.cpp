#include "chord/store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "chord_test_support.h"
#include "model/error_reporter.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::ModelWith;
using test::TrackBuilder;

// Runs Store over every event of the track in front of End of Track and
// returns what it wrote.
struct StoreRun {
  StyleModel m = MakeStartupModel();
  PlayChoices choices;
  CollectingErrorReporter errors;

  explicit StoreRun(const TrackBuilder& t) : m(ModelWith(t)) {}

  // A channel whose chord table entry is set directly.
  StoreRun& Channel(int channel, int dest, int root = 0, int low = 0, int high = 0) {
    const auto i = static_cast<size_t>(channel + 1);
    m.Chord.CtabDestChannel[i] = static_cast<int16_t>(dest);
    m.Chord.CtabSourceRoot[i] = static_cast<int16_t>(root);
    m.Chord.CtabNoteLow[i] = static_cast<int16_t>(low);
    m.Chord.CtabNoteHigh[i] = static_cast<int16_t>(high);
    m.Chord.CtabMajorEnable[i] = 1;
    m.Chord.CtabMinorEnable[i] = 1;
    return *this;
  }

  Bytes Run(const std::string& section = "Main A") {
    m.CurrentSectionName = section;
    m.OutPos = 0;
    Store(m, 22, m.EventStart, choices, errors);
    return Bytes(m.OutData.begin(), m.OutData.begin() + m.OutPos);
  }
};

// The note one note-on event becomes on a channel with the given part.
int Transposed(int dest, int root, int note, bool minor = false, const std::string& section = "Main A",
               int low = 0, int high = 0) {
  TrackBuilder t;
  t.NoteOn(2, note, 100);
  StoreRun r(t);
  r.Channel(2, dest, root, low, high);
  r.choices.Minor = minor;
  Bytes out = r.Run(section);
  EXPECT_TRUE(r.errors.messages.empty());
  EXPECT_EQ(out.size(), 4u);
  return out.size() == 4 ? out[2] : -1;
}

TEST(Store, IntervalRules) {
  const int bass[12] = {0, 0, 2, 0, 4, 4, 4, 7, 7, 9, 7, 12};
  const int chordMajor[12] = {0, 0, 0, 0, 4, 4, 4, 7, 7, 7, 19, 12};
  const int chordMinor[12] = {0, 0, 0, 0, 3, 3, 3, 7, 7, 7, 19, 12};
  for (int i = 0; i < 12; ++i) {
    for (int dest : {11, 15, 16}) {
      EXPECT_EQ(Transposed(dest, 0, 60 + i), 60 + bass[i]) << "bass rule, dest " << dest << ", interval " << i;
      EXPECT_EQ(Transposed(dest, 0, 60 + i, true), 60 + bass[i]) << "bass rule has no minor form, " << i;
    }
    for (int dest : {12, 13, 14}) {
      EXPECT_EQ(Transposed(dest, 0, 60 + i), 60 + chordMajor[i]) << "chord rule, dest " << dest << ", " << i;
      EXPECT_EQ(Transposed(dest, 0, 60 + i, true), 60 + chordMinor[i]) << "chord rule minor, " << i;
    }
    // Channels of no part (destination 0..8) are moved to C but keep their interval.
    EXPECT_EQ(Transposed(0, 3, 63 + i), 60 + i);
    EXPECT_EQ(Transposed(4, 3, 63 + i, true), 60 + i);
  }
}

TEST(Store, TranspositionExamples) {
  EXPECT_EQ(Transposed(11, 2, 62), 60);  // bass, root D
  EXPECT_EQ(Transposed(12, 0, 61), 60);
  EXPECT_EQ(Transposed(12, 0, 61, false, "Intro A"), 61);  // no interval rule in intros ...
  EXPECT_EQ(Transposed(12, 0, 64, true, "Ending B"), 64);  // ... and endings, in minor too
  EXPECT_EQ(Transposed(11, 5, 66, false, "Ending A"), 61);  // the root is still taken off
  EXPECT_EQ(Transposed(12, 0, 70), 79);
  EXPECT_EQ(Transposed(11, 0, 70), 67);
  EXPECT_EQ(Transposed(12, 0, 64, true), 63);
  EXPECT_EQ(Transposed(11, 0, 64, true), 64);
  EXPECT_EQ(Transposed(12, 0, 59), 60);
  EXPECT_EQ(Transposed(12, 2, 1), 0);          // a note below the root: negative base
  EXPECT_EQ(Transposed(11, 0, 36, false, "Main A", 48, 127), 48);
  EXPECT_EQ(Transposed(11, 0, 100, false, "Main A", 0, 0), 100);   // high limit 0: no upper limit
  EXPECT_EQ(Transposed(11, 0, 100, false, "Main A", 0, 70), 64);
  EXPECT_EQ(Transposed(12, 0, 40, false, "Main A", 60, 50), 40);   // the high fold decides
}

TEST(Store, NotesAlwaysStayWithinMidiRange) {
  EXPECT_EQ(Transposed(11, 0, 60, false, "Main A", 200, 0), 120);   // a low limit above 127
  EXPECT_EQ(Transposed(11, 0, 60, false, "Main A", 130, 250), 120);
  EXPECT_EQ(Transposed(12, 11, 0, false, "Main A", 0, 0), 0);       // base -12, interval 1 -> 0: m = -12
  EXPECT_EQ(Transposed(12, 11, 9, false, "Main A"), 7);             // base -12, interval 10 -> 19
  EXPECT_EQ(Transposed(0, 127, 0), 5);                             // -127 comes up by octaves
  for (int root : {0, 5, 11, 127, 255})
    for (int note : {0, 1, 64, 126, 127})
      for (int dest : {0, 11, 12})
        for (int high : {0, 5, 127, 255}) {
          int n = Transposed(dest, root, note, false, "Main A", 0, high);
          EXPECT_TRUE(n >= 0 && n <= 127) << root << " " << note << " " << dest << " " << high << " -> " << n;
        }
}

TEST(Store, ClearedPartsAndDisabledChordTypesSoundWithVelocityZero) {
  TrackBuilder t;
  t.NoteOn(10, 60, 100).Delta(5).Running({62, 90}).ControlChange(10, 7, 90).NoteOff(10, 60, 64);
  t.NoteOn(11, 60, 100);
  t.NoteOn(8, 40, 100).NoteOn(9, 36, 100);
  StoreRun r(t);
  r.Channel(10, 11).Channel(11, 12).Channel(8, 9).Channel(9, 10);
  r.choices.Parts[2] = 0;                 // Bass
  r.m.Chord.CtabMajorEnable[12] = 0xFE;   // channel 11 does not sound on major chords ...
  r.m.Chord.CtabMajorEnable[9] = 0;       // ... the rhythm channels ignore the enable bytes
  r.m.Chord.CtabMinorEnable[10] = 0;
  Bytes out = r.Run();
  EXPECT_EQ(out, (Bytes{0x00, 0x9A, 60, 0, 0x05, 62, 0, 0x00, 0xBA, 7, 90, 0x00, 0x8A, 60, 0,
                        0x00, 0x9B, 60, 0, 0x00, 0x98, 40, 100, 0x00, 0x99, 36, 100}));
  // In minor the minor bytes decide.
  r.choices.Minor = true;
  r.choices.Parts[2] = 1;
  out = r.Run();
  EXPECT_EQ(out[3], 100);
  EXPECT_EQ(out[18], 100);
}

TEST(Store, RhythmPartsMoveToTheDrumChannel) {
  TrackBuilder t;
  t.NoteOn(8, 42, 80).Running({42, 0}).NoteOn(2, 36, 90).Running({38, 70}).NoteOn(15, 50, 60);
  StoreRun r(t);
  r.Channel(8, 9).Channel(2, 10).Channel(15, 9);
  r.choices.GmPlayer = true;
  r.choices.Parts[1] = 0;
  Bytes out = r.Run();
  // Rhythm Sub one channel up with a GM player; Rhythm Main onto channel 10,
  // with its running status kept; channel 16 has no channel above it.
  EXPECT_EQ(out, (Bytes{0x00, 0x99, 42, 80, 0x00, 42, 0, 0x00, 0x99, 36, 0, 0x00, 38, 0, 0x00, 0x9F, 50, 60}));
  r.choices.GmPlayer = false;
  out = r.Run();
  EXPECT_EQ(out[1], 0x98);
}

TEST(Store, OtherEventsAreCopiedByteForByte) {
  TrackBuilder t;
  t.Delta(200000).ProgramChange(3, 5).ControlChange(3, 10, 64).Running({11, 100}).PitchBend(3, 0, 64);
  t.Channel(0xD3, {40}).Channel(0xA3, {60, 20});
  t.Text(std::string(300, 'x')).Meta(0x09, {1, 2, 3}).Meta(0x7F, {0x43, 0x73});
  t.TimeSignature(4, 2).Tempo(600000).Sysex(Bytes(200, 0x11)).SysexF7({0x01, 0xF7});
  StoreRun r(t);
  Bytes out = r.Run();
  Bytes expected(r.m.StyleData.begin() + 22, r.m.StyleData.begin() + r.m.EventStart);
  EXPECT_EQ(out, expected);
  EXPECT_TRUE(r.errors.messages.empty());
  EXPECT_EQ(r.m.Pos, r.m.EventStart);
}

TEST(Store, DroppedSystemExclusiveEventsTakeTheirDeltaTimeWithThem) {
  TrackBuilder t;
  t.Delta(1).ControlChange(9, 7, 100).Delta(300).Sysex(Bytes(150, 0x22)).Delta(7).SysexF7({0xF7});
  t.Delta(2).NoteOn(9, 36, 90);
  StoreRun r(t);
  r.Channel(9, 10);
  r.choices.IncludeSysex = false;
  EXPECT_EQ(r.Run(), (Bytes{0x01, 0xB9, 7, 100, 0x02, 0x99, 36, 90}));
}

TEST(Store, EndsAtEndOfTrackWithoutCopyingAnyOfIt) {
  TrackBuilder t;
  t.NoteOn(9, 36, 90).Delta(500).EndOfTrack().Delta(1).NoteOn(9, 38, 90);
  StoreRun r(t);
  r.Channel(9, 10);
  r.m.CurrentSectionName = "Main A";
  Store(r.m, 22, static_cast<int32_t>(r.m.StyleData.size()), r.choices, r.errors);
  EXPECT_EQ(Bytes(r.m.OutData.begin(), r.m.OutData.begin() + r.m.OutPos), (Bytes{0x00, 0x99, 36, 90}));
  EXPECT_EQ(r.m.StyleData[r.m.Pos], 0xFF);
  EXPECT_TRUE(r.errors.messages.empty());
}

TEST(Store, CopiesOnlyEventsThatBeginBeforeTheEndOfTheStretch) {
  TrackBuilder t;
  t.NoteOn(9, 36, 90).Delta(1).NoteOn(9, 38, 90).Delta(1).NoteOn(9, 40, 90);
  StoreRun r(t);
  r.Channel(9, 10);
  r.m.OutPos = 0;
  Store(r.m, 22, 27, r.choices, r.errors);  // the second event begins at 26
  EXPECT_EQ(r.m.OutPos, 8);
  EXPECT_EQ(r.m.Pos, 30);
}

TEST(Store, AFaultIsReportedAndLeavesOnlyWholeEvents) {
  TrackBuilder t;
  t.NoteOn(9, 36, 90).Delta(3).NoteOn(4, 60, 90).NoteOn(9, 38, 90);
  StoreRun r(t);
  r.Channel(9, 10).Channel(4, 17);  // no part box for destination 17
  EXPECT_EQ(r.Run(), (Bytes{0x00, 0x99, 36, 90}));
  EXPECT_THAT(r.errors.messages,
              ::testing::ElementsAre("Error #: 9, Subscript out of range, encountered in Function Store. If the "
                                     "solution is not obvious, please report this to the author."));
}

TEST(Store, MalformedEventsAreFaults) {
  // Each case: the bytes behind a first note, and how many of them are whole events.
  const std::pair<Bytes, size_t> cases[] = {
      {{0x00, 0xFF, 0x01, 0x01, 'x', 0x00, 60, 64}, 5},      // running status after a meta event
      {{0x00, 0xF0, 0x01, 0xF7, 0x00, 60, 64}, 4},           // ... and after a system-exclusive event
      {{0x00, 0xF1, 0x00}, 0},                               // a system common message
      {{0x81, 0x80, 0x80, 0x80, 0x00, 0x99, 36, 64}, 0},     // a delta time of five bytes
      {{0x00, 0xFF, 0x01, 0x81, 0x80, 0x80, 0x80, 0x00}, 0}, // a length of five bytes
      {{0x00, 0xF0, 0x7F, 0x01}, 0},                         // a sysex longer than the file
  };
  for (const auto& [bytes, kept] : cases) {
    TrackBuilder t;
    t.NoteOn(9, 36, 90).Raw(bytes);
    StoreRun r(t);
    r.Channel(9, 10);
    Bytes expected{0x00, 0x99, 36, 90};
    expected.insert(expected.end(), bytes.begin(), bytes.begin() + static_cast<long>(kept));
    EXPECT_EQ(r.Run(), expected);
    EXPECT_EQ(r.errors.messages.size(), 1u);
  }
}

TEST(Store, DataBytesOf128OrMoreAreWrittenAs127) {
  TrackBuilder t;
  t.Channel(0x99, {0x80, 0xC8}).Channel(0x92, {0xFF, 0x90}).Running({60, 0xEE}).Channel(0xB2, {0x0B, 0xEE})
      .Channel(0xC2, {0x85}).Channel(0xE2, {0x00, 0xFF});
  StoreRun r(t);
  r.Channel(9, 10).Channel(2, 12, 0, 0, 100);  // a chord channel with its high limit at 100
  EXPECT_EQ(r.Run(), (Bytes{0x00, 0x99, 127, 127, 0x00, 0x92, 91, 127, 0x00, 60, 127, 0x00, 0xB2, 0x0B, 127,
                            0x00, 0xC2, 127, 0x00, 0xE2, 0x00, 127}));
  EXPECT_TRUE(r.errors.messages.empty());
}

TEST(Store, NeverWritesPastTheOutputBuffer) {
  TrackBuilder t;
  t.NoteOn(9, 36, 90).NoteOn(9, 38, 90).NoteOn(9, 40, 90);
  StoreRun r(t);
  r.Channel(9, 10);
  r.m.OutData.assign(10, 0);
  EXPECT_EQ(r.Run().size(), 8u);
  EXPECT_EQ(r.errors.messages.size(), 1u);
}

}  // namespace
}  // namespace vambrio
