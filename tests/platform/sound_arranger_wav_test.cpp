// The Arranger's WAV export of a chart and "Save WAV" of a recording's MIDI
// file render the same way: the chart exported as MIDI and that file saved
// as WAV sound as the chart exported as WAV.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fluidsynth/fluid_engine.h"
#include "shell/arranger/fluid_arranger_service.h"
#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

std::vector<int16_t> Samples(const std::string& wav) {
  const size_t data = wav.find("data");
  if (data == std::string::npos || wav.size() < data + 8) return {};
  std::vector<int16_t> samples((wav.size() - data - 8) / 2);
  std::memcpy(samples.data(), wav.data() + data + 8, samples.size() * 2);
  return samples;
}

TEST(ArrangerWav, AChartExportedAsWavSoundsAsItsMidiFileSavedAsWav) {
  TempDir t;
  platform::FluidEngine engine{platform::SoundOptions{}};
  FluidArrangerService service([&engine]() -> platform::FluidEngine& { return engine; }, [] { return PlayChoices{}; });
  ArrangerStyle style;
  ASSERT_EQ(service.OpenStyle(DemoStyle(), style), "");
  const std::string chart = "[Main A] C | G7 | C |";
  ASSERT_EQ(service.Export(chart, t.File("song.wav"), {}), "");
  ASSERT_EQ(service.Export(chart, t.File("song.mid"), {}), "");
  ASSERT_EQ(service.SaveRecordingWav(t.File("song.mid"), t.File("again.wav"), {}), "");

  const std::string exported = Child::Slurp(t.File("song.wav")), saved = Child::Slurp(t.File("again.wav"));
  ASSERT_GT(exported.size(), 44u);
  EXPECT_EQ(exported.substr(0, 4), "RIFF");
  EXPECT_EQ(saved.size(), exported.size()) << "the same length: the same tail after the music";
  EXPECT_GT(PeakRms(Samples(exported)), 200.0);
  EXPECT_GT(PeakRms(Samples(saved)), 200.0);
  EXPECT_NE(service.SaveRecordingWav(t.File("missing.mid"), t.File("none.wav"), {}), "");
}

}  // namespace
}  // namespace vambrio::test
