// The Arranger window's Record: asks for the file, records until pressed
// again or the window closes, the chart beside the file when asked for. The
// style's One Touch Settings: recalled by their buttons and by OTS Link.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "fake_arranger_service.h"
#include "fakes/fake_chart_dialogs.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/arranger/ots_panel.h"
#include "shell/arranger/record_panel.h"
#include "temp_dir.h"

namespace vambrio::test {

class ArrangerRecordTest : public QObject {
  Q_OBJECT

  static std::vector<OneTouchSetting> Settings() {
    std::vector<OneTouchSetting> ots(3);
    for (int i = 0; i < 3; ++i) {
      ots[static_cast<size_t>(i)].usable = i != 2;  // the third damaged
      ots[static_cast<size_t>(i)].parts[0].program = 64 + i;
      ots[static_cast<size_t>(i)].parts[0].volume = 100;
      ots[static_cast<size_t>(i)].parts[3].program = 48;
    }
    return ots;
  }

  struct Rig {
    Rig() : window(service, dialogs, chord, work.File("Sound.ini")) {
      service.style.ots = Settings();
      window.show();
      window.OpenStyle("/styles/Demo.sty");
    }
    template <typename T>
    T* Find(const char* name) const {
      return window.findChild<T*>(name);
    }
    TempDir work;
    FakeArrangerService service;
    FakeChartDialogs dialogs;
    live::ChosenChord chord;
    frmArranger window;
  };

 private slots:
  void recordsUntilPressedAgainTheChartBesideTheFile() {
    Rig rig;
    auto* record = rig.Find<QPushButton>("cmdRecord");
    QVERIFY(record);
    rig.Find<QCheckBox>("chkRecordChart")->setChecked(true);
    rig.dialogs.answers = {"/songs/take.mid"};
    record->click();
    QVERIFY(record->isChecked());
    QCOMPARE(rig.service.recordings.size(), size_t{1});
    QCOMPARE(rig.service.recordings[0].first, std::string("/songs/take.mid"));
    QCOMPARE(rig.service.recordings[0].second, std::string("/songs/take.chart"));
    QCOMPARE(rig.Find<QLabel>("lblRecord")->text(), QString("Recording to take.mid"));
    QVERIFY(!rig.Find<QCheckBox>("chkRecordChart")->isEnabled());

    record->click();
    QVERIFY(!record->isChecked());
    QCOMPARE(rig.service.recordingsStopped, 1);
    QCOMPARE(rig.Find<QLabel>("lblRecord")->text(), QString("Recorded: take.mid"));

    // Save WAV renders the take beside it unless told otherwise; a failure is shown.
    auto* saveWav = rig.Find<QPushButton>("cmdSaveRecordingWav");
    QVERIFY(saveWav->isEnabled());
    rig.dialogs.answers = {"/songs/take.wav"};
    saveWav->click();
    rig.window.findChild<RecordPanel*>()->WaitRendered();
    QCOMPARE(rig.dialogs.exportStarts.back(), std::string("/songs/take.wav"));
    QCOMPARE(rig.service.renders.back(), (std::pair<std::string, std::string>{"/songs/take.mid", "/songs/take.wav"}));
    QCOMPARE(rig.Find<QLabel>("lblRecord")->text(), QString("Saved: take.wav"));
    rig.service.renderProblem = "could not write /songs/take.wav: Disk full";
    rig.dialogs.answers = {"/songs/take.wav"};
    saveWav->click();
    rig.window.findChild<RecordPanel*>()->WaitRendered();
    QCOMPARE(rig.dialogs.shown.back(), rig.service.renderProblem);

    // Without the chart; closing the window finishes the recording.
    rig.Find<QCheckBox>("chkRecordChart")->setChecked(false);
    rig.dialogs.answers = {"/songs/second.mid"};
    record->click();
    QCOMPARE(rig.service.recordings.back().second, std::string());
    rig.window.close();
    QCOMPARE(rig.service.recordingsStopped, 2);
    QVERIFY(!record->isChecked());
  }

  void oneTouchSettingsRecallByButtonAndByTheMainThatStarts() {
    Rig rig;
    auto* ots = rig.window.findChild<OtsPanel*>();
    QVERIFY(ots);
    QVERIFY(rig.Find<QPushButton>("cmdOts2")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdOts3")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdOts4")->isEnabled());
    QCOMPARE(rig.Find<QPushButton>("cmdOts1")->toolTip(),
             QString("Right 1: Soprano Sax, volume 100\nLeft: String Ensemble 1"));
    rig.Find<QPushButton>("cmdOts2")->click();
    QCOMPARE(ots->Recalled(), 1);
    QVERIFY(rig.Find<QPushButton>("cmdOts2")->isChecked());

    // OTS Link: Main A recalls OTS 1 as it starts playing, not while it plays on.
    rig.Find<QCheckBox>("chkOtsLink")->setChecked(true);
    rig.service.state.playing = true;
    rig.service.state.section = 1;  // "Main A"
    rig.window.Refresh();
    QCOMPARE(ots->Recalled(), 0);
    rig.Find<QPushButton>("cmdOts2")->click();
    rig.window.Refresh();
    QCOMPARE(ots->Recalled(), 1);
    rig.service.state.section = 3;  // "Fill In AA": no setting of its own
    rig.window.Refresh();
    QCOMPARE(ots->Recalled(), 1);
    rig.service.state.section = 1;
    rig.window.Refresh();
    QCOMPARE(ots->Recalled(), 0);
    rig.Find<QCheckBox>("chkOtsLink")->setChecked(false);
    rig.service.state.section = 2;  // "Main B", with Link off
    rig.window.Refresh();
    QCOMPARE(ots->Recalled(), 0);
  }

  void aCancelledOrRefusedRecordingLeavesRecordOff() {
    Rig rig;
    auto* record = rig.Find<QPushButton>("cmdRecord");
    record->click();  // the file dialog cancelled
    QVERIFY(!record->isChecked());
    QVERIFY(rig.service.recordings.empty());
    rig.service.recordProblem = "could not write /songs/take.mid: Permission denied";
    rig.dialogs.answers = {"/songs/take.mid"};
    record->click();
    QVERIFY(!record->isChecked());
    QCOMPARE(rig.dialogs.shown.back(), rig.service.recordProblem);
    QCOMPARE(rig.service.recordingsStopped, 0);
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::ArrangerRecordTest)
#include "arranger_record_test.moc"
