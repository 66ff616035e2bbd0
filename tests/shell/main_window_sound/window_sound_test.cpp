// The main window on the built-in synthesizer: Play sounds through the
// private server's sink, Stop silences it, and a pass ends by itself on the
// window's own timer.
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "fakes/fake_desktop_shell.h"
#include "fakes/fake_file_dialogs.h"
#include "fakes/fake_input_box.h"
#include "fakes/fake_message_boxes.h"
#include "fakes/fake_mixer.h"
#include "loading/entry.h"
#include "platform/desktop/qt_timer.h"
#include "platform/clock/system_clock.h"
#include "shell/main_window/fluid_sound.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/section_combo.h"
#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {

class WindowSoundTest : public QObject {
  Q_OBJECT

 private:
  // The window with the demo style loaded and the SoundFont loading.
  struct Rig {
    TempDir dir;
    FakeMixer mixer;  // the sink stays at full volume
    FakeFileDialogs dialogs;
    FakeMessageBoxes boxes;
    FakeInputBox input;
    FakeDesktopShell shell;
    platform::SystemClock clock;
    platform::QtTimer timer{clock};
    frmVambrio* window = nullptr;
    FluidSound sound{[this] { return window && window->Choices().GmPlayer; }};
    std::unique_ptr<frmVambrio> owned;

    Rig() {
      owned = std::make_unique<frmVambrio>(
          WindowServices{sound, mixer, dialogs, boxes, input, shell, clock, timer, sound,
                         SettingsPaths{dir.File("config"), dir.File("Player.tmp")}},
          DemoStyle());
      window = owned.get();
      StartUp(*window);
      sound.StartLoading();
    }
    void Select(const char* section) {
      auto* list = window->findChild<SectionCombo*>("cboSections");
      for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i) == section) list->setCurrentIndex(i);
    }
    QString Status() const { return window->findChild<QLabel*>("lblStatus")->text(); }
  };

 private slots:
  void playSoundsAndStopSilences() {
    Rig rig;
    Recorder recorder(rig.dir.path().string());
    rig.Select("Main A");
    rig.window->cmdPlay_Click();
    QVERIFY2(rig.boxes.shown.empty(), rig.boxes.shown.empty() ? "" : rig.boxes.shown[0].c_str());
    QCOMPARE(rig.Status(), QString(kPlayingText));
    // Play on until the sink's monitor hands on sound (a busy machine starts the stream late).
    for (int waited = 0; waited < 30000 && !recorder.LoudNow(300.0); waited += 100) QTest::qWait(100);
    QTest::qWait(500);
    double stoppedAt = recorder.Seconds();
    rig.window->cmdStop_Click();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), QString(kReadyText), 2000);
    QTest::qWait(3500);  // the monitor hands samples on up to two seconds late
    std::vector<int16_t> samples = recorder.Stop();
    double peak = PeakRms(samples);
    QVERIFY2(peak > 300, qPrintable(QString("peak RMS %1").arg(peak)));
    double after = Rms(samples, stoppedAt + 2.5, stoppedAt + 3.5);
    qInfo("peak RMS %.0f, RMS after Stop %.1f", peak, after);
    QVERIFY2(after < peak / 50, qPrintable(QString("RMS %1 after Stop, peak %2").arg(after).arg(peak)));
    QVERIFY(rig.window->model().PlaybackStopped);
  }

  void passEndsByItselfOnTheWindowsTimer() {
    Rig rig;
    rig.Select("Fill In AA");  // one bar
    rig.window->cmdPlay_Click();
    QVERIFY(!rig.window->model().PlaybackStopped);
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), QString(kReadyText), 15000);
    QVERIFY(rig.window->model().PlaybackStopped);
    QVERIFY2(rig.boxes.shown.empty(), rig.boxes.shown.empty() ? "" : rig.boxes.shown[0].c_str());
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::WindowSoundTest)
#include "window_sound_test.moc"
