// Runs the Help and About test classes in one offscreen application.
#include <QApplication>

int RunAboutWindowTests(int argc, char** argv);
int RunManualTests(int argc, char** argv);
int RunDesktopShellTests(int argc, char** argv);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failed = 0;
  failed += RunAboutWindowTests(argc, argv);
  failed += RunManualTests(argc, argv);
  failed += RunDesktopShellTests(argc, argv);
  return failed == 0 ? 0 : 1;
}
