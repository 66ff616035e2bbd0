// Play, Stop, Repeat and the completion event for a single section.
#include <gmock/gmock.h>

#include "controller_fixture.h"

namespace vambrio::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ControllerTest, PlayWithoutAStyleOnlyAsksForOne) {
  model.StyleFileName.clear();
  controller.CmdPlayClick();
  EXPECT_THAT(boxes.shown, ElementsAre("Please click Select Style first"));
  EXPECT_THAT(seq.log, IsEmpty());
  EXPECT_FALSE(model.PlayRequested);
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
}

TEST_F(ControllerTest, SingleSectionPlaysOnceAndReturnsToReady) {
  view.text = "Main A";
  controller.CmdPlayClick();
  EXPECT_EQ(seq.log, Cat({Start(),
                          {"assemble 1", "close", std::string("FileName ") + kPlayer, "Wait 1", "open", "TimeFormat 0",
                           "Notify 1", "Wait 0", "play"}}));
  EXPECT_EQ(model.CurrentSectionName, "Main A");
  EXPECT_FALSE(model.PlaybackStopped);
  EXPECT_TRUE(model.PlayRequested);
  EXPECT_FALSE(view.playEnabled);
  EXPECT_TRUE(view.stopEnabled);
  EXPECT_EQ(view.defaultButton, PlaybackButton::Stop);
  // Waiting is the timer's business: it is due when the file's 4 s are over.
  ASSERT_TRUE(timer.Armed());
  EXPECT_DOUBLE_EQ(timer.Due(), 1004.0);

  ClearLog();
  timer.Advance(3.999);
  EXPECT_THAT(seq.log, IsEmpty());
  timer.Advance(0.001);
  EXPECT_EQ(seq.log, Cat({{"Wait 1", "stop", "Wait 1", "prev"}, Ending()}));
  EXPECT_EQ(view.status, kReadyText);
  EXPECT_TRUE(model.PlaybackStopped);
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
  EXPECT_EQ(view.text, "Main A");  // the list keeps the section
}

TEST_F(ControllerTest, StopDuringASectionEndsItAtTheNextTurnAndKeepsTheSection) {
  view.text = "Ending A";
  controller.CmdPlayClick();
  timer.Advance(1.5);
  ClearLog();
  controller.CmdStopClick();
  // The buttons follow at once; the device and the status at the next turn.
  EXPECT_EQ(seq.log, (std::vector<std::string>{"Stop off", "Play on", "Default Play"}));
  EXPECT_FALSE(model.PlayRequested);
  EXPECT_TRUE(controller.Running());
  timer.RunPending();
  EXPECT_EQ(seq.Commands(), (std::vector<std::string>{"stop", "prev", "close"}));
  EXPECT_EQ(view.status, kReadyText);
  EXPECT_EQ(view.text, "Ending A");
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
}

TEST_F(ControllerTest, RepeatPlaysTheSameFileAgainUntilTurnedOff) {
  view.text = "Main A";
  view.repeat = true;
  controller.CmdPlayClick();
  timer.Advance(4.0);  // first pass over
  timer.Advance(4.0);  // second pass over
  view.repeat = false;  // during the third pass: it finishes, then playback ends
  timer.Advance(2.0);
  EXPECT_TRUE(controller.Running());
  timer.Advance(2.0);
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(seq.Commands(), (std::vector<std::string>{"close", "open", "play", "stop", "prev", "play", "stop", "prev",
                                                      "play", "stop", "prev", "stop", "prev", "close"}));
  EXPECT_EQ(assembledWith.size(), 1u);  // the file is not assembled again between passes
  // Every pass starts without waiting and asks for the completion event.
  for (size_t i = 0; i < seq.log.size(); ++i) {
    if (seq.log[i] == "play") {
      EXPECT_EQ(seq.log[i - 2], "Notify 1");
      EXPECT_EQ(seq.log[i - 1], "Wait 0");
    }
  }
}

TEST_F(ControllerTest, TheLengthIsReadAnewWhileWaiting) {
  view.text = "Main A";
  controller.CmdPlayClick();
  seq.length = 6000;  // the device reports a longer file after the play began
  timer.Advance(4.0);
  EXPECT_TRUE(controller.Running());
  EXPECT_DOUBLE_EQ(timer.Due(), 1006.0);
  timer.Advance(2.0);
  EXPECT_FALSE(controller.Running());
}

