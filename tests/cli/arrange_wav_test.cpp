// The demo chart rendered to WAV and listened to by numbers: a 44.1 kHz
// 16-bit stereo file of the song's length plus a release tail of at most
// three seconds, no silent bar anywhere in the song (loops and section
// changes leave no gap), and a tail that dies away (no note left hanging).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "run_process.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

struct Wav {
  int rate = 0, channels = 0, bits = 0;
  std::vector<int16_t> samples;  // interleaved
};

Wav ReadWav(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> b{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  Wav w;
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); };
  auto u32 = [&](size_t at) { return uint32_t{u16(at)} | uint32_t{u16(at + 2)} << 16; };
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.data() + at, 4);
    const uint32_t size = u32(at + 4);
    if (id == "fmt ") {
      w.channels = u16(at + 10);
      w.rate = static_cast<int>(u32(at + 12));
      w.bits = u16(at + 22);
    } else if (id == "data") {
      w.samples.resize(std::min<size_t>(size, b.size() - at - 8) / 2);
      std::memcpy(w.samples.data(), b.data() + at + 8, w.samples.size() * 2);
    }
    at += 8 + size + (size & 1);
  }
  return w;
}

double Rms(const Wav& w, double from, double seconds) {
  const size_t first = static_cast<size_t>(from * w.rate) * 2;
  const size_t last = std::min(w.samples.size(), first + static_cast<size_t>(seconds * w.rate) * 2);
  double sum = 0;
  for (size_t i = first; i < last; ++i) sum += double(w.samples[i]) * w.samples[i];
  return last > first ? std::sqrt(sum / double(last - first)) / 32768.0 : 0;
}

TEST(ArrangeWav, DemoSongLoopsWithoutGapsAndEndsInSilence) {
  test::TempDir dir;
  const std::string out = dir.File("song.wav");
  auto r = test::RunProcess({VAMBRIO_CLI, "arrange", std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty",
                             std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.chart", "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  const Wav w = ReadWav(out);
  ASSERT_EQ(w.rate, 44100);
  ASSERT_EQ(w.channels, 2);
  ASSERT_EQ(w.bits, 16);
  const double barSeconds = 2.4;  // four quarters at 100 a minute
  const double song = 26 * barSeconds;
  const double length = double(w.samples.size()) / 2 / w.rate;
  EXPECT_GE(length, song);
  EXPECT_LE(length, song + 3.01);
  double quietest = 1;
  for (int bar = 0; bar < 26; ++bar) quietest = std::min(quietest, Rms(w, bar * barSeconds, barSeconds));
  EXPECT_GT(quietest, 0.003) << "a bar with (almost) nothing in it";
  const double lastBar = Rms(w, 25 * barSeconds, barSeconds);
  EXPECT_LT(Rms(w, length - 0.2, 0.2), lastBar / 100) << "the tail does not die away";
}

}  // namespace
}  // namespace vambrio
