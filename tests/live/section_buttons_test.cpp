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
  EXPECT_EQ(b.ButtonOf(2), (std::pair<char, int>{'M', 1}));
  EXPECT_EQ(b.ButtonOf(6), (std::pair<char, int>{'B', 0}));
  EXPECT_EQ(b.ButtonOf(8), (std::pair<char, int>{0, -1}));
}

}  // namespace
}  // namespace vambrio::live
