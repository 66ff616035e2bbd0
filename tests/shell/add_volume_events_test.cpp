// frmAddVolumeEvents driven offscreen through its object names.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "shell/add_volume_events/frm_add_volume_events.h"

using vambrio::shell::frmAddVolumeEvents;

class AddVolumeEventsTest : public QObject {
  Q_OBJECT

  frmAddVolumeEvents::Labels labels(int count) {
    ++built_;
    return {"first", "second ", "This style has " + std::to_string(count) + " initial", " fourth"};
  }
  int built_ = 0;

 private slots:
  void init() { built_ = 0; }

  void showsCaptionLabelsAndButtons() {
    QWidget main;
    QPointer<frmAddVolumeEvents> dlg;
    frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(5); }, [] {});
    QVERIFY(dlg);
    QCOMPARE(dlg->objectName(), QString("frmAddVolumeEvents"));
    QCOMPARE(dlg->windowTitle(), QString("Add Volume Events"));
    QVERIFY(!dlg->isModal());
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->findChild<QLabel*>("Label1")->text(), QString("first"));
    QCOMPARE(dlg->findChild<QLabel*>("Label2")->text(), QString("second "));
    QCOMPARE(dlg->findChild<QLabel*>("Label3")->text(), QString("This style has 5 initial"));
    QCOMPARE(dlg->findChild<QLabel*>("Label4")->text(), QString(" fourth"));
    QCOMPARE(dlg->findChild<QPushButton*>("OKButton")->text(), QString("OK"));
    QCOMPARE(dlg->findChild<QPushButton*>("CancelButton")->text(), QString("Cancel"));
    dlg->close();
  }

  void okRunsTheInsertionOnceAndDiscardsTheDialog() {
    QWidget main;
    QPointer<frmAddVolumeEvents> dlg;
    int ran = 0;
    frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(0); }, [&] { ++ran; });
    QTest::mouseClick(dlg->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    QCOMPARE(ran, 1);
    QTRY_VERIFY(dlg.isNull());  // deleted on close
  }

  void cancelAndTheFrameCloseRunNothing() {
    QWidget main;
    QPointer<frmAddVolumeEvents> dlg;
    int ran = 0;
    frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(0); }, [&] { ++ran; });
    QTest::mouseClick(dlg->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    QTRY_VERIFY(dlg.isNull());
    frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(0); }, [&] { ++ran; });
    dlg->close();
    QTRY_VERIFY(dlg.isNull());
    QCOMPARE(ran, 0);
  }

  void anOpenDialogIsOnlyBroughtForward() {
    QWidget main;
    QPointer<frmAddVolumeEvents> dlg;
    frmAddVolumeEvents* first = frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(3); }, [] {});
    frmAddVolumeEvents* second = frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(16); }, [] {});
    QCOMPARE(second, first);
    QCOMPARE(built_, 1);
    QCOMPARE(dlg->findChild<QLabel*>("Label3")->text(), QString("This style has 3 initial"));
    dlg->close();
    QTRY_VERIFY(dlg.isNull());
    // Built anew after closing: the count is read again.
    frmAddVolumeEvents::Open(dlg, &main, [&] { return labels(16); }, [] {});
    QCOMPARE(built_, 2);
    QCOMPARE(dlg->findChild<QLabel*>("Label3")->text(), QString("This style has 16 initial"));
    dlg->close();
  }
};

QTEST_MAIN(AddVolumeEventsTest)
#include "add_volume_events_test.moc"
