// Start-up, the settings file, the command line, the mixer and the end.
#include <QAction>
#include <QSlider>

#include <QApplication>
#include <QTimer>

#include "../arranger/fake_arranger_service.h"
#include "fakes/fake_chart_dialogs.h"
#include "shell/arranger/frm_arranger.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {

void StartupTest::firstRunWithoutSettingsFile() {
  WindowRig rig;
  rig.Start();
  QCOMPARE(rig.Check("chkGM")->isChecked(), false);
  QCOMPARE(rig.Check("chkGM")->text(), QString("XG"));
  QVERIFY(rig.Action("mnuSysex")->isChecked());
  QVERIFY(rig.boxes.shown.empty());
  QVERIFY(rig.window->isVisible());
  rig.Exit();
  QCOMPARE(ReadWhole(rig.IniPath()), std::string("XG\r\nTrue\r\n\r\n"));
}

void StartupTest::settingsFileIsAppliedAndWrittenBack_data() {
  QTest::addColumn<QString>("ini");
  QTest::addColumn<bool>("gm");
  QTest::addColumn<bool>("sysex");
  QTest::addColumn<QString>("written");
  QTest::newRow("single line GM") << "GM" << true << true << "GM\r\nTrue\r\n\r\n";
  QTest::newRow("lower-case true is not recognised") << "XG\r\ntrue\r\n" << false << true << "XG\r\nTrue\r\n\r\n";
}

void StartupTest::settingsFileIsAppliedAndWrittenBack() {
  QFETCH(QString, ini);
  QFETCH(bool, gm);
  QFETCH(bool, sysex);
  QFETCH(QString, written);
  WindowRig rig;
  rig.WriteIni(ini.toStdString());
  rig.Start();
  QCOMPARE(rig.Check("chkGM")->isChecked(), gm);
  QCOMPARE(rig.Check("chkGM")->text(), QString(gm ? "GM" : "XG"));
  QCOMPARE(rig.Action("mnuSysex")->isChecked(), sysex);
  rig.Exit();
  QCOMPARE(QString::fromStdString(ReadWhole(rig.IniPath())), written);
}

void StartupTest::unreadableSettingsFileIsReportedAndDefaultsApply() {
  WindowRig rig;
  std::filesystem::create_directory(rig.IniPath());  // a folder where the file should be
  rig.Start();
  QCOMPARE(rig.boxes.shown.size(), size_t{1});
  QCOMPARE(QString::fromStdString(rig.boxes.shown[0]),
           QString("File may have read-only attribute. Change attribute or choose another name."));
  QCOMPARE(rig.Check("chkGM")->text(), QString("XG"));
  QVERIFY(rig.Action("mnuSysex")->isChecked());
  rig.boxes.shown.clear();
  rig.window->mnuExit_Click();  // the file cannot be written either: reported, and the program still ends
  QCOMPARE(rig.boxes.shown.size(), size_t{1});
  QVERIFY(!rig.window->isVisible());
}

void StartupTest::quotedCommandLinePathIsLoadedOnceShown() {
  WindowRig rig;
  std::string path = rig.Style("My Style.sty");
  rig.Start("\"" + path + "\"");
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   My Style.sty"));
  QCOMPARE(QString::fromStdString(rig.window->model().StyleFileName), QString::fromStdString(path));
  QCOMPARE(rig.Text("lblStyleName"), QString("Rig Style - (c) Rig"));
  QVERIFY(rig.boxes.shown.empty());
}

void StartupTest::startupConfiguresTheSequencerAndStopsNothing() {
  WindowRig rig;
  rig.Start();
  QCOMPARE(rig.sequencer.log, (std::vector<std::string>{"Wait 1", "Notify 0"}));
  QVERIFY(rig.window->model().PlaybackStopped);
  QVERIFY(rig.Button("cmdPlay")->isEnabled());
  QVERIFY(!rig.Button("cmdStop")->isEnabled());
  QVERIFY(!rig.Button("cmdSet")->isEnabled());
  QVERIFY(!rig.Button("cmdRestore")->isEnabled());
  QCOMPARE(rig.window->defaultButton(), rig.Button("cmdPlay"));
}

