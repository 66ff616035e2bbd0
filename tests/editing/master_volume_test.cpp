#include "editing/master_volume.h"

#include <gtest/gtest.h>

#include "editing/edit_handlers.h"
#include "editing_test_util.h"

namespace vambrio::test {
namespace {

TEST(ScaledVolume, RoundsHalfToEvenAndClipsAt127) {
  EXPECT_EQ(ScaledVolume(100, 80, 90), 112);  // 112.5
  EXPECT_EQ(ScaledVolume(100, 80, 70), 88);   // 87.5
  EXPECT_EQ(ScaledVolume(127, 64, 100), 127); // 198.4
  EXPECT_EQ(ScaledVolume(127, 64, 30), 60);   // 59.53
  EXPECT_EQ(ScaledVolume(64, 64, 77), 77);    // slider at the average
}

TEST(ComputeMasterVolume, AveragesUsedSlotsOnlyWithHalfToEven) {
  StyleModel m = MakeStartupModel();
  EXPECT_EQ(ComputeMasterVolume(m), 0);
  m.VolumeEventValue[0] = 2, m.VolumeEventPos[0] = 30;
  m.VolumeEventValue[1] = 3, m.VolumeEventPos[1] = 40;
  m.VolumeEventValue[2] = 120;  // unused slot: position 0
  EXPECT_EQ(ComputeMasterVolume(m), 2);  // 2.5
  m.VolumeEventValue[1] = 5;
  EXPECT_EQ(ComputeMasterVolume(m), 4);  // 3.5
}

class MasterVolumeTest : public ::testing::Test {
 protected:
  TempDir dir;
};

// Every byte except the recorded volume bytes is as loaded.
void ExpectOnlyVolumeBytesDiffer(const StyleModel& m, const Bytes& loaded) {
  ASSERT_EQ(m.StyleData.size(), loaded.size());
  std::vector<bool> isVolume(loaded.size(), false);
  for (size_t i = 0; i < m.VolumeEventPos.size(); ++i)
    if (m.VolumeEventPos[i] > 0) isVolume[static_cast<size_t>(m.VolumeEventPos[i])] = true;
  for (size_t i = 0; i < loaded.size(); ++i) {
    if (!isVolume[i]) {
      ASSERT_EQ(m.StyleData[i], loaded[i]) << "byte " << i;
    }
  }
}

TEST_F(MasterVolumeTest, SetScalesEveryEventFromTheLoadedValuesAndUndoRestores) {
  // Two events 90 and 70: average 80.
  TrackBuilder t;
  t.Tempo(500000).TimeSignature(4, 2).Marker("SInt").ControlChange(0, 7, 90).ControlChange(1, 39, 70)
      .Marker("Main A").Delta(10).NoteOn(0, 60, 1).EndOfTrack();
  StyleModel m = Loaded(dir, StyleBytes(t, TrailingChunks()));
  const Bytes loaded = m.StyleData;
  ASSERT_EQ(m.MasterVolume, 80);
  for (int press = 0; press < 2; ++press) {  // a second Set gives the same bytes
    EXPECT_TRUE(ApplyMasterVolume(m, 100));
    EXPECT_EQ(m.StyleData[m.VolumeEventPos[0]], 112);
    EXPECT_EQ(m.StyleData[m.VolumeEventPos[1]], 88);
  }
  ExpectOnlyVolumeBytesDiffer(m, loaded);
  EXPECT_EQ(m.MasterVolume, 80);
  RestoreVolumes(m);
  EXPECT_EQ(m.StyleData, loaded);
}

TEST_F(MasterVolumeTest, TablesFilledToTheirEdgeAreScaledAndRestoredInFull) {
  for (int events : {17, 33, 49}) {
    SCOPED_TRACE(events);
    StyleModel m = Loaded(dir, VolumeStyle(events, 0, 40));
    const Bytes loaded = m.StyleData;
    int used = 0;
    for (auto p : m.VolumeEventPos) used += p > 0;
    ASSERT_EQ(used, events);
    ASSERT_TRUE(ApplyMasterVolume(m, 127));
    for (size_t i = 0; i < static_cast<size_t>(events); ++i) {
      uint8_t want = ScaledVolume(127, m.MasterVolume, m.VolumeEventValue[i]);
      ASSERT_EQ(m.StyleData[m.VolumeEventPos[i]], want) << "event " << i;
      ASSERT_NE(want, m.VolumeEventValue[i]) << "event " << i << " would not show a change";
    }
    ExpectOnlyVolumeBytesDiffer(m, loaded);
    RestoreVolumes(m);
    EXPECT_EQ(m.StyleData, loaded);
  }
}

TEST_F(MasterVolumeTest, StyleWithoutAnAverageIsLeftUnchanged) {
  TrackBuilder none;
  none.Marker("SInt").Marker("Main A").Delta(10).NoteOn(0, 60, 1).EndOfTrack();
  TrackBuilder zeros;
  zeros.Marker("SInt").ControlChange(0, 7, 0).ControlChange(1, 7, 0).Marker("Main A").EndOfTrack();
  for (const auto& t : {none, zeros}) {
    StyleModel m = Loaded(dir, StyleBytes(t));
    const Bytes loaded = m.StyleData;
    ASSERT_EQ(m.MasterVolume, 0);
    EXPECT_FALSE(ApplyMasterVolume(m, 100));
    RestoreVolumes(m);
    EXPECT_EQ(m.StyleData, loaded);
  }
}

TEST(MasterVolumeHandlers, SetEndsARequestedPlaybackAndUndoMovesTheSlider) {
  StyleModel m = MakeStartupModel();
  m.PlayRequested = true;
  EditResult set = cmdSet_Click(m, 90);
  EXPECT_TRUE(set.view.EndPlayback);
  EXPECT_FALSE(m.PlayRequested);
  EXPECT_EQ(set.view.SetEnabled, false);
  EXPECT_EQ(set.view.RestoreEnabled, true);
  EXPECT_FALSE(cmdSet_Click(m, 90).view.EndPlayback);
  m.MasterVolume = 57;
  EXPECT_EQ(cmdRestore_Click(m).MasterVolumeSlider, 57);
}

}  // namespace
}  // namespace vambrio::test
