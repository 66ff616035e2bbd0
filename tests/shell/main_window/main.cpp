// Runs every test class of the main window under one QApplication.
#include <QApplication>
#include <QTest>

#include "test_classes.h"

namespace {

template <typename TestClass>
int Run(int argc, char** argv) {
  TestClass t;
  return QTest::qExec(&t, argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  using namespace vambrio::test;
  int failed = 0;
  for (auto run : {&Run<StartupTest>, &Run<OpenTest>, &Run<PlaybackTest>, &Run<SeamlessTest>, &Run<CloseTest>,
                   &Run<SoundSettingsTest>, &Run<EditingTest>, &Run<LookTest>})
    failed += run(argc, argv);
  return failed == 0 ? 0 : 1;
}
