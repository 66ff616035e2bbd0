// The Repeat seam found in a recording of a loop: time added inside a pass,
// at the loop point, and music left out, each where it happened, and nothing
// in a loop without gaps, although a held low note matches itself a period
// away.
#include "seam_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace vambrio::bench {
namespace {

constexpr int kRate = 8000;
constexpr size_t kPass = 4000;  // half a second
constexpr size_t kLead = 800;   // silence before the first pass

// One pass: a held 60 Hz note under four decaying noise bursts.
std::vector<float> OnePass() {
  std::vector<float> pass(kPass);
  uint32_t seed = 12345;
  for (size_t i = 0; i < kPass; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 8) / (1 << 24) - 0.5;
    const double burst = 10000.0 * std::exp(-static_cast<double>(i % 1000) / 150.0) * noise;
    pass[i] = static_cast<float>(3000.0 * std::sin(2 * M_PI * 60.0 * static_cast<double>(i) / kRate) + burst);
  }
  return pass;
}

struct Loop {
  std::vector<float> x = std::vector<float>(kLead, 0.0f);
  // Seven passes; `gapIn3` frames of silence 1234 frames into pass 3,
  // `gapAt4` before pass 4, `cutIn5` frames left out 2000 frames into pass 5.
  Loop(size_t gapIn3, size_t gapAt4, size_t cutIn5) {
    const std::vector<float> pass = OnePass();
    for (int k = 1; k <= 7; ++k) {
      if (k == 4) x.insert(x.end(), gapAt4, 0.0f);
      for (size_t i = 0; i < kPass; ++i) {
        if (k == 3 && i == 1234) x.insert(x.end(), gapIn3, 0.0f);
        if (k == 5 && i >= 2000 && i < 2000 + cutIn5) continue;
        x.push_back(pass[i]);
      }
    }
    x.insert(x.end(), kPass, 0.0f);
  }
};

TEST(SeamTrack, AddedTimeIsFoundWhereItHappened) {
  const Loop loop(40, 16, 8);
  const SeamTrack t = TrackSeams(loop.x, kLead, kPass, 6, kRate);
  ASSERT_EQ(t.added.size(), 3u);
  EXPECT_EQ(t.added[0].frames, 40);
  EXPECT_NEAR(t.added[0].atFrame, kLead + 2 * kPass + 1234, 80);
  EXPECT_EQ(t.added[1].frames, 16);
  EXPECT_NEAR(t.added[1].atFrame, kLead + 3 * kPass + 40, 80);  // the loop point
  EXPECT_EQ(t.added[2].frames, -8);
  EXPECT_NEAR(t.added[2].atFrame, kLead + 4 * kPass + 56 + 2000, 80);
  ASSERT_EQ(t.passes.size(), 5u);
  EXPECT_EQ(t.passes[1], 0);
  EXPECT_EQ(t.passes[2], 56);  // pass 3 to 4: inside the pass and at the loop point
  EXPECT_EQ(t.passes[4], -8);
  EXPECT_NEAR(t.passStart[3], kLead + 3 * kPass + 56, 1);
}

TEST(SeamTrack, AGapFreeLoopHasNothingAdded) {
  const Loop loop(0, 0, 0);
  const SeamTrack t = TrackSeams(loop.x, kLead, kPass, 6, kRate);
  EXPECT_TRUE(t.added.empty());
  for (double p : t.passes) EXPECT_EQ(p, 0);
  EXPECT_LT(t.unmatched, t.windows / 10);
}

TEST(SeamTrack, SilencesAreDigitalZeroRuns) {
  std::vector<float> x(100, 1.0f);
  std::fill(x.begin() + 10, x.begin() + 30, 0.0f);
  std::fill(x.begin() + 50, x.begin() + 53, 0.0f);  // shorter than asked
  const std::vector<Silence> runs = SilentRuns(x, 0, x.size(), 8);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].atFrame, 10u);
  EXPECT_EQ(runs[0].frames, 20u);
}

}  // namespace
}  // namespace vambrio::bench
