// Runs every test class of the main window under one QApplication.
#include <QApplication>
#include <QTest>

#include "test_classes.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failed = 0;
  {
    vambrio::test::StartupTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  {
    vambrio::test::OpenTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  {
    vambrio::test::PlaybackTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  {
    vambrio::test::CloseTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  {
    vambrio::test::SoundSettingsTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  {
    vambrio::test::EditingTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  {
    vambrio::test::LookTest t;
    failed += QTest::qExec(&t, argc, argv);
  }
  return failed == 0 ? 0 : 1;
}
