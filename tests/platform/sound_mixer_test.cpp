// The PC volume on the ALSA mixer, as the private server's sink reports it.
#include <gtest/gtest.h>

#include <regex>

#include "platform/alsa_mixer/alsa_mixer.h"
#include "playback/pc_volume.h"
#include "sound_test_support.h"

namespace vambrio::test {
namespace {

// The raw volume of the sink's first channel (PulseAudio's full scale is 65536).
long SinkVolume() {
  ProcessResult r = RunProcess({"pactl", "get-sink-volume", "vambrio_test"});
  std::smatch m;
  if (r.status != 0 || !std::regex_search(r.out, m, std::regex(R"(front-left:\s*(\d+)\s*/\s*(\d+)%)"))) return -1;
  return std::stol(m[1]);
}

TEST(SoundMixer, StartUpSetsHalfAndTheSliderSetsItsShareOfTheFullScale) {
  platform::AlsaMixer mixer;
  PcVolume state;
  SliderVolSetup setup = StartPcVolume(mixer, state);
  ASSERT_TRUE(setup.Message.empty());
  ASSERT_TRUE(setup.Enabled) << "the Master control of the pulse plugin was not found";
  EXPECT_NEAR(SinkVolume(), 32768, 1);  // 50%
  SliderVolChange(mixer, state, 1);
  EXPECT_NEAR(SinkVolume(), 650.0 * 65536 / 65535, 1);  // 650/65535 of full scale
  SliderVolChange(mixer, state, 100);
  EXPECT_NEAR(SinkVolume(), 65000.0 * 65536 / 65535, 1);
  RunProcess({"pactl", "set-sink-volume", "vambrio_test", "100%"});
}

TEST(SoundMixer, AControlDeviceThatIsNotThereCannotBeOpened) {
  platform::AlsaMixer mixer("hw:97");
  PcVolume state;
  EXPECT_EQ(StartPcVolume(mixer, state).Message, "Couldn't open the mixer.");
}

}  // namespace
}  // namespace vambrio::test
