#include "live/section_buttons.h"

#include <gtest/gtest.h>

namespace vambrio::live {
namespace {

TEST(SectionButtons, ButtonsOfTheSectionsTheStyleHas) {
  const SectionButtons b = SectionButtons::Of(
      {"Intro A", "Main A", "Main B", "Main C", "Fill In AA", "Fill In CC", "Fill In BA", "Ending B", "Main D "});
  EXPECT_EQ(b.intro, (std::array<int, 4>{0, -1, -1, -1}));
  EXPECT_EQ(b.main, (std::array<int, 4>{1, 2, 3, -1})) << "names are exact: \"Main D \" is no Main D";
  EXPECT_EQ(b.breakFill, 6);
  EXPECT_EQ(b.ending[1], 7);
  EXPECT_EQ(b.FillInto(2, 0), 5) << "the target's own fill";
  EXPECT_EQ(b.FillInto(1, 0), 4) << "else the current Main's";
  EXPECT_EQ(b.FillInto(1, 1), -1);
  EXPECT_EQ(b.FirstMain(), 0);
  EXPECT_EQ(b.ButtonOf(2), (std::pair<Button, int>{Button::Main, 1}));
  EXPECT_EQ(b.ButtonOf(6), (std::pair<Button, int>{Button::Break, 0}));
  EXPECT_EQ(b.ButtonOf(8), (std::pair<Button, int>{Button::None, -1}));
  // Each section button of the controls' table finds its section, and finds it back.
  for (const ControlRow& row : kControls) {
    const int section = b.SectionOf(row.control);
    if (section < 0) continue;
    EXPECT_EQ(b.ButtonOf(section), (std::pair<Button, int>{row.button, row.variation})) << row.name;
  }
  EXPECT_EQ(b.SectionOf(Control::MainC), 3);
  EXPECT_EQ(b.SectionOf(Control::Break), 6);
  EXPECT_EQ(b.SectionOf(Control::IntroB), -1);
  EXPECT_EQ(b.SectionOf(Control::StartStop), -1);
}

}  // namespace
}  // namespace vambrio::live
