#include "midi/smf_writer.h"

#include <gtest/gtest.h>

#include "midi/midi_bytes.h"
#include "midi/midi_length.h"
#include "smf_check.h"

namespace vambrio::midi {
namespace {

TEST(SmfWriter, AbsoluteTicksBecomeDeltasInTickOrder) {
  SmfWriter w(96);
  w.Tempo(0, 600000);
  w.Channel(200, 0x90, 60, 100);
  w.Channel(100, 0xC3, 5);        // added late, written first
  w.Channel(200, 0x80, 60, 0);    // same tick: after the note on, as added
  w.Marker(100, "Main A");
  w.Text(300, "G7");
  const uint8_t sysex[200] = {0x43};
  w.Send(Event{300, 0xF0, 0, sizeof sysex, sysex});
  const std::vector<uint8_t> file = w.Finish(500);

  const test::SmfFile f = test::ReadSmf(file);
  ASSERT_TRUE(f.ok()) << f.error;
  EXPECT_EQ(f.format, 0);
  EXPECT_EQ(f.division, 96);
  struct Want {
    uint64_t tick;
    uint8_t status, metaType;
    std::vector<uint8_t> data;
  };
  const std::vector<Want> want = {
      {0, 0xFF, 0x51, {0x09, 0x27, 0xC0}}, {100, 0xC3, 0, {5}},    {100, 0xFF, 0x06, {'M', 'a', 'i', 'n', ' ', 'A'}},
      {200, 0x90, 0, {60, 100}},           {200, 0x80, 0, {60, 0}}, {300, 0xFF, 0x01, {'G', '7'}},
      {300, 0xF0, 0, std::vector<uint8_t>(sysex, sysex + 200)},     {500, 0xFF, 0x2F, {}}};
  ASSERT_EQ(f.events.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(f.events[i].tick, want[i].tick) << i;
    EXPECT_EQ(f.events[i].status, want[i].status) << i;
    EXPECT_FALSE(f.events[i].running) << i;
    if (want[i].status == 0xFF) {
      EXPECT_EQ(f.events[i].metaType, want[i].metaType) << i;
    }
    EXPECT_EQ(f.events[i].data, want[i].data) << i;
  }
  auto timing = MeasureMidi(file);
  ASSERT_TRUE(timing);
  EXPECT_EQ(timing->LengthMs, 500 * 600 / 96);
}

TEST(SmfWriter, EndOfTrackFollowsTheLastEventAndIsWrittenOnce) {
  SmfWriter w(480);
  w.Channel(1000, 0x99, 36, 100);
  w.Meta(20, meta::kEndOfTrack, nullptr, 0);  // ignored: Finish writes it
  const test::SmfFile f = test::ReadSmf(w.Finish(10));
  ASSERT_TRUE(f.ok()) << f.error;
  ASSERT_EQ(f.events.size(), 2u);
  EXPECT_EQ(f.events.back().tick, 1000u);

  const test::SmfFile empty = test::ReadSmf(SmfWriter(480).Finish());
  ASSERT_TRUE(empty.ok()) << empty.error;
  EXPECT_EQ(empty.events.size(), 1u);
}

}  // namespace
}  // namespace vambrio::midi
