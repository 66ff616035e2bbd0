// The voice choices of the Options menu: kept in "Sound.ini", shared with the
// other window's menu, and shown in the part switches' tool tips and, once
// per style, in the status line.
#include <QCheckBox>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

#include "bank_eight_live_style.h"
#include "shell/voices/voice_options.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {

void SoundSettingsTest::voiceChoicesAreKeptSharedAndShownOnThePartSwitches() {
  WindowRig rig;
  const std::string soundIni = rig.ConfigDir() + "/Sound.ini";
  VoiceOptions options(soundIni);
  QMenu arrangerMenu;  // the Arranger window's Options menu shares the choices
  options.AddTo(&arrangerMenu);
  rig.Start();
  rig.window->partVoices().SetOptions(&options);
  rig.window->Entry(rig.Style("bank8.sty", BankEightLiveStyle()));

  const QString bass = rig.Check("chkPart2")->toolTip();
  QVERIFY2(bass.contains("Channel 11 asks for finger bass (MSB 8, LSB 0, program 17); played by"), qPrintable(bass));
  QVERIFY2(bass.contains("(bank 0, program 33), MegaVoice table"), qPrintable(bass));
  QVERIFY(rig.Check("chkPart3")->toolTip().contains("clean guitar"));
  QVERIFY(rig.Check("chkPart0")->toolTip().isEmpty());  // Rhythm Sub plays nothing here
  QCOMPARE(rig.window->statusBar()->currentMessage(),
           QString("2 voices of this style are played by stand-ins on this SoundFont."));

  // "As written" in one window checks it in the other and reaches the tool tips.
  rig.Action("mnuVoicesAsWritten")->trigger();
  QVERIFY(arrangerMenu.findChild<QAction*>("mnuVoicesAsWritten")->isChecked());
  QVERIFY(!arrangerMenu.findChild<QAction*>("mnuVoicesMapped")->isChecked());
  QVERIFY(rig.Check("chkPart2")->toolTip().endsWith("played as written"));
  arrangerMenu.findChild<QAction*>("mnuNoiseLeaveOut")->trigger();
  arrangerMenu.findChild<QAction*>("mnuGeneralMidiPort")->trigger();
  QVERIFY(rig.Action("mnuGeneralMidiPort")->isChecked());

  // Kept for the next run; the defaults when nothing was kept.
  QSettings saved(QString::fromStdString(soundIni), QSettings::IniFormat);
  QCOMPARE(saved.value("Voices/Map").toString(), QString("AsWritten"));
  const VoiceOptions again(soundIni);
  QVERIFY(again.Choices().asWritten && again.Choices().generalMidiPort && !again.Choices().soundFontHasKeyboardBanks);
  QVERIFY(again.Choices().noise == voices::NoiseNotes::LeaveOut);
  QVERIFY(VoiceOptions(rig.work.File("none.ini")).Choices() == platform::VoiceChoices{});
}

}  // namespace vambrio::test