TEST_F(ControllerTest, CompletionEventSetsPlaybackStoppedOnlyWhenSuccessful) {
  view.text = "Main A";
  controller.CmdPlayClick();
  seq.Complete(platform::NotifyCode::Aborted);
  seq.Complete(platform::NotifyCode::Superseded);
  EXPECT_FALSE(model.PlaybackStopped);
  seq.Complete(platform::NotifyCode::Successful);
  EXPECT_TRUE(model.PlaybackStopped);
  EXPECT_TRUE(controller.Running());  // the end of a pass is the clock's business
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(ControllerTest, ADeviceThatFailsDuringAPassEndsThePlaybackWithItsMessage) {
  view.text = "Main A";
  view.repeat = true;
  controller.CmdPlayClick();
  timer.Advance(1.0);
  seq.lastError = "The sound server went away.";
  ClearLog();
  seq.Complete(platform::NotifyCode::Failed);
  EXPECT_THAT(boxes.shown, ElementsAre("The sound server went away."));
  timer.RunPending();
  EXPECT_EQ(seq.Commands(), (std::vector<std::string>{"stop", "prev", "close"}));
  EXPECT_FALSE(controller.Running());
  // The status line keeps the reason, not "Ready", until Play is pressed again; Play plays.
  EXPECT_EQ(view.status, "The sound server went away.");
  EXPECT_TRUE(view.playEnabled);
  controller.CmdPlayClick();
  EXPECT_TRUE(controller.Running());
  EXPECT_EQ(view.status, kPlayingText);
}

TEST_F(ControllerTest, AFileThatCannotBeOpenedEndsAtOnceWithTheDevicesMessage) {
  view.text = "Main A";
  view.repeat = true;
  seq.failing = {"open"};
  seq.lastError = "No SoundFont found.";
  controller.CmdPlayClick();
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
  EXPECT_THAT(boxes.shown, ElementsAre("No SoundFont found."));
  EXPECT_EQ(seq.Commands(), (std::vector<std::string>{"close", "open", "stop", "prev", "close"}));
  EXPECT_EQ(view.status, kReadyText);
  EXPECT_TRUE(view.playEnabled);
  EXPECT_TRUE(model.PlaybackStopped);
}

TEST_F(ControllerTest, AnEmptyPassEndsAtOnceEvenWithRepeatOn) {
  view.text = "Main A";
  view.repeat = true;
  seq.length = 0;
  controller.CmdPlayClick();
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
  EXPECT_EQ(seq.Commands(), (std::vector<std::string>{"close", "open", "play", "stop", "prev", "stop", "prev", "close"}));
}

TEST_F(ControllerTest, NamesThatAreNotSectionsPlayNothing) {
  for (std::string text : {"Main Z", "", "main a"}) {
    ClearLog();
    view.text = text;
    controller.CmdPlayClick();
    EXPECT_EQ(seq.log, Cat({Start(), Ending()})) << '"' << text << '"';
    EXPECT_FALSE(controller.Running());
    EXPECT_THAT(assembledWith, IsEmpty());
    EXPECT_EQ(model.CurrentSectionName, text);
  }
}

TEST_F(ControllerTest, PlayIsRefusedWhilePlayingAndAQuickSecondPlayWaitsForTheFirstToEnd) {
  view.text = "Main A";
  controller.CmdPlayClick();
  ClearLog();
  controller.CboSectionsDblClick();  // Play is disabled: nothing happens
  controller.CmdPlayClick();
  EXPECT_THAT(seq.log, IsEmpty());

  // Stop, then Play again before the playback has had its turn: the first
  // playback ends completely before the second begins.
  controller.CmdStopClick();
  controller.CmdPlayClick();
  EXPECT_EQ(seq.log, Cat({{"Stop off", "Play on", "Default Play"},
                          Ending(),
                          Start(),
                          {"assemble 1", "close", std::string("FileName ") + kPlayer, "Wait 1", "open", "TimeFormat 0",
                           "Notify 1", "Wait 0", "play"}}));
  EXPECT_TRUE(controller.Running());
  EXPECT_TRUE(model.PlayRequested);
}

TEST_F(ControllerTest, SetButtonClearingThePlayRequestEndsThePlayback) {
  view.text = "Main A";
  controller.CmdPlayClick();
  controller.ClearPlayRequest();
  EXPECT_FALSE(view.playEnabled);  // the buttons wait for the playback's own ending
  timer.RunPending();
  EXPECT_FALSE(controller.Running());
  EXPECT_TRUE(view.playEnabled);
  EXPECT_EQ(view.status, kReadyText);
}

TEST_F(ControllerTest, FailuresInsidePlayStyleAreReportedAndEndThePlayback) {
  view.text = "Main A";
  onAssemble = [](int16_t) { Raise(err::Overflow); };
  controller.CmdPlayClick();
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_NE(errors.messages[0].find("Function PlayStyle"), std::string::npos);
  EXPECT_FALSE(controller.Running());
  EXPECT_TRUE(model.PlaybackStopped);
  EXPECT_TRUE(view.playEnabled);

  onAssemble = [](int16_t) { Raise(err::InvalidPropertyValue); };
  controller.CmdPlayClick();
  EXPECT_EQ(errors.messages.size(), 1u);  // 380 ends it silently
  EXPECT_FALSE(controller.Running());
}

TEST_F(ControllerTest, ClosingTheWindowDuringPlaybackStopsTheDeviceAndLeavesTheViewAlone) {
  view.text = "Main A";
  controller.CmdPlayClick();
  ClearLog();
  controller.Abandon();
  EXPECT_EQ(seq.log, (std::vector<std::string>{"Wait 1", "stop", "Wait 1", "prev", "close"}));
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(timer.Armed());
  EXPECT_TRUE(model.PlaybackStopped);
}

}  // namespace
}  // namespace vambrio::test
