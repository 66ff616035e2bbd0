// Opening styles: the menu, a drop, the GM/XG box, and what the window shows.
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QUrl>

#include "loading/entry.h"
#include "malformed_style.h"
#include "smf_check.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

// Drags `data` over the window and lets go; true when the window took the drag.
bool Drop(QWidget* target, QMimeData* data) {
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted();
}

bool AllParts(const WindowRig& rig, bool checked) {
  for (int i = 0; i < 8; ++i) {
    if (rig.Check(("chkPart" + std::to_string(i)).c_str())->isChecked() != checked) return false;
  }
  return true;
}

void UncheckSomeParts(const WindowRig& rig) {
  rig.Check("chkPart2")->setChecked(false);
  rig.Check("chkPart7")->setChecked(false);
}

}  // namespace

void OpenTest::loadedStyleFillsTheWindow() {
  WindowRig rig;
  rig.Start();
  UncheckSomeParts(rig);
  rig.dialogs.openAnswers.push_back(rig.Style("Rig.sty"));
  rig.Action("mnuOpen")->trigger();
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Rig.sty"));
  QCOMPARE(rig.Text("lblStyleName"), QString("Rig Style - (c) Rig"));
  QCOMPARE(rig.Text("lblTempo"), QString("120"));
  QCOMPARE(rig.Text("lblTimeSignature"), QString("4/4"));
  QCOMPARE(rig.Text("lblSize"), QString::fromStdString(FormatSize(ThreeSectionStyle().size())));
  QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
  SectionCombo* list = rig.Sections();
  QCOMPARE(list->count(), 26);
  QCOMPARE(list->itemText(0), QString("All Sections"));
  QCOMPARE(list->itemText(1), QString("Main A"));
  QCOMPARE(list->itemText(3), QString("Ending A"));
  QCOMPARE(list->itemText(4), QString(""));
  QCOMPARE(list->currentIndex(), 0);
  QCOMPARE(list->currentText(), QString("All Sections"));
  QVERIFY(AllParts(rig, true));
  QCOMPARE(rig.Find<QSlider>("SlidMasterVolume")->value(), 90);  // average of 100 and 80
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QCOMPARE(rig.window->defaultButton(), rig.Button("cmdPlay"));
  QVERIFY(rig.boxes.shown.empty());
  // The dialog started where the current style is; none was loaded yet.
  QCOMPARE(rig.dialogs.calls.size(), size_t{1});
  QCOMPARE(rig.dialogs.calls[0].kind, std::string("OpenStyle"));
}

// A file's name reaches the window escaped, as on the terminal: in the
// title, and in the message about a file that cannot be opened.
void OpenTest::fileNamesAreShownEscaped() {
  WindowRig rig;
  rig.Start();
  rig.dialogs.openAnswers.push_back(rig.Style("Bell\a.sty"));
  rig.Action("mnuOpen")->trigger();
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Bell\\a.sty"));
  const Bytes whole = ThreeSectionStyle();
  rig.dialogs.openAnswers.push_back(rig.Style("Short\x1b[2J.sty", Bytes(whole.begin(), whole.begin() + 60)));
  rig.Action("mnuOpen")->trigger();
  QCOMPARE(rig.boxes.shown.size(), size_t{1});
  QVERIFY2(rig.boxes.shown[0].find("Short\\e[2J.sty") != std::string::npos, rig.boxes.shown[0].c_str());
  QVERIFY(rig.boxes.shown[0].find('\x1b') == std::string::npos);
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Bell\\a.sty"));
}

void OpenTest::styleWithMalformedDataBytesLoadsAndSaysSo() {
  WindowRig rig;
  rig.Start(rig.Style("Odd.sty", MalformedStyle().bytes));
  QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
  QCOMPARE(rig.Sections()->itemText(2), QString("Fill In AA"));
  QVERIFY(rig.boxes.shown.empty());
  QVERIFY(rig.Find<QLabel>("lblStatus")->toolTip().contains("7 malformed data bytes"));
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  std::string played = ReadWhole(rig.work.File("Player.tmp"));
  QCOMPARE(QString::fromStdString(SmfStructureError(Bytes(played.begin(), played.end()))), QString());
  rig.Button("cmdStop")->click();

  rig.dialogs.openAnswers.push_back(rig.Style("Rig.sty"));
  rig.Action("mnuOpen")->trigger();
  QCOMPARE(rig.Find<QLabel>("lblStatus")->toolTip(), QString());
}

