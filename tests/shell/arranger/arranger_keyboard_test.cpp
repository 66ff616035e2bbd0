// The Arranger window with the player's keyboard: fake MIDI input, the real
// service and live arranger, and a sound source that the test runs block by
// block. Learned controls fire, the split follows the spin box and a key,
// the right hand gets its voice, and everything is kept in "Sound.ini".
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <fstream>

#include "fakes/fake_chart_dialogs.h"
#include "fakes/fake_live_output.h"
#include "fakes/fake_midi.h"
#include "keyboard/player_keyboard.h"
#include "model/whole_file.h"
#include "registration/registration_bank.h"
#include "style_builder.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "shell/arranger/fluid_arranger_service.h"
#include "shell/arranger/frm_arranger.h"
#include "temp_dir.h"

namespace vambrio::test {

using Bytes = std::vector<uint8_t>;

class ArrangerKeyboardTest : public QObject {
  Q_OBJECT

  struct Rig {
    explicit Rig(const std::string& settings, const std::string& style = VAMBRIO_SOURCE_DIR "/examples/Demo.sty")
        : service([this]() -> platform::FluidEngine& { return engine; }, [] { return PlayChoices{}; }),
          window(service, dialogs, chord, settings) {
      service.SetLiveOutput([this]() -> platform::LiveOutput& { return output; });
      service.SetKeyboard(&keyboard, [] { return false; });
      keyboard.SetInputName("USB Keyboard");
      window.SetKeyboard(&keyboard);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QVERIFY(window.OpenStyle(style));
      window.Refresh();
    }
    template <typename T>
    T* Find(const char* name) const {
      return window.findChild<T*>(name);
    }
    // The keyboard sends; the sound source plays a block; the window looks.
    void Play(std::initializer_list<uint8_t> bytes) {
      keys.Receive(bytes);
      output.Run(1);
      window.Refresh();
    }

    platform::FluidEngine engine{platform::SoundOptions{}};  // never loaded: nothing is exported
    FakeMidiIn keys;
    keyboard::PlayerKeyboard keyboard{{&keys}};
    FakeLiveOutput output;
    FluidArrangerService service;
    FakeChartDialogs dialogs;
    live::ChosenChord chord;
    frmArranger window;
  };

 private slots:
  void aLearnedPadPressesItsControlAndIsKept() {
    TempDir dir;
    const std::string settings = dir.File("Sound.ini");
    {
      Rig rig(settings);
      QVERIFY2(rig.output.client, "the keyboard is heard while the window is open");
      QTest::mouseClick(rig.Find<QPushButton>("cmdLearn"), Qt::LeftButton);
      QTest::mouseClick(rig.Find<QPushButton>("cmdMainB"), Qt::LeftButton);  // armed, not pressed
      QCOMPARE(rig.service.State().selectedMain, 0);
      rig.Play({0xB0, 80, 127});
      QCOMPARE(rig.window.statusBar()->currentMessage(), QString("Main B: controller 80, channel 1"));
      auto* autoFill = rig.Find<QCheckBox>("chkAutoFill");
      QTest::mouseClick(autoFill, Qt::LeftButton);  // armed; the box stays on
      QVERIFY(autoFill->isChecked());
      rig.Play({0xB0, 81, 127});
      QTest::mouseClick(rig.Find<QPushButton>("cmdLearn"), Qt::LeftButton);

      QTest::mouseClick(rig.Find<QPushButton>("cmdStartStop"), Qt::LeftButton);
      rig.output.Run(4);
      QVERIFY(rig.service.State().playing);
      rig.Play({0xB0, 80, 127});  // the pad
      rig.output.Run(1);
      QCOMPARE(rig.service.State().selectedMain, 1);
      rig.Play({0xB0, 81, 127});  // Auto Fill off from the keyboard: the box follows
      rig.output.Run(1);
      rig.window.Refresh();
      QVERIFY(!rig.service.State().autoFill);
      QVERIFY(!autoFill->isChecked());
    }
    QSettings saved(QString::fromStdString(settings), QSettings::IniFormat);
    QCOMPARE(saved.value("MidiLearn/MainB").toString(), QString("B0 50"));
    QCOMPARE(saved.value("MidiLearn/AutoFill").toString(), QString("B0 51"));

    Rig again(settings);  // the next run knows the pad
    QCOMPARE(again.keyboard.Router().Learned(keyboard::Control::MainB), (keyboard::LearnedKey{0xB0, 80}));
  }

