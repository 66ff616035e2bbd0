// The SoundFont and the audio output, kept beside "Vambrio.ini".
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QSettings>

#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {

void SoundSettingsTest::chosenSoundFontIsKeptBesideTheSettingsFile() {
  WindowRig rig;
  rig.Start();
  std::string font = rig.work.File("My Font.sf3");
  rig.dialogs.soundFontAnswers.push_back(font);
  rig.Action("mnuSoundFont")->trigger();
  QCOMPARE(rig.dialogs.calls.back().kind, std::string("OpenSoundFont"));
  QCOMPARE(rig.sound.SoundFont(), font);
  rig.Action("mnuSoundFont")->trigger();  // cancelled: the choice stays
  QCOMPARE(rig.sound.SoundFont(), font);
  QCOMPARE(rig.dialogs.calls.back().startPath, font);
  rig.Exit();
  // "Vambrio.ini" keeps exactly its two lines.
  QCOMPARE(ReadWhole(rig.IniPath()), std::string("XG\r\nTrue\r\n\r\n"));

  // The next run hands the choice to the sound source before anything plays.
  rig.sound = FakeSoundSource{};
  rig.Start();
  QCOMPARE(rig.sound.soundFontChoices.front(), font);
  QCOMPARE(rig.sound.SoundFont(), font);
}

void SoundSettingsTest::audioOutputMenuListsTheDriversAndKeepsTheChoice() {
  WindowRig rig;
  rig.sound.drivers = {"pulseaudio", "alsa", "jack"};
  rig.Start();
  QMenu* menu = rig.Find<QMenu>("mnuAudioOutput");
  QVERIFY(menu);
  QCOMPARE(menu->menuAction()->text(), QString("Audio Output"));
  emit menu->aboutToShow();
  QList<QAction*> items = menu->actions();
  QCOMPARE(items.size(), 3);
  QCOMPARE(items[0]->text(), QString("pulseaudio"));
  QVERIFY(items[0]->isChecked());
  items[1]->trigger();
  QCOMPARE(rig.sound.AudioDriver(), std::string("alsa"));
  emit menu->aboutToShow();
  QVERIFY(menu->actions()[1]->isChecked());
  QVERIFY(!menu->actions()[0]->isChecked());
  rig.Exit();

  rig.sound = FakeSoundSource{};
  rig.Start();
  QCOMPARE(rig.sound.AudioDriver(), std::string("alsa"));
  QSettings saved(QString::fromStdString(rig.ConfigDir() + "/Sound.ini"), QSettings::IniFormat);
  QCOMPARE(saved.value("AudioOutput").toString(), QString("alsa"));
}

void SoundSettingsTest::audioLatencyIsChosenKeptAndHandedOn() {
  WindowRig rig;
  rig.Start();
  QMenu* menu = rig.Find<QMenu>("mnuAudioLatency");
  QVERIFY(menu);
  QStringList items;
  for (QAction* a : menu->actions()) items << a->text();
  QCOMPARE(items, (QStringList{"Low", "Normal", "Safe"}));
  QVERIFY(rig.Action("mnuLatencyNormal")->isChecked());  // the default
  rig.Action("mnuLatencySafe")->trigger();
  QCOMPARE(rig.sound.latency, realtime::AudioLatency::Safe);
  QVERIFY(!rig.Action("mnuLatencyNormal")->isChecked());
  rig.Exit();
  QSettings saved(QString::fromStdString(rig.ConfigDir() + "/Sound.ini"), QSettings::IniFormat);
  QCOMPARE(saved.value("AudioLatency").toString(), QString("Safe"));

  rig.sound = FakeSoundSource{};
  rig.Start();
  QCOMPARE(rig.sound.latency, realtime::AudioLatency::Safe);
  QVERIFY(rig.Action("mnuLatencySafe")->isChecked());
}

void SoundSettingsTest::underrunsAppearInTheStatusBar() {
  WindowRig rig;
  rig.Start();
  auto* label = rig.Find<QLabel>("lblUnderruns");
  QVERIFY(label);
  rig.window->soundSettings().ShowUnderruns();
  QVERIFY(rig.window->statusBar()->isHidden());
  rig.sound.underruns = 3;
  QTRY_VERIFY(!rig.window->statusBar()->isHidden());  // the window looks every second
  QVERIFY2(label->text().contains("underruns: 3"), qPrintable(label->text()));

  // More than five in ten seconds: one click offers the next safer latency; it never changes unasked.
  auto* offer = rig.Find<QPushButton>("cmdSaferLatency");
  QVERIFY(offer && offer->isHidden());
  rig.clock.now += 4;
  rig.sound.underruns = 9;
  rig.window->soundSettings().ShowUnderruns();
  QVERIFY(!offer->isHidden());
  QCOMPARE(offer->text(), QString("Use \"Safe\" latency"));
  QCOMPARE(rig.sound.Latency(), realtime::AudioLatency::Normal);
  offer->click();
  QCOMPARE(rig.sound.Latency(), realtime::AudioLatency::Safe);
  QVERIFY(offer->isHidden());
  rig.clock.now += 20;
  rig.sound.underruns = 30;  // "Safe" has nothing safer to offer
  rig.window->soundSettings().ShowUnderruns();
  QVERIFY(offer->isHidden());
}

}  // namespace vambrio::test
