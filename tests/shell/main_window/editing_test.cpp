// The editing commands in the window: master volume, initial volume events,
// tempo and Save Style, with the fakes; and the demo style edited, saved and
// loaded again, in the window and with vambrio-cli.
#include <QDialog>
#include <QSlider>

#include "editing/save_style.h"
#include "editing/tempo_edit.h"
#include "editing/volume_events.h"
#include "loading/entry.h"
#include "run_process.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

constexpr const char* kSelectFirst = "Please select a style first";

QSlider* Master(const WindowRig& rig) { return rig.Find<QSlider>("SlidMasterVolume"); }
bool SetEnabled(const WindowRig& rig) { return rig.Button("cmdSet")->isEnabled(); }
bool UndoEnabled(const WindowRig& rig) { return rig.Button("cmdRestore")->isEnabled(); }
const Bytes& Data(const WindowRig& rig) { return rig.window->model().StyleData; }

// The user drags the slider to `value` (its click: the action the mouse triggers).
void DragMaster(const WindowRig& rig, int value) {
  Master(rig)->setSliderPosition(value);
  Master(rig)->triggerAction(QAbstractSlider::SliderMove);
}

void Open(WindowRig& rig, const std::string& path) {
  rig.dialogs.openAnswers.push_back(path);
  rig.Action("mnuOpen")->trigger();
}

QDialog* AddVolumeEventsDialog(const WindowRig& rig) {
  // A closed dialog is deleted later; let that happen before looking.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return rig.window->findChild<QDialog*>("frmAddVolumeEvents");
}

QString DialogLabel(QDialog* d, const char* name) { return d->findChild<QLabel*>(name)->text(); }

// No initial volume events: one volume event of 100, in Main A.
Bytes StyleWithoutInitialVolume(bool withSInt = true) {
  TrackBuilder t;
  t.TrackName("Late").TempoBpm(120).TimeSignature(4, 2);
  if (withSInt) t.Marker("SInt");
  t.Marker("Main A").ControlChange(8, 7, 100).NoteOn(8, 60, 100).Delta(480).NoteOff(8, 60).EndOfTrack();
  return StyleBytes(t);
}

Bytes StyleWithVolumes(std::initializer_list<int> values, bool withTempo = true) {
  TrackBuilder t;
  t.TrackName("Volumes");
  if (withTempo) t.TempoBpm(120);
  t.TimeSignature(4, 2).Marker("SInt");
  int channel = 0;
  for (int v : values) t.ControlChange(channel++, 7, v);
  t.Marker("Main A").NoteOn(8, 60, 100).Delta(480).NoteOff(8, 60).EndOfTrack();
  return StyleBytes(t);
}

Bytes FileBytes(const std::string& path) {
  const std::string s = ReadWhole(path);
  return Bytes(s.begin(), s.end());
}

int SaveDialogs(const WindowRig& rig) {
  int n = 0;
  for (const auto& call : rig.dialogs.calls) n += call.kind == "SaveStyle" ? 1 : 0;
  return n;
}

Bytes ThreeBytesAt(const Bytes& data, int32_t pos) {
  auto at = data.begin() + pos;
  return Bytes(at, at + 3);
}

}  // namespace

