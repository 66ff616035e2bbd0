// What the import tests look at: a song's bars as the chart writes them and
// its sections, each "NAME@BAR" (bars from 1).
#pragma once

#include <string>
#include <vector>

#include "songs/import.h"

namespace vambrio::songs::test {

inline std::vector<std::string> Bars(const arranger::Chart& c) {
  std::vector<std::string> out;
  for (const arranger::ChartBar& b : c.bars) {
    std::string bar;
    for (const arranger::ChartSlot& s : b.slots) bar += (bar.empty() ? "" : " ") + s.text;
    out.push_back(bar);
  }
  return out;
}

inline std::vector<std::string> Sections(const arranger::Chart& c) {
  std::vector<std::string> out;
  for (const arranger::ChartSection& s : c.sections) out.push_back(s.name + "@" + std::to_string(s.firstBar + 1));
  return out;
}

using Strings = std::vector<std::string>;

}  // namespace vambrio::songs::test
