// Waiting, on the command line's thread, for the audio thread to take what
// was posted to the live arranger.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "live/live_arranger.h"

namespace vambrio::cli {

// Waits until `count` more audio blocks have been played. An output that
// stopped asking for blocks (its server froze) is not waited for long.
inline void WaitForBlocks(const live::LiveArranger& client, uint64_t count) {
  const uint64_t until = client.State().blocks + count;
  for (int i = 0; i < 150 && client.State().blocks < until; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

}  // namespace vambrio::cli
