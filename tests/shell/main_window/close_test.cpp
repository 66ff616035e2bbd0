// Ending the program: refused while playing, except when the session ends.
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

void StartPlaying(WindowRig& rig) {
  rig.Start(rig.Style("Close.sty"));
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  QVERIFY(!rig.window->model().PlaybackStopped);
}

}  // namespace

void CloseTest::closeBoxDuringPlaybackIsRefused() {
  WindowRig rig;
  StartPlaying(rig);
  QVERIFY(!rig.window->close());
  QVERIFY(rig.window->isVisible());
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{"Please wait until the playing stops before exiting"}));
  QVERIFY(!std::filesystem::exists(rig.IniPath()));
  // The refusal pressed Stop, so a second try a moment later succeeds.
  QVERIFY(!rig.window->model().PlayRequested);
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  rig.timer.RunPending();
  QVERIFY(rig.window->close());
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(ReadWhole(rig.IniPath()), std::string("XG\r\nTrue\r\n\r\n"));
}

void CloseTest::exitMenuDuringPlaybackIsRefused() {
  WindowRig rig;
  StartPlaying(rig);
  rig.Action("mnuExit")->trigger();
  QVERIFY(rig.window->isVisible());
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{"Please wait until the playing stops before exiting"}));
  QVERIFY(!rig.window->model().PlayRequested);
  rig.timer.RunPending();
  QVERIFY(rig.window->model().PlaybackStopped);
  rig.Action("mnuExit")->trigger();
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(rig.boxes.shown.size(), size_t{1});
}

void CloseTest::sessionEndingDuringPlaybackIsNotRefused() {
  WindowRig rig;
  StartPlaying(rig);
  rig.sequencer.log.clear();
  rig.window->OnSessionEnding();
  QVERIFY(!rig.window->isVisible());
  QVERIFY(rig.boxes.shown.empty());
  QCOMPARE(ReadWhole(rig.IniPath()), std::string("XG\r\nTrue\r\n\r\n"));
  // The device was stopped and closed, and the playback does not go on
  // against the closed window.
  QCOMPARE(rig.sequencer.Commands(), (std::vector<std::string>{"stop", "prev", "close", "close"}));
  QVERIFY(!rig.timer.Armed());
  QVERIFY(rig.window->model().PlaybackStopped);
}

}  // namespace vambrio::test