void EditingTest::setAndUndoFollowTheSliderAndKeepTheirStatesAcrossALoad() {
  WindowRig rig;
  rig.Start();
  QVERIFY(!SetEnabled(rig) && !UndoEnabled(rig));
  QCOMPARE(rig.Text("lblMasterVolume"), QString("0"));
  Open(rig, rig.Style("Volume.sty"));  // volume events 100 and 80
  QCOMPARE(Master(rig)->value(), 90);
  QCOMPARE(rig.Text("lblMasterVolume"), QString("90"));
  QVERIFY(!SetEnabled(rig) && !UndoEnabled(rig));  // loading is not the user's click
  const Bytes loaded = Data(rig);
  const auto& pos = rig.window->model().VolumeEventPos;

  // A click on the groove beyond the handle: one large step up.
  QSlider* slider = Master(rig);
  QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() - 2, slider->height() / 2));
  QCOMPARE(Master(rig)->value(), 95);
  QCOMPARE(rig.Text("lblMasterVolume"), QString("95"));
  QVERIFY(SetEnabled(rig) && UndoEnabled(rig));
  rig.Button("cmdSet")->click();
  QCOMPARE(int{Data(rig)[static_cast<size_t>(pos[0])]}, 106);  // 105.6
  QCOMPARE(int{Data(rig)[static_cast<size_t>(pos[1])]}, 84);   // 84.4
  QVERIFY(!SetEnabled(rig) && UndoEnabled(rig));

  rig.Button("cmdRestore")->click();
  QVERIFY(Data(rig) == loaded);
  QCOMPARE(Master(rig)->value(), 90);
  QCOMPARE(rig.Text("lblMasterVolume"), QString("90"));
  QVERIFY(!SetEnabled(rig) && UndoEnabled(rig));

  DragMaster(rig, 40);
  QVERIFY(SetEnabled(rig) && UndoEnabled(rig));
  Open(rig, rig.Style("Other.sty", StyleWithVolumes({64, 64, 32})));
  QVERIFY(SetEnabled(rig) && UndoEnabled(rig));
  QCOMPARE(Master(rig)->value(), 53);  // 53.3
  QCOMPARE(rig.Text("lblMasterVolume"), QString("53"));
  QVERIFY(rig.boxes.shown.empty());
}

void EditingTest::setWhilePlayingEndsThePlayback() {
  WindowRig rig;
  rig.Start(rig.Style("Play.sty"));
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  rig.sequencer.log.clear();
  DragMaster(rig, 100);
  rig.Button("cmdSet")->click();
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QVERIFY(!rig.Button("cmdStop")->isEnabled());
  QCOMPARE(rig.window->defaultButton(), rig.Button("cmdPlay"));
  QVERIFY(!rig.window->model().PlayRequested);
  rig.timer.RunPending();
  QCOMPARE(rig.sequencer.Commands(), (std::vector<std::string>{"stop", "prev", "close"}));
  QVERIFY(rig.window->model().PlaybackStopped);
}

void EditingTest::setWithoutAnAverageChangesNothing() {
  // No volume events at all, and volume events that are all 0: MasterVolume 0.
  for (const Bytes& style : {StyleWithVolumes({}), StyleWithVolumes({0, 0})}) {
    WindowRig rig;
    rig.Start(rig.Style("Quiet.sty", style));
    QCOMPARE(Master(rig)->value(), 0);
    QCOMPARE(rig.Text("lblMasterVolume"), QString("0"));
    const Bytes loaded = Data(rig);
    DragMaster(rig, 100);
    rig.Button("cmdSet")->click();
    QVERIFY(Data(rig) == loaded);
    rig.Button("cmdRestore")->click();
    QVERIFY(Data(rig) == loaded);
    QCOMPARE(Master(rig)->value(), 0);
    QCOMPARE(rig.Text("lblMasterVolume"), QString("0"));
    QVERIFY(rig.boxes.shown.empty());
  }
}

void EditingTest::commandsWithoutAStyle() {
  WindowRig rig;
  rig.Start();
  rig.Action("mnuVolumeEvents")->trigger();
  rig.Action("mnuSaveStyle")->trigger();
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{kSelectFirst, kSelectFirst}));
  QVERIFY(!AddVolumeEventsDialog(rig));
  QVERIFY(rig.dialogs.calls.empty());
  // No tempo to edit: no input box.
  rig.Action("mnuTempo")->trigger();
  QTest::mouseDClick(rig.Find<QLabel>("lblTempo"), Qt::LeftButton);
  QVERIFY(rig.input.calls.empty());
}

