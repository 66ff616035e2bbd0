// vambrio-cli render: the assembled section as a WAV file, offline.
#include <gtest/gtest.h>

#include <fstream>

#include "midi/midi_length.h"
#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

uint32_t Le(const std::string& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

TEST(SoundRender, TheSectionPlusATwoSecondTailAs16BitStereoAt44k) {
  TempDir t;
  ProcessResult assembled = RunProcess({Cli(), "assemble", DemoStyle(), "Main B", "-o", t.File("main_b.mid")});
  ASSERT_EQ(assembled.status, 0) << assembled.err;
  std::string midi = Child::Slurp(t.File("main_b.mid"));
  auto timing = MeasureMidi(reinterpret_cast<const uint8_t*>(midi.data()), midi.size());
  ASSERT_TRUE(timing);

  ProcessResult r = RunProcess({Cli(), "render", DemoStyle(), "Main B", "-o", t.File("out.wav")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string wav = Child::Slurp(t.File("out.wav"));
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 4), "WAVE");
  size_t fmt = wav.find("fmt ");
  ASSERT_NE(fmt, std::string::npos);
  EXPECT_EQ(Le(wav, fmt + 8, 2), 1u);       // PCM
  EXPECT_EQ(Le(wav, fmt + 10, 2), 2u);      // stereo
  EXPECT_EQ(Le(wav, fmt + 12, 4), 44100u);  // per second
  EXPECT_EQ(Le(wav, fmt + 22, 2), 16u);     // bits
  size_t data = wav.find("data");
  ASSERT_NE(data, std::string::npos);
  double frames = Le(wav, data + 4, 4) / 4.0;
  double expected = (static_cast<double>(timing->LengthMs) / 1000.0 + 2.0) * 44100.0;
  EXPECT_GE(frames, expected - 1);
  EXPECT_LT(frames, expected + 64);  // rendered in whole blocks of 64 frames

  std::vector<int16_t> samples((wav.size() - data - 8) / 2);
  std::memcpy(samples.data(), wav.data() + data + 8, samples.size() * 2);
  EXPECT_GT(PeakRms(samples), 200.0);
}

TEST(SoundRender, AnUnknownSectionWritesNothing) {
  TempDir t;
  ProcessResult r = RunProcess({Cli(), "render", DemoStyle(), "Main Z", "-o", t.File("out.wav")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no section named Main Z"), std::string::npos);
  EXPECT_FALSE(std::ifstream(t.File("out.wav")).good());
}

}  // namespace
}  // namespace vambrio::test
