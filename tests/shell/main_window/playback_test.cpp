// Play, Stop, Enter, the double-click, All Sections and Repeat, with the
// commands the sequencer receives.
#include <QLineEdit>
#include <QListWidget>

#include "loading/entry.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

using Commands = std::vector<std::string>;

// A window with the three-section style loaded and the sequencer's start-up settings forgotten.
void StartWithStyle(WindowRig& rig) {
  rig.Start(rig.Style("Play.sty"));
  rig.sequencer.log.clear();
}

bool Playing(const WindowRig& rig) {
  return !rig.Button("cmdPlay")->isEnabled() && rig.Button("cmdStop")->isEnabled() &&
         rig.window->defaultButton() == rig.Button("cmdStop") && rig.Text("lblStatus") == kPlayingText;
}

bool Ready(const WindowRig& rig) {
  return rig.Button("cmdPlay")->isEnabled() && !rig.Button("cmdStop")->isEnabled() &&
         rig.window->defaultButton() == rig.Button("cmdPlay") && rig.Text("lblStatus") == kReadyText &&
         rig.window->model().PlaybackStopped;
}

// A double-click as the mouse gives it: press, release, double-click, release.
void DoubleClick(QListWidget* list, QPoint at) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

}  // namespace

void PlaybackTest::playWithoutStyleAsksForOne() {
  WindowRig rig;
  rig.Start();
  rig.sequencer.log.clear();
  rig.Button("cmdPlay")->click();
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{"Please click Select Style first"}));
  QVERIFY(rig.sequencer.log.empty());
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QVERIFY(!rig.Button("cmdStop")->isEnabled());
}

void PlaybackTest::playAndStopOneSection() {
  WindowRig rig;
  StartWithStyle(rig);
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  QVERIFY(Playing(rig));
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play"}));
  QCOMPARE(rig.sequencer.FileName(), rig.work.File("Player.tmp"));
  QCOMPARE(ReadWhole(rig.work.File("Player.tmp")).substr(0, 4), std::string("MThd"));
  QCOMPARE(rig.window->model().CurrentSectionName, std::string("Main A"));

  rig.Button("cmdStop")->click();
  // The buttons turn at once; the device follows at the playback's next turn.
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QCOMPARE(rig.window->defaultButton(), rig.Button("cmdPlay"));
  rig.timer.RunPending();
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play", "stop", "prev", "close"}));
  QVERIFY(Ready(rig));
  QCOMPARE(rig.Sections()->currentText(), QString("Main A"));
}

void PlaybackTest::enterPressesTheDefaultButton() {
  WindowRig rig;
  StartWithStyle(rig);
  rig.Sections()->setCurrentIndex(2);
  // Enter on the focused list reaches the window's default button.
  rig.Sections()->listWidget()->setFocus();
  QTest::keyClick(rig.Sections()->listWidget(), Qt::Key_Return);
  QVERIFY(Playing(rig));
  QCOMPARE(rig.window->model().CurrentSectionName, std::string("Fill In AA"));
  QTest::keyClick(rig.window.get(), Qt::Key_Enter, Qt::KeypadModifier);
  rig.timer.RunPending();
  QVERIFY(Ready(rig));
  QCOMPARE(rig.sequencer.Commands().back(), std::string("close"));
  // Enter on a focused button presses that button, not the default one.
  rig.Button("cmdUnCheck")->setFocus();
  QTest::keyClick(rig.Button("cmdUnCheck"), Qt::Key_Return);
  QVERIFY(!rig.Check("chkPart0")->isChecked());
  QVERIFY(Ready(rig));
  // Enter in the section's text field plays.
  rig.Sections()->lineEdit()->setFocus();
  QTest::keyClick(rig.Sections()->lineEdit(), Qt::Key_Return);
  QVERIFY(Playing(rig));
}

void PlaybackTest::doubleClickPlaysTheEntry() {
  WindowRig rig;
  StartWithStyle(rig);
  QListWidget* list = rig.Sections()->listWidget();
  QRect item = list->visualItemRect(list->item(3));
  DoubleClick(list, item.center());
  QVERIFY(Playing(rig));
  QCOMPARE(rig.window->model().CurrentSectionName, std::string("Ending A"));
  // While playing, Play is disabled and a double-click does nothing.
  DoubleClick(list, list->visualItemRect(list->item(1)).center());
  QCOMPARE(rig.window->model().CurrentSectionName, std::string("Ending A"));
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play"}));
}

