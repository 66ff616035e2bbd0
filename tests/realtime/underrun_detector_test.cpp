#include "realtime/underrun_detector.h"

#include <gtest/gtest.h>

#include "realtime/audio_latency.h"

namespace vambrio::realtime {
namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 256;
constexpr int64_t kPeriodNs = int64_t{kPeriod} * 1'000'000'000 / kRate;

// Callbacks the way a blocking output makes them: the first `prefill` blocks
// at once (the buffer fills), then one per period, each `jitterNs` late in turn.
struct Output {
  UnderrunDetector detector{kRate, 2 * kPeriod};
  int64_t sampleTime = 0;
  int64_t nowNs = 1'000'000'000;
  void Block(int64_t extraNs = 0) {
    nowNs += extraNs;
    detector.OnBlock(nowNs, sampleTime);
    sampleTime += kPeriod;
  }
};

TEST(UnderrunDetector, StartUpBurstAndSteadyCallbacksAreNoUnderrun) {
  Output out;
  out.Block();
  out.Block();  // the buffer fills: two callbacks at once
  for (int i = 0; i < 10'000; ++i) out.Block(kPeriodNs + (i % 2 ? 3'000'000 : -3'000'000));
  EXPECT_EQ(out.detector.Underruns(), 0u);
}

TEST(UnderrunDetector, ACallbackLaterThanTheBufferIsOneUnderrun) {
  Output out;
  for (int i = 0; i < 100; ++i) out.Block(kPeriodNs);
  out.Block(kPeriodNs + 3 * kPeriodNs);  // the output waited three periods for us
  for (int i = 0; i < 100; ++i) out.Block(kPeriodNs);
  EXPECT_EQ(out.detector.Underruns(), 1u) << "counted once; the output then starts over";
  out.nowNs += 5 * kPeriodNs;
  out.detector.OnBlock(out.nowNs, out.sampleTime, false);  // while nothing plays
  out.sampleTime += kPeriod;
  EXPECT_EQ(out.detector.Underruns(), 1u);
  out.Block(kPeriodNs + kPeriodNs / 2);  // late, but the buffer still held a period
  EXPECT_EQ(out.detector.Underruns(), 1u);
}

TEST(UnderrunDetector, ClocksThatDriftApartAreNoUnderrun) {
  Output out;
  // The sound card runs 200 ppm slower than the system clock, for an hour.
  const int64_t slowPeriod = kPeriodNs + kPeriodNs / 5000;
  for (int i = 0; i < 3600 * kRate / kPeriod; ++i) out.Block(slowPeriod);
  EXPECT_EQ(out.detector.Underruns(), 0u);
  EXPECT_LT(out.detector.LatenessNs(), kPeriodNs);
}

TEST(AudioLatency, TheThreeChoices) {
  EXPECT_EQ(FramesOf(AudioLatency::Low).BufferFrames(), 128);
  EXPECT_EQ(FramesOf(AudioLatency::Normal).periodSize, 256);
  EXPECT_EQ(FramesOf(AudioLatency::Safe).periods, 4);
  EXPECT_EQ(ParseLatency("low"), AudioLatency::Low);
  EXPECT_EQ(ParseLatency("Safe"), AudioLatency::Safe);
  EXPECT_FALSE(ParseLatency("lowest"));
  EXPECT_EQ(DescribeLatency(AudioLatency::Normal), "2 x 256 frames (10.7 ms)");
}

}  // namespace
}  // namespace vambrio::realtime