void OpenTest::demoStyleFromTheCommandLine() {
  WindowRig rig;
  std::string demo = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  rig.Start(demo);
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Demo.sty"));
  QCOMPARE(rig.Text("lblStyleName"), QString("Vambrio Demo - Vambrio project, free to use"));
  QCOMPARE(rig.Text("lblTempo"), QString("100"));
  QCOMPARE(rig.Text("lblTimeSignature"), QString("4/4"));
  QCOMPARE(rig.Text("lblSize"), QString::fromStdString(FormatSize(std::filesystem::file_size(demo))));
  QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
  QStringList lines;
  for (int i = 0; i < rig.Sections()->count(); ++i) lines << rig.Sections()->itemText(i);
  QCOMPARE(lines.size(), 26);
  QCOMPARE(lines.mid(0, 8), (QStringList{"All Sections", "Intro A", "Main A", "Main B", "Fill In AA", "Fill In BB",
                                         "Ending A", ""}));
  QCOMPARE(lines.mid(7).join(""), QString());
  QVERIFY(AllParts(rig, true));
  QCOMPARE(rig.Sections()->currentText(), QString("All Sections"));
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QVERIFY(rig.boxes.shown.empty());
}

void OpenTest::missingFileCannotBeOpenedAndTheStyleBeforePlays() {
  WindowRig rig;
  rig.Start(rig.Style("Good.sty"));
  rig.dialogs.openAnswers.push_back(rig.work.File("Gone.sty"));
  rig.Action("mnuOpen")->trigger();
  QCOMPARE(rig.boxes.shown,
           (std::vector<std::string>{"This file could not be opened\nGone.sty: there is no such file"}));
  // The previous style stays whole, and it still plays.
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Good.sty"));
  QCOMPARE(QString::fromStdString(rig.window->model().StyleFileName), QString::fromStdString(rig.work.File("Good.sty")));
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  QCOMPARE(rig.sequencer.Commands().back(), std::string("play"));
}

void OpenTest::fileThatCannotBeProcessedKeepsTheOldLabels() {
  WindowRig rig;
  rig.Start(rig.Style("Good.sty"));
  const QString sizeBefore = rig.Text("lblSize");
  rig.Check("chkPart3")->setChecked(false);
  const Bytes whole = ThreeSectionStyle("Other");
  rig.dialogs.openAnswers.push_back(rig.Style("Broken.sty", Bytes(whole.begin(), whole.begin() + 60)));
  rig.Action("mnuOpen")->trigger();
  QCOMPARE(rig.boxes.shown.size(), size_t{1});
  QVERIFY(QString::fromStdString(rig.boxes.shown[0])
              .startsWith("The program could not process this file\nBroken.sty: the file ends inside its track: 60 of"));
  // Title, size, name, tempo, sections, part boxes and Play: all the previous style's.
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Good.sty"));
  QCOMPARE(rig.Text("lblSize"), sizeBefore);
  QCOMPARE(rig.Text("lblStyleName"), QString("Rig Style - (c) Rig"));
  QCOMPARE(rig.Sections()->itemText(1), QString("Main A"));
  QVERIFY(!rig.Check("chkPart3")->isChecked());
  QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QCOMPARE(rig.window->model().StyleName, std::string("Rig Style"));
}

void OpenTest::cancelledOpenDialogKeepsTheStyleAndStopsPlayback() {
  WindowRig rig;
  std::string path = rig.Style("Keep.sty");
  rig.Start(path);
  rig.Sections()->setCurrentIndex(1);
  rig.window->cmdPlay_Click();
  QVERIFY(rig.Button("cmdStop")->isEnabled());
  rig.Action("mnuOpen")->trigger();  // no answer queued: the user cancels
  QVERIFY(rig.boxes.shown.empty());
  QCOMPARE(QString::fromStdString(rig.dialogs.calls.at(0).startPath), QString::fromStdString(path));
  QVERIFY(!rig.window->model().PlayRequested);
  rig.timer.RunPending();
  QCOMPARE(rig.sequencer.Commands().back(), std::string("close"));
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Keep.sty"));
  QCOMPARE(QString::fromStdString(rig.window->model().StyleFileName), QString::fromStdString(path));
}

