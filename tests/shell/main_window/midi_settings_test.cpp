// "MIDI Input" and "Sound Source" of the Options menu on fake ports: the
// choices listed, handed on and kept in "Sound.ini", a port that is gone
// named in the status bar until it is back.
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTest>

#include "loading/entry.h"
#include "window_rig.h"

namespace vambrio::test {

class MidiSettingsTest : public QObject {
  Q_OBJECT

  static QStringList Items(QMenu* menu) {
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* a : menu->actions()) texts << (a->isChecked() ? "*" : "") + a->text();
    return texts;
  }
  static void Choose(QMenu* menu, const QString& text) {
    emit menu->aboutToShow();
    for (QAction* a : menu->actions())
      if (a->text() == text) return a->trigger();
    QFAIL(qPrintable("no item " + text));
  }

 private slots:
  void portsAreListedChosenAndKept() {
    WindowRig rig;
    rig.midi.inputs = {"USB Keyboard"};
    rig.midi.outputs = {"MU Synth", "Qsynth"};
    rig.Start();
    auto* input = rig.Find<QMenu>("mnuMidiInput");
    auto* source = rig.Find<QMenu>("mnuSoundSource");
    QCOMPARE(Items(input), (QStringList{"*None", "Vambrio In", "", "USB Keyboard"}));
    QCOMPARE(Items(source), (QStringList{"*Built-in synthesizer (FluidSynth)", "Vambrio Out", "", "MU Synth", "Qsynth"}));
    Choose(input, "USB Keyboard");
    Choose(source, "MU Synth");
    QCOMPARE(rig.midi.input, std::string("USB Keyboard"));
    QCOMPARE(rig.midi.source, std::string("MU Synth"));
    QCOMPARE(Items(source).at(3), QString("*MU Synth"));
    rig.Exit();
    QSettings saved(QString::fromStdString(rig.ConfigDir() + "/Sound.ini"), QSettings::IniFormat);
    QCOMPARE(saved.value("MidiInput").toString(), QString("USB Keyboard"));
    QCOMPARE(saved.value("SoundSource").toString(), QString("MU Synth"));

    // The next run chooses them again, also when the keyboard is unplugged now.
    rig.midi = FakeMidiRouting{};
    rig.midi.inputConnected = false;
    rig.Start();
    QCOMPARE(rig.midi.inputChoices, std::vector<std::string>{"USB Keyboard"});
    QCOMPARE(rig.midi.sourceChoices, std::vector<std::string>{"MU Synth"});
    QCOMPARE(Items(rig.Find<QMenu>("mnuMidiInput")).back(), QString("*USB Keyboard (not connected)"));
    QVERIFY(rig.Text("lblMidiPorts").contains("MIDI input \"USB Keyboard\" is not connected"));
  }

  void aLostPortIsNamedUntilItIsBack() {
    WindowRig rig;
    rig.midi.outputs = {"MU Synth"};
    rig.Start();
    Choose(rig.Find<QMenu>("mnuSoundSource"), "MU Synth");
    QCOMPARE(rig.Text("lblMidiPorts"), QString());
    rig.midi.sourceConnected = false;
    rig.midi.news.push_back({"MU Synth", false, true});
    rig.window->ShowMidiNews();
    QVERIFY(rig.window->statusBar()->isVisible());
    QCOMPARE(rig.Text("lblMidiPorts"),
             QString("Sound source \"MU Synth\" is not connected - Vambrio connects it as soon as it is there again."));
    rig.midi.sourceConnected = true;
    rig.midi.news.push_back({"MU Synth", false, false});
    rig.window->ShowMidiNews();
    QCOMPARE(rig.Text("lblMidiPorts"), QString());
    QCOMPARE(rig.window->statusBar()->currentMessage(), QString("Sound source \"MU Synth\" is back."));
  }

  // Without a SoundFont a synthesizer on a port still sounds: the status
  // line stops asking for one. What plays stops before the source changes.
  void anotherSoundSourceAnswersTheMissingSoundFontAndStopsWhatPlays() {
    WindowRig rig;
    rig.midi.outputs = {"MU Synth"};
    rig.sound.foundSoundFont.clear();
    rig.Start(rig.Style("Port.sty"));
    auto* source = rig.Find<QMenu>("mnuSoundSource");
    const QString missing = QString::fromStdString(rig.sound.MissingSoundFontText());
    QCOMPARE(rig.Text("lblStatus"), missing);
    Choose(source, "MU Synth");
    QCOMPARE(rig.Text("lblStatus"), QString(kReadyText));
    Choose(source, "Built-in synthesizer (FluidSynth)");
    QCOMPARE(rig.Text("lblStatus"), missing);

    rig.dialogs.soundFontAnswers.push_back(rig.work.File("Chosen.sf2"));
    rig.Action("mnuSoundFont")->trigger();
    rig.Sections()->setCurrentIndex(1);
    rig.Button("cmdPlay")->click();
    QVERIFY(rig.Button("cmdStop")->isEnabled());
    Choose(source, "MU Synth");
    QVERIFY(!rig.Button("cmdStop")->isEnabled() && rig.Button("cmdPlay")->isEnabled());
    rig.timer.RunPending();
    QCOMPARE(rig.sequencer.Commands(), (std::vector<std::string>{"close", "open", "play", "stop", "prev", "close"}));
  }

  // Play plays to a synthesizer on a port when no SoundFont is found.
  void aPortPlaysWithoutASoundFont() {
    WindowRig rig;
    rig.midi.outputs = {"MU Synth"};
    rig.sound.foundSoundFont.clear();
    rig.Start(rig.Style("Port.sty"));
    Choose(rig.Find<QMenu>("mnuSoundSource"), "MU Synth");
    rig.Sections()->setCurrentIndex(1);
    rig.Button("cmdPlay")->click();
    QVERIFY(rig.boxes.shown.empty());
    QVERIFY(rig.Button("cmdStop")->isEnabled());
  }

  void aPortThatCannotBeOpenedIsSaidAndTheSynthesizerPlays() {
    WindowRig rig;
    rig.midi.outputs = {"MU Synth"};
    rig.midi.problem = "No JACK server is running.";
    rig.midi.refuse = true;
    rig.Start();
    QVERIFY(Items(rig.Find<QMenu>("mnuSoundSource")).contains("No JACK server is running."));
    Choose(rig.Find<QMenu>("mnuSoundSource"), "MU Synth");
    QCOMPARE(rig.boxes.shown.size(), size_t{1});
    QVERIFY(QString::fromStdString(rig.boxes.shown[0]).startsWith("The MIDI port \"MU Synth\" could not be opened"));
    QCOMPARE(Items(rig.Find<QMenu>("mnuSoundSource")).front(), QString("*Built-in synthesizer (FluidSynth)"));
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::MidiSettingsTest)
#include "midi_settings_test.moc"
