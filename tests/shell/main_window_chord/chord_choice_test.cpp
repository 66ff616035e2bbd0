// The chord choice of the main window: "Any chord" beside Major and Minor,
// with its root and type boxes, and what Play then assembles.
#include <QComboBox>
#include <QRadioButton>

#include "loading/scan.h"
#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"
#include "rule_entry.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

Bytes RuledStyle() {
  RuleEntry e;
  e.channel = 11;
  e.dest = 11;
  e.range.ntt = 2;  // chord
  return WithBlock(ThreeSectionStyle(), CasmBuilder().Group("Main A,Fill In AA,Ending A").RawInGroup(CtabChunk(e)).Build());
}

// What the assembly writes for "Main A" of the style with these choices.
std::string Expected(const Bytes& style, const PlayChoices& choices, const std::optional<Chord>& chord) {
  StyleModel m = MakeStartupModel();
  m.StyleData = style;
  m.FileSize = static_cast<int32_t>(style.size());
  m.OutData.assign(style.size() + 101, 0);
  SilentErrorSink errors;
  if (!ScanStyle(m, false, errors)) return "the style does not load";
  m.CurrentSectionName = "Main A";
  if (chord) AssembleAnyChord(m, 0, choices, ReadChordRules(m), *chord, errors);
  else AssembleSingleTrack(m, 0, choices, errors);
  return std::string(m.OutData.begin(), m.OutData.begin() + m.OutPos + 1);
}

}  // namespace

class ChordChoiceTest : public QObject {
  Q_OBJECT
 private slots:
  void anyChordSitsBesideMajorAndMinor() {
    WindowRig rig;
    rig.Start();
    auto* any = rig.Find<QRadioButton>("OptAnyChord");
    auto* root = rig.Find<QComboBox>("cboChordRoot");
    auto* type = rig.Find<QComboBox>("cboChordType");
    QVERIFY(any && root && type);
    QCOMPARE(any->text(), QString("Any chord"));
    QCOMPARE(any->parentWidget(), rig.Find<QWidget>("FraOptions"));
    QVERIFY(rig.Find<QRadioButton>("OptMajor")->isChecked());
    QCOMPARE(root->currentText(), QString("C"));
    QCOMPARE(type->currentText(), QString("Maj"));
    QCOMPARE(root->count(), 12);
    QCOMPARE(type->count(), kChordTypeCount);
    QCOMPARE(type->itemText(11), QString("m7b5"));
    // The boxes serve "Any chord" only.
    QVERIFY(!root->isEnabled() && !type->isEnabled());
    QVERIFY(!rig.window->ChosenChord());
    any->click();
    QVERIFY(root->isEnabled() && type->isEnabled());
    QCOMPARE(rig.window->ChosenChord(), (Chord{0, 0, -1}));
    root->setCurrentText("Bb");
    type->setCurrentText("m7");
    QCOMPARE(rig.window->ChosenChord(), (Chord{10, 10, -1}));
    rig.Find<QRadioButton>("OptMinor")->click();
    QVERIFY(!root->isEnabled() && !type->isEnabled());
    QVERIFY(!rig.window->ChosenChord());
    QVERIFY(rig.window->Choices().Minor);
  }

  void playAssemblesTheChosenChord() {
    WindowRig rig;
    const Bytes style = RuledStyle();
    rig.Start(rig.Style("Ruled.sty", style));
    rig.Sections()->setCurrentIndex(1);  // Main A
    const std::string player = rig.work.File("Player.tmp");

    rig.Find<QRadioButton>("OptAnyChord")->click();
    rig.Find<QComboBox>("cboChordRoot")->setCurrentText("F#");
    rig.Find<QComboBox>("cboChordType")->setCurrentText("7(b9)");
    rig.Button("cmdPlay")->click();
    QCOMPARE(ReadWhole(player), Expected(style, PlayChoices{}, Chord{6, 25, -1}));
    rig.Button("cmdStop")->click();
    rig.timer.RunPending();

    PlayChoices minor;
    minor.Minor = true;
    rig.Find<QRadioButton>("OptMinor")->click();
    rig.Button("cmdPlay")->click();
    QCOMPARE(ReadWhole(player), Expected(style, minor, std::nullopt));  // the classic file
    rig.Button("cmdStop")->click();
    rig.timer.RunPending();
    QVERIFY(Expected(style, minor, std::nullopt) != Expected(style, PlayChoices{}, Chord{6, 25, -1}));
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::ChordChoiceTest)
#include "chord_choice_test.moc"
