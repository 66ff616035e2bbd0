// A style's sections as the buttons of an arranger keyboard: Intro, Main and
// Ending A to D, the fills that lead into each Main ("Fill In AA" into Main
// A ... "Fill In DD" into Main D) and the Break ("Fill In BA").
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "live/arranger_controls.h"

namespace vambrio::live {

inline constexpr int kVariations = 4;  // A to D

struct SectionButtons {
  std::array<int, kVariations> intro{-1, -1, -1, -1};  // section index, -1: the style has none
  std::array<int, kVariations> main{-1, -1, -1, -1};
  std::array<int, kVariations> fill{-1, -1, -1, -1};
  std::array<int, kVariations> ending{-1, -1, -1, -1};
  int breakFill = -1;

  // From the style's section names, in their order (exact names).
  static SectionButtons Of(const std::vector<std::string>& sectionNames);

  // The fill that leads from Main `from` into Main `to`: the target's own,
  // else the current Main's; -1 when the style has neither.
  int FillInto(int to, int from) const;
  // The first Main the style has (its letter), -1 when it has none.
  int FirstMain() const;
  // Which button a section is: "Main B" is {Main, 1}; {None, -1} for none.
  std::pair<Button, int> ButtonOf(int section) const;
  // The section a section button plays, -1 when the style has none (or the control is no section button).
  int SectionOf(Control control) const;
};

// "A" to "D".
std::string VariationLetter(int variation);

}  // namespace vambrio::live
