// "All Sections": every section in turn, each after a fresh assembly.
#include <gmock/gmock.h>

#include "controller_fixture.h"

namespace vambrio::test {
namespace {

using ::testing::IsEmpty;

TEST_F(ControllerTest, AllSectionsPlaysEverySectionInOrderAndKeepsTheLastSelected) {
  controller.CmdPlayClick();
  // Step one is a yield: nothing is assembled before the loop has had its turn.
  EXPECT_EQ(seq.log, Start());
  timer.RunPending();
  EXPECT_EQ(seq.log, Cat({Start(), AllSectionsPass(0)}));
  EXPECT_FALSE(model.PlaybackStopped);
  EXPECT_EQ(model.CurrentSectionName, "Intro A");

  timer.Advance(4.0, 1);
  EXPECT_TRUE(model.PlaybackStopped);  // between two sections
  timer.RunPending();
  EXPECT_EQ(model.CurrentSectionName, "Main A");
  timer.Advance(4.0);
  timer.RunPending();
  timer.Advance(4.0);
  timer.RunPending();

  EXPECT_EQ(seq.log, Cat({Start(), AllSectionsPass(0), AllSectionsPass(1), AllSectionsPass(2), Ending()}));
  EXPECT_EQ(view.text, "Ending A");
  EXPECT_EQ(view.status, kReadyText);
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
  EXPECT_DOUBLE_EQ(clock.now, 1012.0);

  // A second Play now plays only the section the list shows.
  ClearLog();
  assembledWith.clear();
  controller.CmdPlayClick();
  timer.Advance(4.0);
  timer.RunPending();
  EXPECT_EQ(seq.Commands(), (std::vector<std::string>{"close", "open", "play", "stop", "prev", "stop", "prev", "close"}));
  EXPECT_EQ(assembledWith.size(), 1u);
  EXPECT_EQ(model.CurrentSectionName, "Ending A");
}

TEST_F(ControllerTest, AllSectionsReadsTheChoicesAnewForEverySectionAndIgnoresRepeat) {
  view.repeat = true;
  controller.CmdPlayClick();
  timer.RunPending();
  choices.Parts[2] = 0;  // "Bass" cleared while the first section plays
  choices.Minor = true;
  timer.Advance(4.0);
  timer.RunPending();
  timer.Advance(4.0);
  timer.RunPending();
  timer.Advance(4.0);
  timer.RunPending();
  ASSERT_EQ(assembledWith.size(), 3u);
  EXPECT_EQ(assembledWith[0].Parts[2], 1);
  EXPECT_FALSE(assembledWith[0].Minor);
  EXPECT_EQ(assembledWith[1].Parts[2], 0);
  EXPECT_TRUE(assembledWith[2].Minor);
  EXPECT_FALSE(controller.Running());
}

TEST_F(ControllerTest, StopDuringAllSectionsEndsTheSectionAndSelectsAllSections) {
  controller.CmdPlayClick();
  timer.RunPending();
  timer.Advance(4.0);
  timer.RunPending();
  timer.Advance(1.0);  // inside "Main A"
  ClearLog();
  controller.CmdStopClick();
  timer.RunPending();
  EXPECT_EQ(seq.log, Cat({{"Stop off", "Play on", "Default Play", "Select 0"}, Ending()}));
  EXPECT_EQ(view.text, kAllSections);
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
}

TEST_F(ControllerTest, StopBetweenTwoSectionsAssemblesNothingMore) {
  controller.CmdPlayClick();
  timer.RunPending();
  timer.Advance(4.0, 1);  // "Intro A" over; the next section waits for its yield
  ClearLog();
  controller.CmdStopClick();
  timer.RunPending();
  EXPECT_EQ(seq.log, Cat({{"Stop off", "Play on", "Default Play", "Select 0"}, Ending()}));
  EXPECT_EQ(assembledWith.size(), 1u);
}

TEST_F(ControllerTest, EverySectionOfALargeStyleTakesPart) {
  std::vector<std::string> names;
  for (int i = 0; i < kSectionSlots; ++i) names.push_back("Section " + std::to_string(i));
  SetSections(names);
  seq.length = 1000;
  controller.CmdPlayClick();
  int guard = 0;
  while (controller.Running() && guard++ < 100) timer.Advance(1.0);
  ASSERT_EQ(assembledWith.size(), 26u);
  EXPECT_EQ(model.CurrentSectionName, "Section 25");
  EXPECT_EQ(view.text, "Section 24");  // the last listed entry stays selected for a section not listed

  // A section after the sixteenth plays alone too.
  assembledWith.clear();
  ClearLog();
  view.text = "Section 18";
  controller.CmdPlayClick();
  EXPECT_EQ(seq.log[5], "assemble 18");
  timer.Advance(1.0);
  EXPECT_FALSE(controller.Running());
}

TEST_F(ControllerTest, AllSectionsGoesOnPastAnEmptySectionAndStopsAtAFileThatCannotBeOpened) {
  controller.CmdPlayClick();
  seq.length = 0;  // the first section's file has no length
  timer.RunPending(1);
  EXPECT_EQ(assembledWith.size(), 1u);
  EXPECT_TRUE(model.PlaybackStopped);
  seq.length = 4000;
  timer.RunPending();  // the yield before the second section
  EXPECT_EQ(assembledWith.size(), 2u);
  EXPECT_TRUE(controller.Running());

  seq.failing = {"open"};
  timer.Advance(4.0);
  timer.RunPending();
  EXPECT_EQ(assembledWith.size(), 3u);
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(view.status, kReadyText);
  EXPECT_THAT(boxes.shown, IsEmpty());  // the device had nothing to say
}

}  // namespace
}  // namespace vambrio::test
