// One fuzz input: whatever bytes a user may open are loaded and scanned, as
// an XG and as a GM player, and their chord rules read; each must end in an
// outcome, never in a crash.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chord/chord_rules.h"
#include "loading/scan.h"
#include "model/style_model.h"

namespace vambrio::fuzz {

inline void FuzzOneInput(const uint8_t* data, size_t size) {
  const ChordRules rules = ReadChordRules(std::span<const uint8_t>(data, size), static_cast<int64_t>(size) / 2);
  for (const RuleGroup& g : rules.groups)
    for (const std::string& section : g.sections) rules.ForSection(section);
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
