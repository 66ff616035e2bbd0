#include "midi/tempo_map.h"

#include <algorithm>
#include <cmath>

namespace vambrio::midi {

TempoMap::TempoMap(uint16_t division, uint32_t initialTempo)
    : division_(division == 0 ? 1 : division), changes_{{0, initialTempo == 0 ? kDefaultTempo : initialTempo}} {}

void TempoMap::Add(uint64_t tick, uint32_t microsPerQuarter) {
  if (microsPerQuarter == 0) return;
  auto at = std::upper_bound(changes_.begin(), changes_.end(), tick,
                             [](uint64_t t, const Change& c) { return t < c.tick; });
  if (at != changes_.begin() && std::prev(at)->tick == tick) {
    std::prev(at)->tempo = microsPerQuarter;
    return;
  }
  changes_.insert(at, Change{tick, microsPerQuarter});
}

uint32_t TempoMap::TempoAt(uint64_t tick) const {
  auto at = std::upper_bound(changes_.begin(), changes_.end(), tick,
                             [](uint64_t t, const Change& c) { return t < c.tick; });
  return std::prev(at)->tempo;
}

long double TempoMap::MicrosAt(uint64_t tick) const {
  long double us = 0;
  for (size_t i = 0; i < changes_.size(); ++i) {
    const uint64_t from = changes_[i].tick;
    if (from >= tick) break;
    const uint64_t to = i + 1 < changes_.size() ? std::min(changes_[i + 1].tick, tick) : tick;
    us += static_cast<long double>(to - from) * changes_[i].tempo;
  }
  return us / division_;
}

uint64_t TempoMap::TickAt(long double micros) const {
  if (micros <= 0) return 0;
  long double us = 0;
  for (size_t i = 0; i < changes_.size(); ++i) {
    const long double perTick = static_cast<long double>(changes_[i].tempo) / division_;
    const bool last = i + 1 == changes_.size();
    const long double span = last ? 0 : static_cast<long double>(changes_[i + 1].tick - changes_[i].tick) * perTick;
    if (last || us + span >= micros) {
      return changes_[i].tick + static_cast<uint64_t>(std::ceil((micros - us) / perTick - 1e-9L));
    }
    us += span;
  }
  return changes_.back().tick;
}

uint32_t MicrosPerQuarter(double qpm) {
  if (!(qpm > 0)) return kDefaultTempo;
  const double us = std::round(60000000.0 / qpm);
  return static_cast<uint32_t>(std::clamp(us, 1.0, 16777215.0));
}

}  // namespace vambrio::midi