void PlaybackTest::allSectionsFollowsTheList() {
  WindowRig rig;
  StartWithStyle(rig);
  QCOMPARE(rig.Sections()->currentText(), QString("All Sections"));
  rig.Button("cmdPlay")->click();
  rig.timer.RunPending();
  QCOMPARE(rig.Sections()->currentIndex(), 1);
  QVERIFY(Playing(rig));
  rig.timer.Advance(4.0);  // the fake sequencer's files last four seconds
  QCOMPARE(rig.Sections()->currentIndex(), 2);
  rig.timer.Advance(4.0);
  QCOMPARE(rig.Sections()->currentIndex(), 3);
  rig.timer.Advance(4.0);
  QVERIFY(Ready(rig));
  QCOMPARE(rig.Sections()->currentText(), QString("Ending A"));  // the last one played stays selected
  Commands each{"close", "open", "play"};
  Commands expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), each.begin(), each.end());
  expected.insert(expected.end(), {"stop", "prev", "close"});
  QCOMPARE(rig.sequencer.Commands(), expected);
  // A second Play plays the selected section only.
  rig.sequencer.log.clear();
  rig.Button("cmdPlay")->click();
  QCOMPARE(rig.window->model().CurrentSectionName, std::string("Ending A"));
  rig.timer.Advance(4.0);
  QVERIFY(Ready(rig));
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play", "stop", "prev", "stop", "prev", "close"}));
}

void PlaybackTest::stopDuringAllSectionsSelectsAllSections() {
  WindowRig rig;
  StartWithStyle(rig);
  rig.Button("cmdPlay")->click();
  rig.timer.RunPending();
  rig.timer.Advance(1.0);
  QCOMPARE(rig.Sections()->currentIndex(), 1);
  QTest::keyClick(rig.window.get(), Qt::Key_Return);
  rig.timer.RunPending();
  QVERIFY(Ready(rig));
  QCOMPARE(rig.Sections()->currentIndex(), 0);
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play", "stop", "prev", "close"}));
}

void PlaybackTest::repeatPlaysAgainUntilTurnedOff() {
  WindowRig rig;
  StartWithStyle(rig);
  QCheckBox* repeat = rig.Check("chkRepeat");
  QCOMPARE(repeat->text(), QString("Off"));
  repeat->click();
  QCOMPARE(repeat->text(), QString("On"));
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  rig.timer.Advance(4.0);
  rig.timer.Advance(4.0);
  QVERIFY(Playing(rig));
  QCOMPARE(rig.sequencer.Commands(),
           (Commands{"close", "open", "play", "stop", "prev", "play", "stop", "prev", "play"}));
  repeat->click();  // the pass that plays now is the last
  QCOMPARE(repeat->text(), QString("Off"));
  rig.timer.Advance(3.5);
  QVERIFY(Playing(rig));
  rig.timer.Advance(0.5);
  QVERIFY(Ready(rig));
  QCOMPARE(rig.sequencer.Commands().size(), size_t{14});
  QCOMPARE(rig.sequencer.Commands().back(), std::string("close"));
}

void PlaybackTest::reloadDuringPlaybackKeepsStopUsable() {
  WindowRig rig;
  StartWithStyle(rig);
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  rig.Check("chkGM")->click();  // reloads the style but does not stop the playback
  QCOMPARE(rig.Check("chkGM")->text(), QString("GM"));
  QVERIFY(rig.Button("cmdStop")->isEnabled());
  QVERIFY(!rig.Button("cmdPlay")->isEnabled());
  QCOMPARE(rig.window->defaultButton(), rig.Button("cmdStop"));
  QTest::keyClick(rig.window.get(), Qt::Key_Return);
  rig.timer.RunPending();
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play", "stop", "prev", "close"}));
}

void PlaybackTest::noSoundFontSaysSoInsteadOfPlaying() {
  WindowRig rig;
  rig.sound.foundSoundFont.clear();
  std::string missing = rig.sound.MissingSoundFontText();
  StartWithStyle(rig);
  QCOMPARE(rig.Text("lblStatus").toStdString(), missing);
  rig.Button("cmdPlay")->click();
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{missing}));
  QVERIFY(rig.sequencer.log.empty());
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  // Once a SoundFont is chosen the status line is ready and Play plays.
  rig.dialogs.soundFontAnswers.push_back(rig.work.File("Chosen.sf2"));
  rig.Action("mnuSoundFont")->trigger();
  QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
  rig.Button("cmdPlay")->click();
  QCOMPARE(rig.sequencer.Commands(), (Commands{}));  // All Sections starts at the next turn
  rig.timer.RunPending();
  QCOMPARE(rig.sequencer.Commands(), (Commands{"close", "open", "play"}));
}

}  // namespace vambrio::test
