// frmAbout: its texts, the System Info button, and that it is not modal.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include "fakes/fake_desktop_shell.h"
#include "fakes/fake_message_boxes.h"
#include "shell/helpabout/frm_about.h"

using vambrio::shell::frmAbout;
using vambrio::test::FakeDesktopShell;
using vambrio::test::FakeMessageBoxes;

namespace {

QString LabelText(QWidget& w, const char* name) {
  auto* label = w.findChild<QLabel*>(name);
  return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

QPushButton* Button(QWidget& w, const char* name) { return w.findChild<QPushButton*>(name); }

const std::vector<std::string> kUnavailable = {"System Information Is Unavailable At This Time"};

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTitleVersionAndAuthorship() {
    FakeDesktopShell shell;
    FakeMessageBoxes boxes;
    frmAbout about(shell, boxes);
    QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vambrio"));
    QCOMPARE(LabelText(about, "lblTitle"), QStringLiteral("Vambrio"));
    // The version comes from the build (project(VERSION ...)), as three numbers.
    QCOMPARE(LabelText(about, "lblVersion"), QStringLiteral("Version " VAMBRIO_VERSION));
    QVERIFY(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$")).match(LabelText(about, "lblVersion")).hasMatch());
    QCOMPARE(LabelText(about, "lblDescription"), QStringLiteral("Vambrio developers"));
    QCOMPARE(LabelText(about, "lblDisclaimer"), QString());
    QVERIFY(Button(about, "cmdOK") && Button(about, "cmdSysInfo"));
    QCOMPARE(Button(about, "cmdOK")->text(), QStringLiteral("OK"));
    QCOMPARE(Button(about, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    auto* icon = about.findChild<QLabel*>("picIcon");
    QVERIFY(icon);
    QVERIFY(!icon->pixmap().isNull());
    QVERIFY(icon->pixmap().width() >= 64);
    QVERIFY(boxes.shown.empty());
    QVERIFY(shell.searched.empty() && shell.started.empty());
  }

  void systemInfoWithoutAnyProgram() {
    FakeDesktopShell shell;
    FakeMessageBoxes boxes;
    frmAbout about(shell, boxes);
    QTest::mouseClick(Button(about, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(boxes.shown, kUnavailable);
    QCOMPARE(shell.searched.size(), size_t{1});
    QVERIFY(!shell.searched[0].empty());
    QVERIFY(shell.started.empty());
  }

  void systemInfoThatCannotStart() {
    FakeDesktopShell shell;
    shell.programs["kinfocenter"] = "/usr/bin/kinfocenter";
    shell.startSucceeds = false;
    FakeMessageBoxes boxes;
    frmAbout about(shell, boxes);
    QTest::mouseClick(Button(about, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(shell.started, std::vector<std::string>{"/usr/bin/kinfocenter"});
    QCOMPARE(boxes.shown, kUnavailable);
  }

  void systemInfoStartsTheProgramFound() {
    FakeDesktopShell shell;
    shell.programs["gnome-system-monitor"] = "/usr/bin/gnome-system-monitor";
    FakeMessageBoxes boxes;
    frmAbout about(shell, boxes);
    about.StartSysInfo();
    about.StartSysInfo();
    const std::vector<std::string> twice(2, "/usr/bin/gnome-system-monitor");
    QCOMPARE(shell.started, twice);
    QVERIFY(boxes.shown.empty());
  }

  void isNotModalAndShownOnce() {
    FakeDesktopShell shell;
    FakeMessageBoxes boxes;
    QWidget owner;
    auto* ownerButton = new QPushButton(QStringLiteral("Play"), &owner);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    QPointer<frmAbout> about = vambrio::shell::ShowAbout(&owner, shell, boxes);
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(!about->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // The main window stays usable while the About window is open.
    QSignalSpy clicks(ownerButton, &QPushButton::clicked);
    QTest::mouseClick(ownerButton, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);

    QCOMPARE(vambrio::shell::ShowAbout(&owner, shell, boxes), about.data());
    QCOMPARE(owner.findChildren<frmAbout*>().size(), 1);
  }

  void okUnloadsTheWindow() {
    FakeDesktopShell shell;
    FakeMessageBoxes boxes;
    QWidget owner;
    QPointer<frmAbout> about = vambrio::shell::ShowAbout(&owner, shell, boxes);
    QTest::mouseClick(Button(*about, "cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(about.isNull());
    // The next "&About" builds it anew.
    QPointer<frmAbout> again = vambrio::shell::ShowAbout(&owner, shell, boxes);
    QVERIFY(again && again->isVisible());
    // Escape closes it as well.
    QTest::keyClick(again, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(again.isNull());
  }

  void closesWithTheMainWindow() {
    FakeDesktopShell shell;
    FakeMessageBoxes boxes;
    auto owner = std::make_unique<QWidget>();
    QPointer<frmAbout> about = vambrio::shell::ShowAbout(owner.get(), shell, boxes);
    vambrio::shell::UnloadAbout(owner.get());
    QVERIFY(!about || !about->isVisible());
    // Opened again before the closed one is gone: a new, visible window.
    QPointer<frmAbout> second = vambrio::shell::ShowAbout(owner.get(), shell, boxes);
    QVERIFY(second && second != about && second->isVisible());
    owner.reset();
    QVERIFY(second.isNull());
    QVERIFY(about.isNull());
  }
};

int RunAboutWindowTests(int argc, char** argv) {
  AboutWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "helpabout_about_test.moc"
