// One fuzz input: whatever bytes a user may open are loaded and scanned, as
// an XG and as a GM player, and must end in an outcome, never in a crash.
#pragma once

#include <cstddef>
#include <cstdint>

#include "loading/scan.h"
#include "model/style_model.h"

namespace vambrio::fuzz {

inline void FuzzOneInput(const uint8_t* data, size_t size) {
  for (bool gm : {false, true}) {
    StyleModel m = MakeStartupModel();
    m.StyleData.assign(data, data + size);
    m.FileSize = static_cast<int32_t>(size);
    m.OutData.assign(size + 101, 0);
    SilentErrorSink errors;
    if (!ScanStyle(m, gm, errors)) continue;
  }
}

}  // namespace vambrio::fuzz
