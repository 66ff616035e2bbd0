#include "midi/midi_bytes.h"

#include <gtest/gtest.h>

#include "midi/tempo_map.h"

namespace vambrio::midi {
namespace {

TEST(MidiBytes, VarLenRoundTripsAtEveryByteBoundary) {
  const struct {
    uint32_t value;
    std::vector<uint8_t> bytes;
  } cases[] = {{0, {0x00}},
               {0x7F, {0x7F}},
               {0x80, {0x81, 0x00}},
               {0x3FFF, {0xFF, 0x7F}},
               {0x4000, {0x81, 0x80, 0x00}},
               {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
               {0x200000, {0x81, 0x80, 0x80, 0x00}},
               {kMaxVarLenValue, {0xFF, 0xFF, 0xFF, 0x7F}}};
  for (const auto& c : cases) {
    std::vector<uint8_t> out = {0xAA};
    AppendVarLen(out, c.value);
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 1, out.end()), c.bytes) << c.value;
    const VarLen v = ReadVarLen(out.data(), out.size(), 1);
    EXPECT_EQ(v.fault, ReadFault::None);
    EXPECT_EQ(v.value, c.value);
    EXPECT_EQ(v.last, out.size() - 1);
  }
  std::vector<uint8_t> big;
  AppendVarLen(big, 0xFFFFFFFFu);  // beyond what a file can hold: cut to the largest
  EXPECT_EQ(ReadVarLen(big.data(), big.size(), 0).value, kMaxVarLenValue);
}

TEST(MidiBytes, VarLenFaults) {
  const uint8_t five[] = {0x81, 0x80, 0x80, 0x80, 0x00};
  EXPECT_EQ(ReadVarLen(five, sizeof five, 0).fault, ReadFault::TooLong);
  const uint8_t cut[] = {0x00, 0x81, 0x80};
  EXPECT_EQ(ReadVarLen(cut, sizeof cut, 1).fault, ReadFault::CutOff);
  EXPECT_EQ(ReadVarLen(cut, sizeof cut, 3).fault, ReadFault::CutOff);

  const uint8_t meta[] = {0xFF, 0x01, 0x81, 0x00, 'x'};
  const EventLength e = ReadEventLength(meta, sizeof meta, 2);
  EXPECT_EQ(e.fault, ReadFault::None);
  EXPECT_EQ(e.length, 128u);
  EXPECT_EQ(e.first, 4u);
}

TEST(TempoMap, TicksAndMicrosBothWays) {
  TempoMap map(480);                // 500000 us a quarter until tick 960
  map.Add(1920, 1000000);           // added out of order
  map.Add(960, 250000);
  map.Add(960, 250000 * 2);         // the later change at the same tick holds
  EXPECT_EQ(map.TempoAt(959), 500000u);
  EXPECT_EQ(map.TempoAt(960), 500000u);
  EXPECT_EQ(map.TempoAt(5000), 1000000u);
  const struct {
    uint64_t tick;
    long double micros;
  } points[] = {{0, 0}, {480, 500000}, {960, 1000000}, {1440, 1500000}, {1920, 2000000}, {2400, 3000000}};
  for (const auto& p : points) {
    EXPECT_DOUBLE_EQ(static_cast<double>(map.MicrosAt(p.tick)), static_cast<double>(p.micros)) << p.tick;
    EXPECT_EQ(map.TickAt(p.micros), p.tick) << p.tick;
  }
  EXPECT_EQ(map.TickAt(1000001), 961u);  // the first tick that starts no earlier
  EXPECT_EQ(MicrosPerQuarter(100), 600000u);
  EXPECT_EQ(MicrosPerQuarter(0), kDefaultTempo);
  EXPECT_EQ(MicrosPerQuarter(1), 16777215u);  // the largest a tempo event holds
}

}  // namespace
}  // namespace vambrio::midi
