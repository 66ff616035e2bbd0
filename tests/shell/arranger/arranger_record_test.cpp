// The Arranger window's Record: asks for the file, records until pressed
// again or the window closes, the chart beside the file when asked for.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "fake_arranger_service.h"
#include "fakes/fake_chart_dialogs.h"
#include "shell/arranger/frm_arranger.h"
#include "temp_dir.h"

namespace vambrio::test {

class ArrangerRecordTest : public QObject {
  Q_OBJECT

  struct Rig {
    Rig() : window(service, dialogs, chord, work.File("Sound.ini")) {
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

    // Without the chart; closing the window finishes the recording.
    rig.Find<QCheckBox>("chkRecordChart")->setChecked(false);
    rig.dialogs.answers = {"/songs/second.mid"};
    record->click();
    QCOMPARE(rig.service.recordings.back().second, std::string());
    rig.window.close();
    QCOMPARE(rig.service.recordingsStopped, 2);
    QVERIFY(!record->isChecked());
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