void OpenTest::droppedFileIsOpenedAndTextIsIgnored() {
  WindowRig rig;
  rig.Start();
  auto* text = new QMimeData;
  text->setText(QString::fromStdString(rig.Style("AsText.sty")));
  QVERIFY(!Drop(rig.window.get(), text));
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio"));
  QVERIFY(rig.window->model().StyleFileName.empty());
  delete text;

  auto* files = new QMimeData;
  files->setUrls({QUrl("https://example.invalid/Remote.sty"),
                  QUrl::fromLocalFile(QString::fromStdString(rig.Style("Dropped.sty"))),
                  QUrl::fromLocalFile(QString::fromStdString(rig.Style("Second.sty")))});
  QVERIFY(Drop(rig.window.get(), files));
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Dropped.sty"));
  QCOMPARE(rig.Sections()->count(), 26);
  delete files;
}

void OpenTest::dropDuringPlaybackStopsItFirst() {
  WindowRig rig;
  rig.Start(rig.Style("First.sty"));
  rig.window->cmdPlay_Click();  // All Sections
  rig.timer.RunPending();
  QVERIFY(!rig.window->model().PlaybackStopped);
  auto* files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(QString::fromStdString(rig.Style("Next.sty", ThreeSectionStyle("Next"))))});
  QVERIFY(Drop(rig.window.get(), files));
  delete files;
  QVERIFY(!rig.window->model().PlayRequested);
  QCOMPARE(rig.Text("lblStyleName"), QString("Next - (c) Rig"));
  rig.timer.RunPending();
  QVERIFY(rig.window->model().PlaybackStopped);
  QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
}

void OpenTest::gmBoxChangesItsCaptionAndReloads() {
  WindowRig rig;
  rig.Start();
  rig.Check("chkGM")->click();  // nothing loaded: no reload, no message
  QCOMPARE(rig.Check("chkGM")->text(), QString("GM"));
  QVERIFY(rig.boxes.shown.empty());
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio"));

  // A style with a GM System On message: the XG player neutralises it in the
  // loaded bytes, the GM player keeps it. The reload shows which one ran.
  TrackBuilder t;
  t.TrackName("Gm").TempoBpm(100).TimeSignature(4, 2).GmSystemOn().Marker("SInt").Marker("Main A")
      .NoteOn(9, 36, 100).Delta(480).NoteOff(9, 36).EndOfTrack();
  Bytes bytes = StyleBytes(t);
  rig.dialogs.openAnswers.push_back(rig.Style("Gm.sty", bytes));
  rig.Action("mnuOpen")->trigger();
  QVERIFY(rig.window->model().StyleData == bytes);
  UncheckSomeParts(rig);
  rig.Check("chkGM")->click();
  QCOMPARE(rig.Check("chkGM")->text(), QString("XG"));
  QVERIFY(AllParts(rig, true));
  QVERIFY(rig.window->model().StyleData != bytes);
  rig.Check("chkGM")->click();
  QVERIFY(rig.window->model().StyleData == bytes);
}

void OpenTest::checkAllAndUncheckAll() {
  WindowRig rig;
  rig.Start();
  rig.Button("cmdUnCheck")->click();
  QVERIFY(AllParts(rig, false));
  QCOMPARE(rig.window->Choices().Parts, (std::array<int, 8>{0, 0, 0, 0, 0, 0, 0, 0}));
  rig.Check("chkPart3")->setChecked(true);
  rig.Button("cmdAllCheck")->click();
  QVERIFY(AllParts(rig, true));
  QCOMPARE(rig.window->Choices().Parts, (std::array<int, 8>{1, 1, 1, 1, 1, 1, 1, 1}));
}

// "Recent": the styles opened, newest first, kept between runs; one opens by a click.
void OpenTest::recentStylesAreListedNewestFirstAndOpen() {
  WindowRig rig;
  const std::string first = rig.Style("First.sty"), second = rig.Style("Second.sty");
  rig.Start(first);
  rig.window->OpenStyle(second);
  rig.window->OpenStyle(rig.work.File("Gone.sty"));  // a style that does not load is not listed
  rig.Exit();
  rig.Start();
  auto* recent = rig.Find<QMenu>("mnuRecent");
  emit recent->aboutToShow();
  QStringList items;
  for (QAction* a : recent->actions()) items << a->text();
  QCOMPARE(items, (QStringList{"&1 Second.sty", "&2 First.sty"}));
  recent->actions()[1]->trigger();
  QCOMPARE(QString::fromStdString(rig.window->model().StyleFileName), QString::fromStdString(first));
}

}  // namespace vambrio::test
