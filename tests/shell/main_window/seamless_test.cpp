// "Play seamlessly": Play through the live arranger over the window's
// choices, the controls followed while it plays, "All Sections" in turn,
// and the classic Play when the option is off.
#include <QAction>
#include <QMenu>
#include <QRadioButton>

#include "../arranger/fake_arranger_service.h"
#include "loading/entry.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

using Kind = live::LiveCommand::Kind;

struct SeamlessRig : WindowRig {
  SeamlessRig() {
    seamless = &live;
    Start(Style("Seamless.sty"));
    sequencer.log.clear();
  }
  bool PlayingLook() const {
    return !Button("cmdPlay")->isEnabled() && Button("cmdStop")->isEnabled() && Text("lblStatus") == kPlayingText &&
           !window->model().PlaybackStopped;
  }
  bool ReadyLook() const {
    return Button("cmdPlay")->isEnabled() && !Button("cmdStop")->isEnabled() && Text("lblStatus") == kReadyText &&
           window->model().PlaybackStopped;
  }
  FakeArrangerService live;
};

}  // namespace

void SeamlessTest::playsAtOnceOverTheChoicesAndFollowsThem() {
  SeamlessRig rig;
  QVERIFY(rig.Action("mnuSeamless")->isChecked());
  rig.Sections()->setCurrentIndex(1);  // Main A
  rig.Check("chkPart2")->setChecked(false);
  rig.Find<QRadioButton>("OptMinor")->setChecked(true);
  rig.Check("chkRepeat")->setChecked(true);
  rig.Button("cmdPlay")->click();
  QVERIFY(rig.PlayingLook());
  const auto parts = rig.live.Sent(Kind::Part);
  QCOMPARE(parts.size(), size_t{8});
  QVERIFY(parts[1].on && !parts[2].on);
  QCOMPARE(ChordName(rig.live.Sent(Kind::Chord).back().chord), std::string("Cm"));
  const auto play = rig.live.Sent(Kind::PlaySection);
  QCOMPARE(play.size(), size_t{1});
  QVERIFY(play[0].value == 0 && play[0].on);
  QVERIFY(rig.sequencer.Commands() == std::vector<std::string>{"close"});  // "Player.tmp" written, nothing played
  QCOMPARE(ReadWhole(rig.work.File("Player.tmp")).substr(0, 4), std::string("MThd"));

  // While it plays: a part, the chord, Repeat and another section go to the live arranger.
  rig.live.sent.clear();
  rig.Check("chkPart2")->setChecked(true);
  rig.Find<QRadioButton>("OptAnyChord")->setChecked(true);
  rig.Check("chkRepeat")->setChecked(false);
  rig.Sections()->setCurrentIndex(3);  // Ending A
  QCOMPARE(rig.live.sent.size(), size_t{4});
  QVERIFY(rig.live.sent[0].kind == Kind::Part && rig.live.sent[0].value == 2 && rig.live.sent[0].on);
  QCOMPARE(ChordName(rig.live.sent[1].chord), std::string("C"));
  QVERIFY(rig.live.sent[2].kind == Kind::Repeat && !rig.live.sent[2].on);
  QVERIFY(rig.live.sent[3].kind == Kind::PlaySection && rig.live.sent[3].value == 2);
  QVERIFY(rig.PlayingLook());

  // Saving is refused while it plays, as with the classic Play; Stop ends it at once.
  rig.Button("cmdStop")->click();
  QCOMPARE(rig.live.sent.back().kind, Kind::Stop);
  QVERIFY(rig.ReadyLook());
  QCOMPARE(rig.Sections()->currentText(), QString("Ending A"));

  // The desktop session ending while it plays stops the live arranger too.
  rig.Button("cmdPlay")->click();
  rig.live.sent.clear();
  rig.window->OnSessionEnding();
  QVERIFY(rig.window->Unloaded());
  QVERIFY(!rig.live.sent.empty() && rig.live.sent.back().kind == Kind::Stop);
}

void SeamlessTest::allSectionsShowsEachSectionAndEndsReady() {
  SeamlessRig rig;
  rig.Sections()->setCurrentIndex(0);
  rig.Button("cmdPlay")->click();
  const auto inTurn = rig.live.Sent(Kind::PlayInTurn);
  QVERIFY(inTurn.size() == 1 && inTurn[0].value == 0);
  rig.live.state.blocks = 5;
  rig.live.state.playing = true;
  rig.live.state.section = 1;
  QTRY_COMPARE(rig.Sections()->currentText(), QString("Fill In AA"));
  QVERIFY2(rig.live.Sent(Kind::PlaySection).empty(), "showing the section playing requests nothing");
  rig.live.state.playing = false;  // the last section has ended
  QTRY_VERIFY(rig.ReadyLook());
  QCOMPARE(rig.Sections()->currentText(), QString("Fill In AA"));

  // Stopped in turn, the list shows "All Sections" again; the Arranger taking the sound ends it too.
  rig.Sections()->setCurrentIndex(0);
  rig.Button("cmdPlay")->click();
  rig.Button("cmdStop")->click();
  QCOMPARE(rig.Sections()->currentText(), QString(kAllSections));
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  rig.live.holdsOutput = false;
  QTRY_VERIFY(rig.ReadyLook());

  // The sound output stopped: the status line says so, and Play plays again.
  rig.live.holdsOutput = true;
  rig.Button("cmdPlay")->click();
  rig.live.problem = platform::kAudioOutputLostText;
  rig.live.holdsOutput = false;
  QTRY_COMPARE(rig.Text("lblStatus"), QString(platform::kAudioOutputLostText));
  QVERIFY(rig.Button("cmdPlay")->isEnabled() && !rig.Button("cmdStop")->isEnabled());
  rig.live.holdsOutput = true;
  rig.live.problem.clear();
  rig.Button("cmdPlay")->click();
  QVERIFY(rig.PlayingLook());
}

void SeamlessTest::offPlaysTheClassicWayAndTheChoiceIsKept() {
  SeamlessRig rig;
  rig.Action("mnuSeamless")->setChecked(false);
  rig.Exit();
  QCOMPARE(ReadWhole(rig.IniPath()), std::string("XG\r\nTrue\r\n\r\n"));  // the two lines as ever
  rig.Start(rig.Style("Seamless.sty"));
  QVERIFY(!rig.Action("mnuSeamless")->isChecked());
  rig.sequencer.log.clear();
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  QVERIFY(rig.live.sent.empty());
  QVERIFY((rig.sequencer.Commands() == std::vector<std::string>{"close", "open", "play"}));

  WindowRig plain;  // no live arranger: the option is not offered
  plain.Start();
  QVERIFY(!plain.Find<QMenu>("mnuOptions")->actions().contains(plain.Action("mnuSeamless")));
}

}  // namespace vambrio::test
