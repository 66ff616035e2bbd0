// The demo chart rendered to WAV and listened to by numbers: a 44.1 kHz
// 16-bit stereo file of the song's length plus a release tail of at most
// three seconds, no silent bar anywhere in the song (loops and section
// changes leave no gap), the strongest pitch class of a bar the root or the
// fifth of its chord (the accompaniment follows the chart), and a tail that
// dies away (no note left hanging).
#include <gtest/gtest.h>

#include <algorithm>
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

// The pitch class (0 = C) that sounds strongest over octaves 3 to 5, by the
// Goertzel filter at each semitone, in half a second from `from` (left channel).
int StrongestPitchClass(const Wav& w, double from) {
  const size_t first = static_cast<size_t>(from * w.rate);
  const size_t count = static_cast<size_t>(0.5 * w.rate);
  double best = -1;
  int bestClass = -1;
  for (int pc = 0; pc < 12; ++pc) {
    double power = 0;
    for (int octave = 3; octave <= 5; ++octave) {
      const double freq = 440.0 * std::pow(2.0, (12 * (octave + 1) + pc - 69) / 12.0);
      const double c = 2 * std::cos(2 * M_PI * freq / w.rate);
      double s1 = 0, s2 = 0;
      for (size_t i = 0; i < count; ++i) {
        const double s0 = w.samples[2 * (first + i)] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
      }
      power += s1 * s1 + s2 * s2 - c * s1 * s2;
    }
    if (power > best) best = power, bestClass = pc;
  }
  return bestClass;
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
  // Root and fifth in bars of the chart's first Main (C, Am, F, G7), then of
  // Main B (F, G).
  const struct {
    int bar;
    std::vector<int> tones;
  } chords[] = {{2, {0, 7}}, {3, {9, 4}}, {4, {5, 0}}, {5, {7, 2}}, {11, {5, 0}}, {12, {7, 2}}};
  for (const auto& c : chords) {
    const int pc = StrongestPitchClass(w, c.bar * barSeconds + 0.1);
    EXPECT_NE(std::find(c.tones.begin(), c.tones.end(), pc), c.tones.end()) << "bar " << c.bar << ": " << pc;
  }
  const double lastBar = Rms(w, 25 * barSeconds, barSeconds);
  EXPECT_LT(Rms(w, length - 0.2, 0.2), lastBar / 100) << "the tail does not die away";
}

}  // namespace
}  // namespace vambrio
