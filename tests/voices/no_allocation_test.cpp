// Once made, the voice mapper must not allocate: it runs inside an audio
// callback. This program counts every allocation made through operator new.
#include <gtest/gtest.h>

#include "counting_new.h"
#include "voices/voice_mapper.h"
#include "voices_test_support.h"

namespace vambrio::voices {
namespace {

TEST(VoiceMapperRealTime, NoAllocationWhileMapping) {
  const VoiceMap map(fixtures::UseOf({{10, 10, 36}, {11, 11, 64}}), fixtures::TinyCatalog(true), {});
  VoiceMapper mapper(map);
  MappedMessage out[VoiceMapper::kMaxOut];
  long messages = 0;
  auto send = [&](std::initializer_list<uint8_t> msg) {
    messages += mapper.Map(std::data(msg), static_cast<uint32_t>(msg.size()), out);
  };

  const long before = g_allocations.load();
  for (int round = 0; round < 50; ++round) {
    send({0xB0, 0, 8}), send({0xB0, 32, 0}), send({0xC0, 3});  // a bank-8 guitar
    send({0xBA, 0, 8}), send({0xCA, 17});                       // a bank-8 bass
    send({0xB9, 0, 126}), send({0xC9, 1});                      // an effect kit
    for (int v = 1; v < 128; v += 3) {
      send({0x90, static_cast<uint8_t>(30 + v % 60), static_cast<uint8_t>(v)});  // every band: helpers set up
      send({0x9A, static_cast<uint8_t>(96 + v % 30), static_cast<uint8_t>(v)});   // noises
      send({0x99, static_cast<uint8_t>(v), 100});                                 // effect keys
      send({0xB0, 7, static_cast<uint8_t>(v)}), send({0xE0, 0, static_cast<uint8_t>(v)});
    }
    send({0xB0, 123, 0});
    mapper.SilenceHelpers([&](const MappedMessage&) { ++messages; });
  }
  mapper.Reset();
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_GT(messages, 10000);
}

}  // namespace
}  // namespace vambrio::voices