void StartupTest::mixerStartupSetsHalfTheRangeAndFollowsTheSlider() {
  WindowRig rig;
  rig.mixer.control = platform::MixerControl{7, 65535};
  rig.Start();
  auto* slider = rig.Find<QSlider>("sliderVol");
  QVERIFY(slider->isEnabled());
  QCOMPARE(slider->minimum(), 1);
  QCOMPARE(slider->maximum(), 100);
  QCOMPARE(slider->value(), 50);
  using Set = std::pair<uint32_t, uint32_t>;
  QCOMPARE(rig.mixer.sets, (std::vector<Set>{{7, 32768}}));
  slider->setValue(1);
  slider->setValue(100);
  slider->setValue(50);
  QCOMPARE(rig.mixer.sets, (std::vector<Set>{{7, 32768}, {7, 650}, {7, 65000}, {7, 32500}}));
}

void StartupTest::mixerThatCannotBeOpenedIsSaidAndStartupGoesOn() {
  WindowRig rig;
  rig.mixer.openResult = false;
  std::string path = rig.Style("Cmd.sty");
  rig.Start(path);
  QCOMPARE(rig.boxes.shown, (std::vector<std::string>{"Couldn't open the mixer."}));
  // The rest of the load still ran: sequencer set up, command-line style loaded.
  QCOMPARE(rig.sequencer.log.at(0), std::string("Wait 1"));
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio   Cmd.sty"));
  QVERIFY(!rig.Find<QSlider>("sliderVol")->isEnabled());
  QVERIFY(!rig.Button("cmdSet")->isEnabled());
  QVERIFY(rig.mixer.sets.empty());
}

void StartupTest::mixerWithoutVolumeControlDisablesTheSlider() {
  WindowRig rig;
  rig.mixer.control.reset();
  rig.Start();
  QVERIFY(!rig.Find<QSlider>("sliderVol")->isEnabled());
  QVERIFY(rig.mixer.sets.empty());
  QVERIFY(rig.boxes.shown.empty());
}

void StartupTest::exitWhenStoppedWritesSettingsAndClosesTheDevice() {
  WindowRig rig;
  rig.Start();
  rig.Check("chkGM")->setChecked(true);
  rig.Action("mnuSysex")->trigger();
  rig.window->mnuExit_Click();
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(ReadWhole(rig.IniPath()), std::string("GM\r\nFalse\r\n\r\n"));
  QCOMPARE(rig.sequencer.Commands().back(), std::string("close"));
}

// With --arranger the main window loads the command line's style but is not
// shown, and leaves the PC's volume alone.
void StartupTest::startedHiddenTheStyleLoadsAndClosingTheArrangerEnds() {
  WindowRig rig;
  rig.window = std::make_unique<frmVambrio>(rig.Services(), rig.Style("Hidden.sty"));
  StartUp(*rig.window, false);
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(rig.Text("lblStyleName"), QString("Rig Style - (c) Rig"));
  QVERIFY(rig.mixer.sets.empty());  // the PC's volume stays as the user set it
  // vambrio --arranger: the Arranger is the program's only window, and the
  // program ends when it closes although the main window still exists.
  FakeArrangerService service;
  FakeChartDialogs dialogs;
  live::ChosenChord chord;
  frmArranger arranger(service, dialogs, chord, rig.work.File("Sound.ini"));
  arranger.OpenStyle(rig.window->model().StyleFileName);
  arranger.show();
  QVERIFY(QTest::qWaitForWindowExposed(&arranger));
  bool timedOut = false;
  QTimer::singleShot(0, &arranger, [&arranger] { arranger.close(); });
  QTimer::singleShot(5000, qApp, [&timedOut] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  QCOMPARE(QApplication::exec(), 0);
  QVERIFY(!timedOut);
}

}  // namespace vambrio::test
