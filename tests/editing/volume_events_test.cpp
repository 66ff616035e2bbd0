#include "editing/volume_events.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "editing/edit_handlers.h"
#include "editing/master_volume.h"
#include "editing/tempo_edit.h"
#include "editing_test_util.h"
#include "fakes/fake_message_boxes.h"

namespace vambrio::test {
namespace {

class VolumeEventsTest : public ::testing::Test {
 protected:
  TempDir dir;
  SilentErrorSink silent;
};

uint32_t TrackLengthField(const Bytes& b) {
  return uint32_t{b[18]} << 24 | uint32_t{b[19]} << 16 | uint32_t{b[20]} << 8 | b[21];
}

TEST_F(VolumeEventsTest, InsertsTheBlockRightAfterTheSIntMarker) {
  StyleModel m = Loaded(dir, VolumeStyle(0, 2, 100));
  const Bytes loaded = m.StyleData;
  const auto sint = static_cast<size_t>(m.SIntEndPos);
  ASSERT_EQ(m.InitialVolumeEventCount, 0);
  ASSERT_EQ(m.MasterVolume, 105);

  InsertResult r = InsertVolumeEvents(m, false, silent);
  ASSERT_EQ(r.outcome, InsertResult::Outcome::Inserted);
  ASSERT_EQ(m.StyleData.size(), loaded.size() + 64);
  EXPECT_TRUE(std::equal(loaded.begin() + 22, loaded.begin() + sint, m.StyleData.begin() + 22));
  for (int ch = 0; ch < 16; ++ch) {  // delta 0, control change on the channel, volume 64
    const Bytes want{0x00, static_cast<uint8_t>(0xB0 + ch), 0x07, 0x40};
    EXPECT_EQ(Bytes(m.StyleData.begin() + sint + ch * 4, m.StyleData.begin() + sint + ch * 4 + 4), want) << ch;
  }
  EXPECT_TRUE(std::equal(loaded.begin() + sint, loaded.end(), m.StyleData.begin() + sint + 64));
  EXPECT_EQ(TrackLengthField(m.StyleData), TrackLengthField(loaded) + 64);
  EXPECT_TRUE(std::equal(loaded.begin(), loaded.begin() + 18, m.StyleData.begin()));

  // The re-scan: 16 initial events of 64 ahead of the two later ones.
  EXPECT_EQ(m.InitialVolumeEventCount, 16);
  EXPECT_EQ(m.TrackLength, static_cast<int32_t>(TrackLengthField(loaded) + 64));
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(m.VolumeEventValue[i], 64);
    EXPECT_EQ(m.VolumeEventPos[i], static_cast<int32_t>(sint) + i * 4 + 3);
  }
  EXPECT_EQ(m.VolumeEventValue[16], 100);
  EXPECT_EQ(m.VolumeEventValue[17], 110);
  EXPECT_EQ(m.MasterVolume, 69);  // (16 x 64 + 210) / 18 = 68.6
  EXPECT_EQ(AddVolumeEventsLabels(m)[2], "This style has 16 initial volume events (i.e. before any Main section events).");

