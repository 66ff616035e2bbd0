#include "platform/midi_ports/midi_sender.h"

#include <gtest/gtest.h>

#include "fakes/fake_midi.h"
#include "platform/midi_ports/midi_file_source.h"
#include "platform/midi_ports/realtime_port_source.h"
#include "style_builder.h"

namespace vambrio::platform {
namespace {

using test::Bytes;
using test::FakeMidiOut;
using test::FakeMonoClock;

constexpr int64_t kMs = 1'000'000;

// 480 ticks a quarter at 120 bpm: one tick is 1.0417 ms; 96 ticks are 100 ms.
midi::MidiFileEvents File(const test::TrackBuilder& t) { return *midi::ReadMidiFileEvents(test::StyleBytes(t, {}, 480)); }

// Everything sent apart from the final silence (note-offs and controllers 123/121).
std::vector<test::SentMessage> Music(const std::vector<test::SentMessage>& sent) {
  std::vector<test::SentMessage> out;
  for (const auto& m : sent) {
    bool reset = m.bytes.size() == 3 && (m.bytes[0] & 0xF0) == 0xB0 && (m.bytes[1] == 123 || m.bytes[1] == 121);
    if (!reset) out.push_back(m);
  }
  return out;
}

TEST(MidiSender, SendsEachEventAtItsTimeAndSilencesWhatSounds) {
  FakeMonoClock clock;
  FakeMidiOut out(&clock);
  MidiSender sender(out, clock);
  test::TrackBuilder t;
  t.NoteOn(0, 60, 100).Delta(96).NoteOn(9, 36, 90).Delta(96).NoteOff(0, 60).Delta(960).NoteOn(2, 40, 1).EndOfTrack();
  auto file = File(t);
  MidiFileSource source(file);
  const int64_t start = clock.now;
  source.Start(start);
  sender.SetSource(&source);
  while (clock.now < start + 500 * kMs) sender.RunPeriod();

  auto sent = out.Sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].timeNs, start);
  EXPECT_EQ(sent[1].timeNs, start + 100 * kMs);
  EXPECT_EQ(sent[1].bytes, (Bytes{0x99, 36, 90}));
  EXPECT_EQ(sent[2].timeNs, start + 200 * kMs);
  EXPECT_FALSE(source.Ended());

  out.Clear();
  sender.Silence();
  sent = out.Sent();
  // The drum note still sounds: its note-off first, then 123 and 121 on all sixteen channels.
  ASSERT_EQ(sent.size(), 1u + 32u);
  EXPECT_EQ(sent[0].bytes, (Bytes{0x89, 36, 0}));
  for (uint8_t ch = 0; ch < 16; ++ch) {
    EXPECT_EQ(sent[1 + 2 * ch].bytes, (Bytes{static_cast<uint8_t>(0xB0 | ch), 123, 0}));
    EXPECT_EQ(sent[2 + 2 * ch].bytes, (Bytes{static_cast<uint8_t>(0xB0 | ch), 121, 0}));
  }
  // Nothing plays after the silence, and a second silence has nothing to add.
  out.Clear();
  for (int i = 0; i < 2000; ++i) sender.RunPeriod();
  sender.Silence();
  EXPECT_TRUE(out.Sent().empty());
}

TEST(MidiSender, PausedFileGoesOnWhereItStoppedAndReportsItsEnd) {
  FakeMonoClock clock;
  FakeMidiOut out(&clock);
  MidiSender sender(out, clock);
  test::TrackBuilder t;
  t.NoteOn(0, 60, 1).Delta(96).NoteOn(0, 61, 1).Delta(96).NoteOn(0, 62, 1).Delta(96).EndOfTrack();
  auto file = File(t);
  MidiFileSource source(file);
  int ends = 0;
  source.SetEndHandler([](void* n) { ++*static_cast<int*>(n); }, &ends);

  source.Start(clock.now);
  sender.SetSource(&source);
  while (clock.now < 1'150 * kMs) sender.RunPeriod();  // 150 ms in: two notes sent
  sender.Silence();
  source.Pause(clock.now);
  clock.now += 10'000 * kMs;
  const int64_t resumed = clock.now;
  source.Start(resumed);
  sender.SetSource(&source);
  while (!source.Ended()) sender.RunPeriod();

  auto music = Music(out.Sent());
  ASSERT_EQ(music.size(), 5u);  // 60, 61, their note-offs at the pause, then 62
  EXPECT_EQ(music[2].bytes, (Bytes{0x80, 60, 0}));
  EXPECT_EQ(music[3].bytes, (Bytes{0x80, 61, 0}));
  EXPECT_EQ(music[4].bytes, (Bytes{0x90, 62, 1}));
  EXPECT_EQ(music[4].timeNs, resumed + 50 * kMs);  // 200 ms into the file
  EXPECT_EQ(ends, 1);
  EXPECT_GE(clock.now, resumed + 150 * kMs);  // the end is reported at End of Track, 300 ms in
}

TEST(MidiSender, OwnThreadPlaysOnTheSystemClockAndClosesInSilence) {
  SystemMonoClock clock;
  FakeMidiOut out(&clock);
  test::TrackBuilder t;
  t.NoteOn(0, 60, 100).Delta(10).NoteOn(0, 64, 100).Delta(10).EndOfTrack();
  auto file = File(t);
  MidiFileSource source(file);
  {
    MidiSender sender(out, clock);
    sender.Start();
    source.Start(clock.NowNs());
    sender.SetSource(&source);
    for (int i = 0; i < 2000 && !source.Ended(); ++i) clock.SleepUntil(clock.NowNs() + kMs);
    ASSERT_TRUE(source.Ended());
  }
  auto sent = out.Sent();
  ASSERT_EQ(sent.size(), 2u + 2u + 32u);  // both notes, their note-offs at closing, the reset
  EXPECT_EQ(sent[2].bytes, (Bytes{0x80, 60, 0}));
  EXPECT_EQ(sent[3].bytes, (Bytes{0x80, 64, 0}));
}

// A client of the audio callback that plays a note every 10 ms of its sample
// clock (480 samples at 48 kHz), and counts the frames it was asked for.
class TenMsClient final : public realtime::RealtimeClient {
 public:
  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override {
    for (int64_t s = block.sampleTime; s < block.sampleTime + block.frames; ++s) {
      if (s % 480 == 0) events.Add(realtime::RealtimeEvent::Short(static_cast<uint32_t>(s - block.sampleTime), 0x90, 60, 1));
    }
    frames += block.frames;
  }
  int64_t frames = 0;
};

TEST(MidiSender, RealtimeClientPlaysOnAPortAtItsSamples) {
  FakeMonoClock clock;
  FakeMidiOut out(&clock);
  MidiSender sender(out, clock);
  TenMsClient client;
  RealtimePortSource source(client);
  const int64_t start = clock.now;
  source.Start(start);
  sender.SetSource(&source);
  while (clock.now < start + 35 * kMs) sender.RunPeriod();
  auto sent = out.Sent();
  ASSERT_EQ(sent.size(), 4u);
  for (size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i].timeNs, start + static_cast<int64_t>(i) * 10 * kMs);
  EXPECT_EQ(client.frames, source.SampleTime());
  EXPECT_GE(client.frames, 35 * 48);  // every sample asked for once, none twice
}

}  // namespace
}  // namespace vambrio::platform
