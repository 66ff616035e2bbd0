#include "live/section_buttons.h"

#include <algorithm>

namespace vambrio::live {
namespace {

int Find(const std::vector<std::string>& names, const std::string& name) {
  auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

}  // namespace

std::string VariationLetter(int variation) { return std::string(1, static_cast<char>('A' + variation)); }

SectionButtons SectionButtons::Of(const std::vector<std::string>& names) {
  SectionButtons b;
  for (int v = 0; v < kVariations; ++v) {
    const std::string x = VariationLetter(v);
    b.intro[v] = Find(names, "Intro " + x);
    b.main[v] = Find(names, "Main " + x);
    b.fill[v] = Find(names, "Fill In " + x + x);
    b.ending[v] = Find(names, "Ending " + x);
  }
  b.breakFill = Find(names, "Fill In BA");
  return b;
}

int SectionButtons::FillInto(int to, int from) const {
  if (to >= 0 && to < kVariations && fill[to] >= 0) return fill[to];
  if (from >= 0 && from < kVariations) return fill[from];
  return -1;
}

int SectionButtons::FirstMain() const {
  for (int v = 0; v < kVariations; ++v)
    if (main[v] >= 0) return v;
  return -1;
}

std::pair<Button, int> SectionButtons::ButtonOf(int section) const {
  if (section < 0) return {Button::None, -1};
  if (section == breakFill) return {Button::Break, 0};
  for (int v = 0; v < kVariations; ++v) {
    if (intro[v] == section) return {Button::Intro, v};
    if (main[v] == section) return {Button::Main, v};
    if (fill[v] == section) return {Button::Fill, v};
    if (ending[v] == section) return {Button::Ending, v};
  }
  return {Button::None, -1};
}

int SectionButtons::SectionOf(Control control) const {
  const ControlRow& row = RowOf(control);
  const int v = row.variation;
  switch (row.button) {
    case Button::Intro: return intro[v];
    case Button::Main: return main[v];
    case Button::Fill: return fill[v];
    case Button::Ending: return ending[v];
    case Button::Break: return breakFill;
    default: return -1;
  }
}

}  // namespace vambrio::live
