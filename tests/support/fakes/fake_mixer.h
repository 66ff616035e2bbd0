// A mixer whose answers a test sets, recording every value it is asked to set.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "playback/mixer.h"

namespace vambrio::test {

class FakeMixer final : public platform::Mixer {
 public:
  bool Open() override {
    ++opens;
    return openResult;
  }
  bool FindVolumeControl(platform::MixerControl& c) override {
    ++lookups;
    if (!control) return false;
    c = *control;
    return true;
  }
  bool SetVolume(const platform::MixerControl& c, uint32_t value) override {
    sets.emplace_back(c.ControlId, value);
    return setResult;
  }

  bool openResult = true;
  std::optional<platform::MixerControl> control = platform::MixerControl{7, 65535};
  bool setResult = true;
  int opens = 0;
  int lookups = 0;
  std::vector<std::pair<uint32_t, uint32_t>> sets;  // control id, value
};

}  // namespace vambrio::test
