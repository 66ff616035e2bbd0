// The desktop shell on Qt: finding the system-information program on PATH and
// starting it, as the About window's button does.
#include <QFile>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "platform/desktop/qt_desktop_shell.h"
#include "temp_dir.h"

using vambrio::platform::QtDesktopShell;
using vambrio::test::TempDir;
namespace fs = std::filesystem;

namespace {

void WriteScript(const fs::path& path, const std::string& body, bool executable) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
}

// PATH for the length of one test.
class ScopedPath {
 public:
  explicit ScopedPath(const QByteArray& path) : saved_(qgetenv("PATH")) { qputenv("PATH", path); }
  ~ScopedPath() { qputenv("PATH", saved_); }

 private:
  QByteArray saved_;
};

}  // namespace

class DesktopShellTest : public QObject {
  Q_OBJECT

 private slots:
  void findsTheFirstExecutableProgramOnPath() {
    TempDir first, second;
    WriteScript(first.path() / "kinfocenter", "exit 0", false);  // not executable: not a program
    WriteScript(second.path() / "kinfocenter", "exit 0", true);
    WriteScript(second.path() / "hardinfo", "exit 0", true);
    ScopedPath path(QByteArray::fromStdString(first.path().string() + ":" + second.path().string()));
    QtDesktopShell shell;
    QCOMPARE(shell.FindProgram({"no-such-tool", "kinfocenter", "hardinfo"}), (second.path() / "kinfocenter").string());
    QCOMPARE(shell.FindProgram({"no-such-tool"}), std::string());
    QCOMPARE(shell.FindProgram({}), std::string());
  }

  void startsAProgramOfItsOwn() {
    TempDir dir;
    const fs::path marker = dir.path() / "started";
    const fs::path program = dir.path() / "sysinfo";
    WriteScript(program, "touch '" + marker.string() + "'", true);
    QtDesktopShell shell;
    QVERIFY(shell.StartProgram(program.string()));
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(marker), 10000);
  }

  void aProgramThatCannotStartIsRefused() {
    TempDir dir;
    const fs::path notExecutable = dir.path() / "sysinfo";
    WriteScript(notExecutable, "exit 0", false);
    QtDesktopShell shell;
    QVERIFY(!shell.StartProgram((dir.path() / "missing").string()));
    QVERIFY(!shell.StartProgram(notExecutable.string()));
    QVERIFY(!shell.StartProgram(""));
  }
};

int RunDesktopShellTests(int argc, char** argv) {
  DesktopShellTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "helpabout_shell_test.moc"
