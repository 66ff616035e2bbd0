#include "midi/midi_file_events.h"

#include <gtest/gtest.h>

#include "style_builder.h"

namespace vambrio::midi {
namespace {

using test::Bytes;
using test::TrackBuilder;

std::vector<Bytes> Sent(const MidiFileEvents& f) {
  std::vector<Bytes> out;
  for (const auto& e : f.events) out.emplace_back(f.Bytes(e), f.Bytes(e) + e.size);
  return out;
}

std::vector<int64_t> Times(const MidiFileEvents& f) {
  std::vector<int64_t> out;
  for (const auto& e : f.events) out.push_back(e.timeUs);
  return out;
}

TEST(MidiFileEvents, RunningStatusSysexAndMetaAsSent) {
  TrackBuilder t;
  t.Marker("SInt").Sysex({0x43, 0x10, 0x4C, 0xF7}).SysexF7({0xF0, 0x01}).NoteOn(0, 60, 100).Running({64, 90});
  t.ProgramChange(1, 5).Running({6}).EndOfTrack();
  auto f = ReadMidiFileEvents(test::StyleBytes(t, {}, 480));
  ASSERT_TRUE(f);
  EXPECT_EQ(Sent(*f), (std::vector<Bytes>{{0xF0, 0x43, 0x10, 0x4C, 0xF7},
                                          {0xF0, 0x01},
                                          {0x90, 60, 100},
                                          {0x90, 64, 90},
                                          {0xC1, 5},
                                          {0xC1, 6}}));
}

TEST(MidiFileEvents, TempoChangesTimeTheEventsAfterThem) {
  // 480 ticks a quarter: 120 bpm until tick 960, then 60 bpm.
  TrackBuilder t;
  t.NoteOn(0, 60, 1).Delta(480).NoteOn(0, 61, 1).Delta(480).Tempo(1000000).NoteOn(0, 62, 1);
  t.Delta(240).NoteOn(0, 63, 1).Delta(240).EndOfTrack();
  auto f = ReadMidiFileEvents(test::StyleBytes(t, {}, 480));
  ASSERT_TRUE(f);
  EXPECT_EQ(Times(*f), (std::vector<int64_t>{0, 500000, 1000000, 1500000}));
  EXPECT_EQ(f->endUs, 2000000);
}

TEST(MidiFileEvents, TracksMergeInTimeWithTheTempoOfAnyTrack) {
  TrackBuilder conductor;
  conductor.Delta(480).Tempo(250000).EndOfTrack();
  TrackBuilder music;
  music.Delta(480).NoteOn(1, 60, 1).Delta(480).NoteOn(1, 62, 1).EndOfTrack();
  TrackBuilder other;
  other.Delta(240).NoteOn(2, 50, 1).Delta(480).NoteOn(2, 52, 1).EndOfTrack();
  Bytes file = test::StyleBytes(conductor, {}, 480);
  file[9] = 1;   // format 1
  file[11] = 3;  // three tracks
  for (const TrackBuilder* t : {&music, &other}) {
    test::AppendText(file, "MTrk");
    test::AppendBE32(file, static_cast<uint32_t>(t->bytes().size()));
    file.insert(file.end(), t->bytes().begin(), t->bytes().end());
  }
  auto f = ReadMidiFileEvents(file);
  ASSERT_TRUE(f);
  // tick 240: 250 ms; tick 480: 500 ms (then a quarter lasts 250 ms); tick 720: 625 ms; tick 960: 750 ms.
  EXPECT_EQ(Times(*f), (std::vector<int64_t>{250000, 500000, 625000, 750000}));
  EXPECT_EQ(Sent(*f)[1], (Bytes{0x91, 60, 1}));
}

TEST(MidiFileEvents, SpoiltTrackEndsAtItsLastWholeEventAndBadHeadersAreRefused) {
  for (const Bytes& spoilt : {Bytes{0x0A, 0x90, 0x45}, Bytes{0x0A, 0x45}, Bytes{0x0A}}) {
    TrackBuilder t;
    t.NoteOn(0, 60, 100).Raw(spoilt);  // one data byte short, running status short, a delta time alone
    auto f = ReadMidiFileEvents(test::StyleBytes(t, {}, 480));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->events.size(), 1u);
  }

  Bytes notMidi = {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0};
  EXPECT_FALSE(ReadMidiFileEvents(notMidi));
  Bytes zeroDivision = test::StyleBytes(TrackBuilder().EndOfTrack(), {}, 0);
  EXPECT_FALSE(ReadMidiFileEvents(zeroDivision));
}

}  // namespace
}  // namespace vambrio::midi