  const Bytes once = m.StyleData;
  r = InsertVolumeEvents(m, false, silent);
  EXPECT_EQ(r.outcome, InsertResult::Outcome::AlreadyHas);
  EXPECT_EQ(r.message, "This style already has initial volume events");
  EXPECT_EQ(m.StyleData, once);
}

TEST_F(VolumeEventsTest, AnyCountOtherThanSixteenLetsTheInsertionGoAhead) {
  for (int initial : {5, 17}) {
    StyleModel m = Loaded(dir, VolumeStyle(initial, 1));
    ASSERT_EQ(m.InitialVolumeEventCount, initial);
    ASSERT_EQ(InsertVolumeEvents(m, false, silent).outcome, InsertResult::Outcome::Inserted);
    EXPECT_EQ(m.InitialVolumeEventCount, initial + 16);
  }
}

TEST_F(VolumeEventsTest, TrackLengthCarriesIntoTheNextByte) {
  // A track of exactly 65472 bytes: the padding text event takes the rest.
  TrackBuilder head;
  head.Marker("SInt").Marker("Main A");
  const size_t tail = 4;  // End of Track
  size_t textBytes = 65472 - head.size() - tail - 6;  // delta, FF, 01, three length bytes
  TrackBuilder t = head;
  t.Text(std::string(textBytes, 'x')).EndOfTrack();
  ASSERT_EQ(t.size(), 65472u);
  StyleModel m = Loaded(dir, StyleBytes(t));
  ASSERT_EQ(InsertVolumeEvents(m, false, silent).outcome, InsertResult::Outcome::Inserted);
  EXPECT_EQ(m.StyleData[18], 0x00);
  EXPECT_EQ(m.StyleData[19], 0x01);
  EXPECT_EQ(m.StyleData[20], 0x00);
  EXPECT_EQ(m.StyleData[21], 0x00);
  EXPECT_EQ(m.TrackLength, 65536);
}

TEST_F(VolumeEventsTest, StyleWithoutSIntIsRefusedAndLeftAlone) {
  TrackBuilder t;
  t.Marker("Main A").ControlChange(0, 7, 90).EndOfTrack();
  // Loaded after a style that has one: its position must not be used.
  StyleModel m = Loaded(dir, VolumeStyle(0, 1), "Earlier.sty");
  ASSERT_GT(m.SIntEndPos, 0);
  LoadInto(m, dir, StyleBytes(t));
  const Bytes loaded = m.StyleData;
  InsertResult r = InsertVolumeEvents(m, false, silent);
  EXPECT_EQ(r.outcome, InsertResult::Outcome::NoSInt);
  EXPECT_EQ(r.message, "This style has no SInt section; volume events cannot be added");
  EXPECT_EQ(m.StyleData, loaded);
  EXPECT_EQ(m.MasterVolume, 90);
}

TEST_F(VolumeEventsTest, ShiftedTempoPositionsAreTheOnesAnEditWrites) {
  StyleModel m = Loaded(dir, VolumeStyle(0, 0));
  ASSERT_EQ(InsertVolumeEvents(m, false, silent).outcome, InsertResult::Outcome::Inserted);
  WriteTempo(m, 100);
  const size_t pos = static_cast<size_t>(m.TempoEventPos[0]);
  EXPECT_EQ(Bytes(m.StyleData.begin() + pos, m.StyleData.begin() + pos + 3), (Bytes{0x09, 0x27, 0xC0}));
  EXPECT_EQ(m.StyleData[pos - 3], 0xFF);
  EXPECT_EQ(m.StyleData[pos - 2], 0x51);
}

TEST_F(VolumeEventsTest, MenuCommandAndOkShowRefusalsAndMoveTheSlider) {
  FakeMessageBoxes boxes;
  StyleModel m = MakeStartupModel();
  EXPECT_FALSE(mnuVolumeEvents_Click(m, boxes));
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"Please select a style first"});

  m = Loaded(dir, VolumeStyle(0, 1, 127));
  boxes.shown.clear();
  EXPECT_TRUE(mnuVolumeEvents_Click(m, boxes));
  EditResult ok = AddVolumeEvents_OK(m, false, boxes, silent);
  EXPECT_EQ(ok.outcome, EditResult::Outcome::Done);
  EXPECT_EQ(ok.view.MasterVolumeSlider, 68);  // (16 x 64 + 127) / 17 = 67.7
  EXPECT_TRUE(boxes.shown.empty());

  ok = AddVolumeEvents_OK(m, false, boxes, silent);
  EXPECT_EQ(ok.outcome, EditResult::Outcome::Refused);
  EXPECT_FALSE(ok.view.MasterVolumeSlider.has_value());
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"This style already has initial volume events"});
}

}  // namespace
}  // namespace vambrio::test