  void theSplitFollowsTheSpinBoxAndAKey() {
    TempDir dir;
    Rig rig(dir.File("Sound.ini"));
    auto* split = rig.Find<QSpinBox>("spnSplit");
    QCOMPARE(split->value(), 54);
    QCOMPARE(rig.Find<QLabel>("lblSplitNote")->text(), QString("F#3"));
    split->setValue(60);
    QCOMPARE(rig.keyboard.Router().SplitNote(), 60);
    QCOMPARE(rig.Find<QLabel>("lblSplitNote")->text(), QString("C4"));

    QTest::mouseClick(rig.Find<QPushButton>("cmdSetSplit"), Qt::LeftButton);
    rig.Play({0x90, 47, 100});  // B2 becomes the split point and plays nothing
    QCOMPARE(split->value(), 47);
    QVERIFY(!rig.Find<QPushButton>("cmdSetSplit")->isChecked());
    QVERIFY(!rig.output.Heard({0x90, 47, 100}));

    rig.Play({0x90, 36, 90});  // C2 E2 G2 at or below the split: a chord
    rig.Play({0x90, 40, 90});
    rig.Play({0x90, 43, 90});
    QVERIFY2(rig.Find<QLabel>("lblKeyboard")->text().endsWith("Left hand: C"),
             qPrintable(rig.Find<QLabel>("lblKeyboard")->text()));
    rig.Find<QCheckBox>("chkSplit")->setChecked(false);  // the whole keyboard plays the right hand
    rig.Play({0x90, 36, 91});
    QVERIFY(rig.output.Heard({0x90, 36, 91}));
    QSettings saved(QString::fromStdString(dir.File("Sound.ini")), QSettings::IniFormat);
    QCOMPARE(saved.value("Keyboard/SplitNote").toInt(), 47);
    QCOMPARE(saved.value("Keyboard/Split").toBool(), false);
  }

  // Without a MIDI input, Sync Start stays armed and the pad's first chord starts.
  void syncStartWithoutAnInputWaitsForThePadsChord() {
    TempDir dir;
    Rig rig(dir.File("Sound.ini"));
    rig.keyboard.SetListening(false);
    rig.Find<QCheckBox>("chkSyncStart")->click();
    for (int i = 0; i < 3; ++i) {
      rig.output.Run(1);
      rig.window.Refresh();
    }
    QVERIFY(rig.Find<QCheckBox>("chkSyncStart")->isChecked());
    QVERIFY(!rig.service.State().playing);
    rig.Find<QPushButton>("cmdRoot7")->click();  // G
    rig.output.Run(2);
    rig.window.Refresh();
    QVERIFY(rig.service.State().playing);
    QVERIFY(!rig.Find<QCheckBox>("chkSyncStart")->isChecked());
  }

  void theRightHandPlaysTheVoiceAndChannelChosen() {
    TempDir dir;
    Rig rig(dir.File("Sound.ini"));
    rig.Find<QComboBox>("cboRightVoice")->setCurrentIndex(40);  // Violin
    rig.Find<QSpinBox>("spnRightChannel")->setValue(4);
    rig.Play({0x90, 72, 88});
    QVERIFY(rig.output.Heard({0xC3, 40}));
    QVERIFY(rig.output.Heard({0x93, 72, 88}));
    QCOMPARE(rig.Find<QComboBox>("cboRightVoice")->currentText(), QString("41 Violin"));
  }

  // A registration brings back the voice, tempo, parts, Main and chord, by
  // Ctrl+1 and by a learned controller; Freeze keeps the voices; the bank
  // round trips through its file, and a damaged one is reported and kept.
  void registrationsMemorizeRecallFreezeAndLearn() {
    TempDir dir;
    Rig rig(dir.File("Sound.ini"));
    auto* voice = rig.Find<QComboBox>("cboRightVoice");
    auto* tempo = rig.Find<QSpinBox>("spnTempo");
    realtime::AudioLatency latency = realtime::AudioLatency::Low;  // the main window's choice
    rig.window.SetLatency([&] { return latency; }, [&](realtime::AudioLatency chosen) { latency = chosen; });
    voice->setCurrentIndex(40);
    tempo->setValue(90);
    rig.Find<QCheckBox>("chkPart3")->setChecked(false);
    rig.Find<QPushButton>("cmdMainB")->click();
    rig.Find<QPushButton>("cmdRoot7")->click();  // G
    rig.output.Run(1);
    rig.window.Refresh();
    QTest::keyClick(&rig.window, Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier);  // memorize 1
    rig.dialogs.answers = {dir.File("Gig.vreg")};
    rig.Find<QPushButton>("cmdSaveBank")->click();

    voice->setCurrentIndex(0);
    tempo->setValue(120);
    latency = realtime::AudioLatency::Safe;
    rig.Find<QCheckBox>("chkPart3")->setChecked(true);
    rig.Find<QPushButton>("cmdMainA")->click();
    rig.Find<QPushButton>("cmdRoot0")->click();
    rig.output.Run(1);
    QTest::keyClick(&rig.window, Qt::Key_1, Qt::ControlModifier);
    rig.Play({0x90, 72, 90});
    QCOMPARE(voice->currentIndex(), 40);
    QVERIFY(rig.output.Heard({0xC0, 40}));
    QCOMPARE(tempo->value(), 90);
    QVERIFY(!rig.Find<QCheckBox>("chkPart3")->isChecked());
    QCOMPARE(rig.service.State().selectedMain, 1);
    QCOMPARE(rig.window.ChordText(), QString("G"));
    QCOMPARE(latency, realtime::AudioLatency::Low);

    rig.Find<QCheckBox>("chkFreezeVoices")->setChecked(true);
    voice->setCurrentIndex(10);
    tempo->setValue(100);
    rig.Find<QPushButton>("cmdRegistration1")->click();
    QCOMPARE(voice->currentIndex(), 10);
    QCOMPARE(tempo->value(), 90);
    rig.Find<QCheckBox>("chkFreezeVoices")->setChecked(false);

    // Learned: controller 85 recalls registration 1.
    QTest::mouseClick(rig.Find<QPushButton>("cmdLearn"), Qt::LeftButton);
    QTest::mouseClick(rig.Find<QPushButton>("cmdRegistration1"), Qt::LeftButton);
    rig.Play({0xB0, 85, 127});
    QTest::mouseClick(rig.Find<QPushButton>("cmdLearn"), Qt::LeftButton);
    tempo->setValue(130);
    rig.Play({0xB0, 85, 127});
    QCOMPARE(tempo->value(), 90);
    QCOMPARE(voice->currentIndex(), 40);

    const std::string damaged = dir.File("Damaged.vreg");
    WriteFileWhole(damaged, std::string("{\"format\": \"vambrio-registrations\", \"registrations\": 7}"));
    rig.dialogs.answers = {damaged};
    rig.Find<QPushButton>("cmdOpenBank")->click();
    QVERIFY(!rig.dialogs.shown.empty());
    QVERIFY(rig.dialogs.shown.back().find("Damaged.vreg") != std::string::npos);
    QTest::keyClick(&rig.window, Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);  // into Gig.vreg, not the damaged file
    std::ifstream kept(damaged);
    QCOMPARE(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()),
             std::string("{\"format\": \"vambrio-registrations\", \"registrations\": 7}"));
    const auto gig = registration::ReadBank(dir.File("Gig.vreg"));
    QVERIFY(std::holds_alternative<registration::Bank>(gig));
    QVERIFY(std::get<registration::Bank>(gig).entries[1].has_value());
    QCOMPARE(std::get<registration::Bank>(gig).entries[0]->voices[0].program, 40);
  }