void EditingTest::addVolumeEventsDialogInsertsOnOkOnly() {
  WindowRig rig;
  rig.Start(rig.Style("Late.sty", StyleWithoutInitialVolume()));
  const Bytes loaded = Data(rig);
  QCOMPARE(Master(rig)->value(), 100);

  rig.Action("mnuVolumeEvents")->trigger();
  QDialog* d = AddVolumeEventsDialog(rig);
  QVERIFY(d && d->isVisible());
  QVERIFY(!d->isModal());
  QVERIFY(!QApplication::activeModalWidget());
  QCOMPARE(d->windowTitle(), QString("Add Volume Events"));
  QCOMPARE(DialogLabel(d, "Label1"), QString("Some styles may not have volume controller events for all channels in all "
                                             "sections and hence only a portion of the style may be adjusted."));
  QCOMPARE(DialogLabel(d, "Label2"), QString("This function adds a set of track volume events to the style before any "
                                             "other events which may or may not exist. "));
  QCOMPARE(DialogLabel(d, "Label3"),
           QString("This style has 0 initial volume events (i.e. before any Main section events)."));
  QCOMPARE(DialogLabel(d, "Label4"), QString(" Click OK to add 16 more volume events."));
  // The menu again only brings the open dialog forward.
  rig.Action("mnuVolumeEvents")->trigger();
  QCOMPARE(rig.window->findChildren<QDialog*>("frmAddVolumeEvents").size(), qsizetype{1});

  d->findChild<QPushButton*>("CancelButton")->click();
  QVERIFY(!AddVolumeEventsDialog(rig));
  rig.Action("mnuVolumeEvents")->trigger();
  AddVolumeEventsDialog(rig)->close();  // the window frame's close
  QVERIFY(!AddVolumeEventsDialog(rig));
  QVERIFY(Data(rig) == loaded);
  QCOMPARE(Master(rig)->value(), 100);

  rig.Action("mnuVolumeEvents")->trigger();
  AddVolumeEventsDialog(rig)->findChild<QPushButton*>("OKButton")->click();
  QVERIFY(!AddVolumeEventsDialog(rig));
  QCOMPARE(Data(rig).size(), loaded.size() + 64);
  QCOMPARE(Master(rig)->value(), 66);  // (16 x 64 + 100) / 17
  QCOMPARE(rig.Text("lblMasterVolume"), QString("66"));
  QVERIFY(rig.boxes.shown.empty());

  // Built anew, the dialog reads the count again; a second OK is refused.
  rig.Action("mnuVolumeEvents")->trigger();
  d = AddVolumeEventsDialog(rig);
  QCOMPARE(DialogLabel(d, "Label3"),
           QString("This style has 16 initial volume events (i.e. before any Main section events)."));
  const Bytes once = Data(rig);
  d->findChild<QPushButton*>("OKButton")->click();
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{kAlreadyHasVolumeEventsText}));
  QVERIFY(Data(rig) == once);
}

void EditingTest::styleWithoutSIntGetsNoVolumeEvents() {
  WindowRig rig;
  rig.Start(rig.Style("NoSInt.sty", StyleWithoutInitialVolume(false)));
  const Bytes loaded = Data(rig);
  rig.Action("mnuVolumeEvents")->trigger();
  AddVolumeEventsDialog(rig)->findChild<QPushButton*>("OKButton")->click();
  QCOMPARE(rig.boxes.shown,
           (std::vector<std::string>{"This style has no SInt section; volume events cannot be added"}));
  QVERIFY(Data(rig) == loaded);
  QCOMPARE(Master(rig)->value(), 100);
}

