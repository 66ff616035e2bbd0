#include "playback/pc_volume.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_mixer.h"

namespace vambrio {
namespace {

using Set = std::pair<uint32_t, uint32_t>;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(PcVolume, StartUpSetsHalfTheRangeAndTheSliderToTheMiddle) {
  test::FakeMixer mixer;
  PcVolume state;
  SliderVolSetup s = StartPcVolume(mixer, state);
  EXPECT_TRUE(s.Enabled);
  EXPECT_TRUE(s.RangeSet);
  EXPECT_EQ(s.Minimum, 1);
  EXPECT_EQ(s.Maximum, 100);
  EXPECT_EQ(s.Position, 50);
  EXPECT_TRUE(s.Message.empty());
  EXPECT_THAT(mixer.sets, ElementsAre(Set{7, 32768}));  // 65535 / 2 rounds to the even 32768
  EXPECT_EQ(state.MixerVolumeControl.ControlId, 7u);
}

TEST(PcVolume, HalfRangeRoundsHalvesToEven) {
  for (auto [maximum, expected] : {std::pair{65536, 32768u}, {5, 2u}, {7, 4u}, {0, 0u}}) {
    test::FakeMixer mixer;
    mixer.control = platform::MixerControl{1, maximum};
    PcVolume state;
    StartPcVolume(mixer, state);
    EXPECT_THAT(mixer.sets, ElementsAre(Set{1, expected})) << maximum;
  }
}

TEST(PcVolume, SliderHandsOnItsPercentageOfTheFixedFullScale) {
  test::FakeMixer mixer;
  PcVolume state;
  StartPcVolume(mixer, state);
  mixer.sets.clear();
  mixer.setResult = false;  // a refused change is not reported
  for (int p : {50, 100, 1, 1, 37}) SliderVolChange(mixer, state, p);
  EXPECT_THAT(mixer.sets, ElementsAre(Set{7, 32500}, Set{7, 65000}, Set{7, 650}, Set{7, 650}, Set{7, 24050}));
  for (int p = 1; p <= 100; ++p) EXPECT_EQ(SliderVolumeValue(p), 650 * p) << p;
}

TEST(PcVolume, NoVolumeControlSendsNothingAndDisablesTheSlider) {
  test::FakeMixer mixer;
  mixer.control.reset();
  PcVolume state;
  SliderVolSetup s = StartPcVolume(mixer, state);
  EXPECT_FALSE(s.Enabled);
  EXPECT_FALSE(s.RangeSet);
  EXPECT_TRUE(s.Message.empty());
  SliderVolChange(mixer, state, 80);
  EXPECT_THAT(mixer.sets, IsEmpty());
  EXPECT_EQ(state.MixerVolumeControl.ControlId, 0u);
}

TEST(PcVolume, AMixerThatCannotBeOpenedIsReportedAndLeftAlone) {
  test::FakeMixer mixer;
  mixer.openResult = false;
  PcVolume state;
  SliderVolSetup s = StartPcVolume(mixer, state);
  EXPECT_EQ(s.Message, "Couldn't open the mixer.");
  EXPECT_FALSE(s.Enabled);
  EXPECT_EQ(mixer.lookups, 0);
  SliderVolChange(mixer, state, 10);
  EXPECT_THAT(mixer.sets, IsEmpty());
}

TEST(PcVolume, SetMixerVolumeReturnsThePlatformsAnswer) {
  test::FakeMixer mixer;
  platform::MixerControl c{3, 65535};
  EXPECT_TRUE(SetMixerVolume(mixer, c, 100));
  mixer.setResult = false;
  EXPECT_FALSE(SetMixerVolume(mixer, c, 100));
  platform::MixerControl found;
  EXPECT_TRUE(FindMixerVolumeControl(mixer, found));
  EXPECT_EQ(found.Maximum, 65535);
}

}  // namespace
}  // namespace vambrio