  // The demo style with two One Touch Settings: Right 1 a violin at 90 and a
  // trumpet at 70, Right 2 strings, Left a bass.
  static std::string StyleWithSettings(const TempDir& dir) {
    std::ifstream demo(VAMBRIO_SOURCE_DIR "/examples/Demo.sty", std::ios::binary);
    Bytes style((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
    std::vector<TrackBuilder> settings;
    for (auto [right, volume] : {std::pair{40, 90}, std::pair{56, 70}}) {
      TrackBuilder t;
      t.ControlChange(0, 0, 0).ControlChange(0, 32, 112).ProgramChange(0, right).ControlChange(0, 7, volume);
      t.ProgramChange(1, 48).ProgramChange(3, 33).ControlChange(3, 10, 30).EndOfTrack();
      settings.push_back(t);
    }
    const Bytes ots = OtscBytes(settings);
    style.insert(style.end(), ots.begin(), ots.end());
    const std::string path = dir.File("Stage.sty");
    WriteFileWhole(path, style);
    return path;
  }

  void oneTouchSettingsSetUpTheLayeredParts() {
    TempDir dir;
    Rig rig(dir.File("Sound.ini"), StyleWithSettings(dir));
    QTest::mouseClick(rig.Find<QPushButton>("cmdOts2"), Qt::LeftButton);
    rig.Play({0x90, 72, 88});
    QVERIFY(rig.output.Heard({0xC0, 56}));
    QVERIFY(rig.output.Heard({0xC1, 48}));
    QVERIFY(rig.output.Heard({0xB3, 10, 30}));
    QCOMPARE(rig.Find<QComboBox>("cboRightVoice")->currentText(), QString("57 Trumpet"));
    QCOMPARE(rig.Find<QSpinBox>("spnVolumeRight1")->value(), 70);
    QCOMPARE(rig.Find<QComboBox>("cboVoiceLeft")->currentText(), QString("34 Electric Bass (finger)"));
    QVERIFY(!rig.output.Heard({0x91, 72, 88}));  // Right 2 is off
    rig.Find<QCheckBox>("chkPartRight2")->setChecked(true);
    rig.Find<QCheckBox>("chkPartLeft")->setChecked(true);
    rig.Find<QSpinBox>("spnOctaveLeft")->setValue(-1);
    rig.Play({0x90, 76, 80});
    rig.Play({0x90, 48, 70});
    QVERIFY(rig.output.Heard({0x90, 76, 80}));
    QVERIFY(rig.output.Heard({0x91, 76, 80}));
    QVERIFY(rig.output.Heard({0x93, 36, 70}));
    QCOMPARE(rig.window.findChild<QLabel*>("lblKeyboard")->text().contains("Left hand: C"), true);
    QSettings kept(QString::fromStdString(dir.File("Sound.ini")), QSettings::IniFormat);
    QCOMPARE(kept.value("Parts/Right2/On").toBool(), true);
    QCOMPARE(kept.value("Parts/Left/Octave").toInt(), -1);
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::ArrangerKeyboardTest)
#include "arranger_keyboard_test.moc"