void EditingTest::tempoEditFromTheLabelAndTheMenu() {
  WindowRig rig;
  rig.Start(rig.Style("Tempo.sty"));  // 120, 4/4
  const int32_t pos = rig.window->model().TempoEventPos[0];
  const Bytes loaded = Data(rig);
  QLabel* tempo = rig.Find<QLabel>("lblTempo");
  auto dblClick = [&] { QTest::mouseDClick(tempo, Qt::LeftButton); };
  auto menu = [&] { rig.Action("mnuTempo")->trigger(); };

  rig.input.answers = {"31", "281", "abc"};
  dblClick();
  menu();
  dblClick();
  QCOMPARE(rig.boxes.shown.size(), size_t{3});
  QCOMPARE(rig.boxes.shown[0], std::string("Tempo must be between 32 and 280"));
  QCOMPARE(rig.boxes.shown[1], std::string("Tempo must be between 32 and 280"));
  QVERIFY(QString::fromStdString(rig.boxes.shown[2])
              .startsWith("Error #: 13, Type mismatch, encountered in Function TempoEdit."));
  QCOMPARE(tempo->text(), QString("120"));
  QVERIFY(Data(rig) == loaded);

  rig.input.answers = {"140", ""};
  menu();
  QCOMPARE(tempo->text(), QString("140"));
  QCOMPARE(ThreeBytesAt(Data(rig), pos), (Bytes{0x06, 0x8A, 0x1B}));  // 428571 us per quarter
  dblClick();  // offers the loaded tempo again; Cancel changes nothing
  QCOMPARE(tempo->text(), QString("140"));
  QCOMPARE(rig.input.calls.size(), size_t{5});
  for (const auto& call : rig.input.calls) {
    QCOMPARE(call.prompt, std::string("Enter a value between 32 and 280"));
    QCOMPARE(call.title, std::string("Edit Tempo"));
    QCOMPARE(call.initial, std::string("120"));
  }
  QCOMPARE(rig.boxes.shown.size(), size_t{3});

  // A style without a tempo: nothing is asked.
  Open(rig, rig.Style("NoTempo.sty", StyleWithVolumes({90}, false)));
  dblClick();
  menu();
  QCOMPARE(rig.input.calls.size(), size_t{5});
}

void EditingTest::saveStyleAsksWritesAndRefuses() {
  WindowRig rig;
  const std::string path = rig.Style("Save.sty");
  rig.Start(path);
  DragMaster(rig, 120);
  rig.Button("cmdSet")->click();  // the edited bytes are the ones saved

  // While playing: Stop is pressed, the user is asked to wait, nothing is written.
  rig.Sections()->setCurrentIndex(1);
  rig.Button("cmdPlay")->click();
  rig.dialogs.saveAnswers.push_back(rig.work.File("Playing.sty"));
  rig.Action("mnuSaveStyle")->trigger();
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{kWaitBeforeSavingText}));
  QVERIFY(rig.dialogs.calls.empty());
  QVERIFY(rig.Button("cmdPlay")->isEnabled() && !rig.Button("cmdStop")->isEnabled());
  rig.timer.RunPending();
  QCOMPARE(rig.sequencer.Commands().back(), std::string("close"));
  QVERIFY(!std::filesystem::exists(rig.work.File("Playing.sty")));
  rig.boxes.shown.clear();

  // Cancel in the save dialog (it starts at the loaded style, suffix "sty").
  rig.dialogs.saveAnswers = {std::nullopt};
  rig.Action("mnuSaveStyle")->trigger();
  QCOMPARE(rig.dialogs.calls.size(), size_t{1});
  QCOMPARE(rig.dialogs.calls[0].startPath, path);
  QCOMPARE(rig.dialogs.calls[0].defaultSuffix, std::string("sty"));

  // A new name: written without a question.
  const std::string fresh = rig.work.File("Fresh.sty");
  rig.dialogs.saveAnswers = {fresh};
  rig.Action("mnuSaveStyle")->trigger();
  QVERIFY(rig.boxes.asked.empty());
  QVERIFY(FileBytes(fresh) == Data(rig));

  // An existing, longer file: Cancel at the question keeps it, OK replaces it.
  const std::string old = rig.Style("Old.sty", Bytes(Data(rig).size() + 500, 0x55));
  const std::string oldBytes = ReadWhole(old);
  rig.dialogs.saveAnswers = {old, old};
  rig.boxes.answers = {false, true};
  rig.Action("mnuSaveStyle")->trigger();
  QCOMPARE(rig.boxes.asked, (std::vector<std::string>{kReplaceFileText}));
  QVERIFY(ReadWhole(old) == oldBytes);
  rig.Action("mnuSaveStyle")->trigger();
  QCOMPARE(rig.boxes.asked.size(), size_t{2});
  QVERIFY(FileBytes(old) == Data(rig));
  QVERIFY(rig.boxes.shown.empty());
  QCOMPARE(rig.window->model().StyleFileName, path);  // saving does not change the loaded style's name
}

