// A live output for window tests: it plays the attached client only when the
// test runs its blocks, and keeps every event the client sent.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "realtime/live_output.h"
#include "realtime/realtime_client.h"

namespace vambrio::test {

class FakeLiveOutput final : public platform::LiveOutput {
 public:
  bool AttachLiveClient(realtime::RealtimeClient& c, std::function<void()> onTakenAway, std::function<void()>) override {
    client = &c;
    takenAway = std::move(onTakenAway);
    return true;
  }
  void DetachLiveClient() override { client = nullptr; }
  bool LiveClientAttached() const override { return client != nullptr; }
  // Another user took the output: the attached client is told and let go.
  void Release() override {
    ++released;
    if (!client) return;
    if (takenAway) takenAway();
    client = nullptr;
  }
  std::string Problem() const override { return {}; }
  uint64_t Underruns() const override { return 0; }
  int SampleRate() const override { return 48000; }

  void Run(int blocks) {
    for (int i = 0; i < blocks && client; ++i) {
      sink->Reset(256);
      client->Process(realtime::BlockInfo{sample, 256, 48000, 0}, *sink);
      for (const auto& e : *sink) events.emplace_back(e.data(), e.data() + e.size);
      sample += 256;
    }
  }
  bool Heard(const std::vector<uint8_t>& bytes) const {
    return std::find(events.begin(), events.end(), bytes) != events.end();
  }

  realtime::RealtimeClient* client = nullptr;
  std::function<void()> takenAway;
  int released = 0;
  std::unique_ptr<realtime::RealtimeEventSink> sink = std::make_unique<realtime::RealtimeEventSink>();
  int64_t sample = 0;
  std::vector<std::vector<uint8_t>> events;
};

}  // namespace vambrio::test
