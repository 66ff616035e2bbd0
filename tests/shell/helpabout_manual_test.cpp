// The manual lookup and "Info/&Help": which file the desktop is asked to open,
// and the one message.
#include <QCoreApplication>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "fakes/fake_desktop_shell.h"
#include "fakes/fake_message_boxes.h"
#include "shell/helpabout/manual.h"
#include "temp_dir.h"

using vambrio::test::FakeDesktopShell;
using vambrio::test::FakeMessageBoxes;
using vambrio::test::TempDir;
namespace fs = std::filesystem;

namespace {

std::string Touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "%PDF-1.4\n";
  return file.string();
}

std::string ProgramDir() { return QCoreApplication::applicationDirPath().toStdString(); }

}  // namespace

class ManualTest : public QObject {
  Q_OBJECT

 private slots:
  void candidatesBesideTheProgramThenInstalled() {
    const std::vector<std::string> expected = {
        "/opt/vambrio/bin/Vambrio.pdf",
        "/opt/vambrio/share/doc/vambrio/Vambrio.pdf",
        "/opt/vambrio/share/vambrio/Vambrio.pdf",
    };
    QCOMPARE(vambrio::shell::ManualCandidates("/opt/vambrio/bin"), expected);
  }

  void buildTreeManualBesideTheProgram() {
    TempDir tmp;
    const fs::path bin = tmp.path() / "bin";
    const std::string beside = Touch(bin / "Vambrio.pdf");
    Touch(tmp.path() / "share/doc/vambrio/Vambrio.pdf");
    QCOMPARE(vambrio::shell::ManualPath(bin.string()), beside);
  }

  void installedManualInTheDataFolders() {
    TempDir tmp;
    const fs::path bin = tmp.path() / "bin";
    fs::create_directories(bin);
    const std::string data = Touch(tmp.path() / "share/vambrio/Vambrio.pdf");
    QCOMPARE(vambrio::shell::ManualPath(bin.string()), data);
    const std::string doc = Touch(tmp.path() / "share/doc/vambrio/Vambrio.pdf");
    QCOMPARE(vambrio::shell::ManualPath(bin.string()), doc);
  }

  void noManualFallsBackBesideTheProgram() {
    TempDir tmp;
    const fs::path bin = tmp.path() / "bin";
    fs::create_directories(bin / "Vambrio.pdf");  // a folder of that name is no manual
    QCOMPARE(vambrio::shell::ManualPath(bin.string()), (bin / "Vambrio.pdf").string());
  }

  void helpAsksTheDesktopEvenWithoutAManual() {
    FakeDesktopShell shell;
    FakeMessageBoxes boxes;
    vambrio::shell::ShowManual(shell, boxes);
    QCOMPARE(shell.opened, std::vector<std::string>{ProgramDir() + "/Vambrio.pdf"});
    QVERIFY(boxes.shown.empty());
  }

  void withoutAViewerItSaysWhereTheManualIsAndOpensItsFolder() {
    FakeDesktopShell shell;
    shell.openSucceeds = false;
    FakeMessageBoxes boxes;
    boxes.answers = {true};
    vambrio::shell::ShowManual(shell, boxes);
    QCOMPARE(boxes.asked.size(), size_t{1});
    QVERIFY(QString::fromStdString(boxes.asked[0]).contains(QString::fromStdString(ProgramDir())));
    QCOMPARE(shell.opened, (std::vector<std::string>{ProgramDir() + "/Vambrio.pdf", ProgramDir()}));
  }

  void anErrorOnTheWayShowsTheMessage() {
    FakeDesktopShell shell;
    shell.throwOnOpen = true;
    FakeMessageBoxes boxes;
    vambrio::shell::ShowManual(shell, boxes);
    QCOMPARE(boxes.shown, std::vector<std::string>{"Cannot find the Manual File "});
  }
};

int RunManualTests(int argc, char** argv) {
  ManualTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "helpabout_manual_test.moc"