void EditingTest::afterAFailedLoadTheStyleBeforeIsEdited() {
  // A style that does not load leaves the one before whole: the editing
  // commands act on it, never on the bytes of the file that failed.
  WindowRig rig;
  rig.Start(rig.Style("Good.sty"));
  const Bytes good = Data(rig);
  TrackBuilder noSections;
  noSections.TrackName("Broken").Marker("SInt").EndOfTrack();
  for (const std::string& path : {rig.work.File("Gone.sty"), rig.Style("Broken.sty", StyleBytes(noSections))}) {
    Open(rig, path);
    QVERIFY(Data(rig) == good);
    QCOMPARE(QString::fromStdString(rig.window->model().StyleFileName), QString::fromStdString(rig.work.File("Good.sty")));
  }
  rig.boxes.shown.clear();
  rig.Action("mnuSaveStyle")->trigger();
  QCOMPARE(SaveDialogs(rig), 1);
  rig.Action("mnuVolumeEvents")->trigger();
  QVERIFY(AddVolumeEventsDialog(rig));
  QVERIFY(rig.boxes.shown.empty());
}

void EditingTest::demoEditsSurviveSaveAndReloadInTheWindowAndTheTool() {
  const std::string demo = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  WindowRig rig;
  rig.Start(demo);
  QCOMPARE(rig.window->model().InitialVolumeEventCount, 8);
  rig.Action("mnuVolumeEvents")->trigger();
  AddVolumeEventsDialog(rig)->findChild<QPushButton*>("OKButton")->click();
  QCOMPARE(Master(rig)->value(), 70);  // (16 x 64 + 648) / 24 = 69.7
  DragMaster(rig, 96);
  rig.Button("cmdSet")->click();
  rig.input.answers = {"90"};
  rig.Action("mnuTempo")->trigger();
  const std::string saved = rig.work.File("Edited.sty");
  rig.dialogs.saveAnswers = {saved};
  rig.Action("mnuSaveStyle")->trigger();
  QVERIFY(rig.boxes.shown.empty());
  QCOMPARE(FileBytes(saved).size(), size_t(std::filesystem::file_size(demo) + 64));

  Open(rig, saved);
  const StyleModel& m = rig.window->model();
  QVERIFY(m.StyleData == FileBytes(saved));
  QCOMPARE(m.InitialVolumeEventCount, 24);
  for (int i = 0; i < 16; ++i) QCOMPARE(m.VolumeEventValue[static_cast<size_t>(i)], int16_t{88});  // 64 x 96 / 70
  QCOMPARE(m.VolumeEventValue[17], int16_t{127});  // 104 x 96 / 70, clipped
  QCOMPARE(Master(rig)->value(), int{m.MasterVolume});
  QCOMPARE(m.MasterVolume, int16_t{95});
  QCOMPARE(rig.Text("lblTempo"), QString("90"));
  QCOMPARE(m.DisplayTempo, int16_t{90});
  QVERIFY(rig.boxes.shown.empty());

  // The same edits from the command line give the same file.
  const std::string byTool = rig.work.File("ByTool.sty");
  ProcessResult r = RunProcess({VAMBRIO_CLI, "edit", demo, "-o", byTool, "--add-volume-events", "--master-volume",
                                "96", "--tempo", "90"});
  QVERIFY2(r.status == 0, r.err.c_str());
  QVERIFY(FileBytes(byTool) == FileBytes(saved));
}

}  // namespace vambrio::test
