#include "midi/midi_length.h"

#include <gtest/gtest.h>

#include "style_builder.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::StyleBytes;
using test::TrackBuilder;

// A format-1 file with the given track bodies.
Bytes MultiTrack(const std::vector<Bytes>& tracks, uint16_t division) {
  Bytes out;
  test::AppendText(out, "MThd");
  test::AppendBE32(out, 6);
  out.insert(out.end(), {0, 1, 0, static_cast<uint8_t>(tracks.size()), static_cast<uint8_t>(division >> 8),
                         static_cast<uint8_t>(division)});
  for (const auto& t : tracks) {
    test::AppendText(out, "MTrk");
    test::AppendBE32(out, static_cast<uint32_t>(t.size()));
    out.insert(out.end(), t.begin(), t.end());
  }
  return out;
}

TEST(MidiLength, DefaultTempoAndTempoChangesAlongTheTrack) {
  TrackBuilder plain;
  plain.NoteOn(0, 60, 100).Delta(1920).NoteOff(0, 60).EndOfTrack();
  auto t = MeasureMidi(StyleBytes(plain, {}, 480));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->LengthMs, 2000);  // four quarters at 120 a minute
  EXPECT_EQ(t->EndTick, 1920u);

  // 480 ticks at 500000 us, then 960 ticks at 250000 us, then 480 at 1000000 us.
  TrackBuilder changing;
  changing.Tempo(500000).Delta(480).Tempo(250000).Delta(960).Tempo(1000000).Delta(480).EndOfTrack();
  t = MeasureMidi(StyleBytes(changing, {}, 480));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->LengthMs, 500 + 500 + 1000);
  EXPECT_EQ(t->EndTick, 1920u);
}

TEST(MidiLength, SkipsRunningStatusSysexAndLongMetaEvents) {
  TrackBuilder t;
  t.Sysex(Bytes(200, 0x10))  // length 200 takes two bytes
      .Meta(0x01, Bytes(300, 'x'))
      .NoteOn(1, 60, 90)
      .Delta(240).Running({60, 0})
      .Delta(240).ProgramChange(2, 5)
      .Delta(240).Channel(0xD2, {40})
      .Delta(240).PitchBend(2, 0, 64)
      .Delta(1000).EndOfTrack();
  auto m = MeasureMidi(StyleBytes(t, {}, 1920));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->EndTick, 1960u);
  EXPECT_EQ(m->LengthMs, 510);  // 1960/1920 of 500 ms, rounded
}

TEST(MidiLength, TempoMapIsSharedByAllTracksAndTheLongestTrackDecides) {
  TrackBuilder conductor;
  conductor.Tempo(1000000).EndOfTrack();  // 60 a minute
  TrackBuilder music;
  music.NoteOn(0, 60, 100).Delta(960).NoteOff(0, 60).EndOfTrack();
  TrackBuilder shortOne;
  shortOne.Delta(10).EndOfTrack();
  auto m = MeasureMidi(MultiTrack({conductor.bytes(), music.bytes(), shortOne.bytes()}, 480));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->EndTick, 960u);
  EXPECT_EQ(m->LengthMs, 2000);
}

TEST(MidiLength, StopsAtTheAnnouncedTracksAndAtDamage) {
  TrackBuilder t;
  t.NoteOn(0, 60, 100).Delta(480).NoteOff(0, 60).EndOfTrack();
  Bytes padded = StyleBytes(t, Bytes(500, 0), 480);  // zero bytes after the track, as "Player.tmp" has them
  auto m = MeasureMidi(padded);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->LengthMs, 500);

  // Cut inside the last event: the track ends at its last whole event.
  TrackBuilder cut;
  cut.NoteOn(0, 60, 100).Delta(480).NoteOff(0, 60).Delta(960).NoteOn(0, 62, 100);
  Bytes bytes = StyleBytes(cut, {}, 480);
  bytes.pop_back();
  m = MeasureMidi(bytes);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->EndTick, 480u);

  // A data byte with no status in force ends the walk there.
  TrackBuilder broken;
  broken.Delta(480).Meta(0x01, {}).Raw({0x00, 0x40, 0x40});
  m = MeasureMidi(StyleBytes(broken, {}, 480));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->EndTick, 480u);
}

TEST(MidiLength, SmpteDivisionIgnoresTempo) {
  TrackBuilder t;
  t.Tempo(250000).Delta(1000).EndOfTrack();
  auto m = MeasureMidi(StyleBytes(t, {}, 0xE728));  // 25 frames of 40 ticks: a millisecond a tick
  ASSERT_TRUE(m);
  EXPECT_EQ(m->LengthMs, 1000);
}

TEST(MidiLength, RejectsWhatIsNoMidiFile) {
  EXPECT_FALSE(MeasureMidi(Bytes{}));
  EXPECT_FALSE(MeasureMidi(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0}));
  TrackBuilder t;
  t.EndOfTrack();
  EXPECT_FALSE(MeasureMidi(StyleBytes(t, {}, 0)));  // division 0
  Bytes shortHeader = StyleBytes(t, {}, 480);
  shortHeader[7] = 5;  // header chunk of 5 bytes
  EXPECT_FALSE(MeasureMidi(shortHeader));
  auto empty = MeasureMidi(StyleBytes(Bytes{}, {}, 480));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->LengthMs, 0);
}

}  // namespace
}  // namespace vambrio
