// The Arranger window offscreen, on a fake arranger service.
#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "fake_arranger_service.h"
#include "fakes/fake_chart_dialogs.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/arranger/kept_chord.h"
#include "temp_dir.h"

namespace vambrio::test {

using Kind = live::LiveCommand::Kind;

class ArrangerWindowTest : public QObject {
  Q_OBJECT

  struct Rig {
    Rig() : window(service, dialogs, chord, work.File("Sound.ini")) {
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      window.OpenStyle("/styles/Demo.sty");
    }
    template <typename T>
    T* Find(const char* name) const {
      return window.findChild<T*>(name);
    }
    void Key(QKeySequence key) { QTest::keySequence(&window, key); }
    TempDir work;
    FakeArrangerService service;
    FakeChartDialogs dialogs;
    live::ChosenChord chord;
    frmArranger window;
  };

 private slots:
  void theStylesSectionsHaveButtons() {
    Rig rig;
    QCOMPARE(rig.Find<QLabel>("lblStyleName")->text(), QString("Demo"));
    QCOMPARE(rig.Find<QSpinBox>("spnTempo")->value(), 96);
    QVERIFY(rig.Find<QPushButton>("cmdIntroA")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdIntroB")->isEnabled());
    QVERIFY(rig.Find<QPushButton>("cmdMainB")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdMainC")->isEnabled());
    QVERIFY(rig.Find<QPushButton>("cmdBreak")->isEnabled());
    QVERIFY(!rig.Find<QPushButton>("cmdEndingB")->isEnabled());

    rig.service.openProblem = "The file could not be read.";
    QVERIFY(!rig.window.OpenStyle("/styles/Broken.sty"));
    QCOMPARE(rig.dialogs.shown.back(), std::string("The file could not be read."));
    QCOMPARE(rig.Find<QLabel>("lblStyleName")->text(), QString("Demo"));  // the old style stays
  }

  // What befell the output is said once on the status line: the underruns
  // hide neither another message nor the output that stopped.
  void theStatusLineSaysWhatBefellTheOutputOnce() {
    Rig rig;
    QStatusBar* line = rig.window.statusBar();
    rig.service.underruns = 3;
    rig.window.Refresh();
    QCOMPARE(line->currentMessage(), QString("Audio buffer underruns: 3"));
    line->showMessage("Split point: C3 (48)");
    rig.window.Refresh();
    QCOMPARE(line->currentMessage(), QString("Split point: C3 (48)"));
    const QString stopped = "The audio output stopped during playback (the sound server went away); playback has ended.";
    rig.service.problem = stopped.toStdString();
    rig.service.underruns = 5;
    rig.window.Refresh();
    rig.window.Refresh();
    QCOMPARE(line->currentMessage(), stopped);
    rig.service.problem.clear();  // the output plays again
    rig.window.Refresh();
    QCOMPARE(line->currentMessage(), QString());
  }

  void buttonsAndKeysSendTheirCommands() {
    Rig rig;
    rig.service.sent.clear();
    QTest::mouseClick(rig.Find<QPushButton>("cmdStartStop"), Qt::LeftButton);
    QTest::mouseClick(rig.Find<QPushButton>("cmdMainB"), Qt::LeftButton);
    rig.Key(Qt::Key_F1);
    rig.Key(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    rig.Key(QKeySequence(Qt::CTRL | Qt::Key_F1));
    rig.Key(Qt::Key_F5);
    rig.Key(Qt::Key_Space);
    std::vector<std::pair<Kind, int>> got;
    for (const auto& c : rig.service.sent) got.emplace_back(c.kind, c.value);
    QCOMPARE(got, (std::vector<std::pair<Kind, int>>{{Kind::StartStop, 0}, {Kind::Main, 1}, {Kind::Main, 0},
                                                     {Kind::Intro, 0}, {Kind::Ending, 0}, {Kind::Break, 0},
                                                     {Kind::StartStop, 0}}));
  }

  void chordPadByMouseAndKeys() {
    Rig rig;
    rig.Key(Qt::Key_G);
    rig.Key(Qt::Key_3);
    QCOMPARE(rig.window.ChordText(), QString("G7"));
    QCOMPARE(rig.service.Sent(Kind::Chord).back().chord, (Chord{7, *ParseChordType("7"), -1}));
    rig.Key(QKeySequence(Qt::SHIFT | Qt::Key_F));  // F sharp, the type kept
    QCOMPARE(rig.window.ChordText(), QString("F#7"));
    QTest::mouseClick(rig.Find<QPushButton>("cmdRoot9"), Qt::LeftButton);
    QTest::mouseClick(rig.Find<QPushButton>("cmdTypeMin7"), Qt::LeftButton);
    QCOMPARE(rig.window.ChordText(), QString("Am7"));
    auto* bass = rig.Find<QComboBox>("cboBass");
    bass->setCurrentIndex(1 + 7);
    emit bass->activated(1 + 7);
    QCOMPARE(rig.window.ChordText(), QString("Am7/G"));
    rig.Key(Qt::Key_N);
    QCOMPARE(rig.window.ChordText(), QString("N.C."));
    QCOMPARE(rig.service.sent.back().kind, Kind::NoChord);

    // Typing a chart does not play chords.
    size_t before = rig.service.sent.size();
    auto* chart = rig.Find<QPlainTextEdit>("txtChart");
    chart->setFocus();
    QTest::keyClicks(chart, "C G7");
    QCOMPARE(chart->toPlainText(), QString("C G7"));
    QCOMPARE(rig.service.sent.size(), before);
  }

  void theChosenChordIsSharedKeptAndPlayedAtOnce() {
    TempDir work;
    const std::string settings = work.File("Kept.ini");
    {
      Rig rig;
      QCOMPARE(rig.window.ChordText(), QString("C"));
      QCOMPARE(rig.service.Sent(Kind::Chord).size(), size_t{1});  // a new style plays over the chosen chord
      frmArranger keeping(rig.service, rig.dialogs, rig.chord, settings);
      keeping.Root_Click(6);  // a sharp in the settings file
      keeping.Type_Click(*ParseChordType("m7"));
      QCOMPARE(rig.chord.Text(), std::string("F#m7"));  // what the library's preview plays over
    }
    live::ChosenChord kept;
    ReadKeptChord(settings, kept);
    QCOMPARE(kept.Text(), std::string("F#m7"));
    FakeArrangerService service;
    FakeChartDialogs dialogs;
    frmArranger next(service, dialogs, kept, settings);
    QCOMPARE(next.ChordText(), QString("F#m7"));
    next.OpenStyle("/styles/Demo.sty");
    QCOMPARE(ChordName(service.Sent(Kind::Chord).back().chord), std::string("F#m7"));
    next.NoChord_Click();
    live::ChosenChord none;
    ReadKeptChord(settings, none);
    QVERIFY(none.noChord);
  }

  void whilePlayingTheChordInForceIsShown() {
    Rig rig;
    rig.Key(Qt::Key_F);
    rig.service.state.playing = true;
    rig.service.state.hasChord = true;
    rig.service.state.chord = *ParseChord("Bbm7");  // a chart's chord
    rig.window.Refresh();
    QCOMPARE(rig.window.ChordText(), QString("Bbm7"));
    rig.service.state.hasChord = false;
    rig.window.Refresh();
    QCOMPARE(rig.window.ChordText(), QString("N.C."));
    rig.Key(Qt::Key_G);  // shown at once, not taken back before it is in force
    rig.window.Refresh();
    QCOMPARE(rig.window.ChordText(), QString("G"));
    rig.service.state.playing = false;
    rig.window.Refresh();
    QCOMPARE(rig.window.ChordText(), QString("G"));
    QCOMPARE(rig.chord.Text(), std::string("G"));
  }

  void thePlayingSectionIsLitAndTheQueuedOneBlinks() {
    Rig rig;
    rig.service.state.playing = true;
    rig.service.state.section = 1;  // Main A
    rig.service.state.queued = 2;   // Main B
    rig.service.state.bar = 2;
    rig.service.state.beat = 3;
    rig.window.Refresh();
    QCOMPARE(rig.Find<QPushButton>("cmdMainA")->property("look").toString(), QString("playing"));
    QCOMPARE(rig.Find<QPushButton>("cmdMainB")->property("look").toString(), QString("queued"));
    rig.service.state.songBar = 6;
    rig.window.Refresh();
    QCOMPARE(rig.Find<QLabel>("lblPosition")->text(), QString("3.4"));
    QCOMPARE(rig.Find<QLabel>("lblSongBar")->text(), QString("song bar 7"));
    QCOMPARE(rig.Find<QPushButton>("cmdStartStop")->text(), QString("Stop"));
    QSet<QString> looks;
    for (int i = 0; i < 14; ++i) {
      rig.window.Refresh();
      looks.insert(rig.Find<QPushButton>("cmdMainB")->styleSheet());
    }
    QCOMPARE(looks.size(), 2);  // the queued button blinks

    // Main B chosen: its fill plays and lights Auto Fill, Main B blinks until it begins.
    rig.service.state.selectedMain = 1;
    rig.service.state.queued = -1;
    rig.service.state.section = 4;  // Fill In BB
    rig.window.Refresh();
    QCOMPARE(rig.Find<QPushButton>("cmdMainB")->property("look").toString(), QString("queued"));
    QCOMPARE(rig.Find<QPushButton>("cmdMainA")->property("look").toString(), QString(""));
    QCOMPARE(rig.Find<QCheckBox>("chkAutoFill")->property("look").toString(), QString("playing"));
    rig.service.state.section = 2;  // Main B
    rig.window.Refresh();
    QCOMPARE(rig.Find<QPushButton>("cmdMainB")->property("look").toString(), QString("playing"));
    QCOMPARE(rig.Find<QCheckBox>("chkAutoFill")->property("look").toString(), QString(""));
    rig.service.state.playing = false;
    rig.window.Refresh();
    QCOMPARE(rig.Find<QPushButton>("cmdMainA")->property("look").toString(), QString(""));
    QVERIFY(!rig.Find<QPushButton>("cmdMainB")->styleSheet().isEmpty());  // steady: the next Start plays it
    QCOMPARE(rig.Find<QPushButton>("cmdStartStop")->text(), QString("Start"));
  }

  void theChartPaneOpensPlaysAndExportsWithProgress() {
    Rig rig;
    std::string chart = rig.work.File("song.txt");
    std::ofstream(chart) << "[Main A] C | G7 |\n[Ending A] C |\n";
    rig.dialogs.answers = {chart};
    QTest::mouseClick(rig.Find<QPushButton>("cmdOpenChart"), Qt::LeftButton);
    auto* text = rig.Find<QPlainTextEdit>("txtChart");
    QCOMPARE(text->toPlainText(), QString("[Main A] C | G7 |\n[Ending A] C |\n"));

    rig.service.chartBars = {{1, 10}, {1, 14}, {2, 11}};
    QTest::mouseClick(rig.Find<QPushButton>("cmdPlayChart"), Qt::LeftButton);
    QCOMPARE(rig.service.played, text->toPlainText().toStdString());
    rig.service.state.playing = true;
    rig.service.state.bar = 1;
    rig.window.Refresh();
    QCOMPARE(text->property("playingBar").toInt(), 1);
    QCOMPARE(text->extraSelections().size(), 1);
    QCOMPARE(text->extraSelections()[0].cursor.selectedText(), QString("G7 |"));
    // The progress follows the chart's bars; at its end the status says so.
    rig.service.state.songBar = 1;
    rig.window.Refresh();
    QCOMPARE(rig.Find<QProgressBar>("prgExport")->value(), 33);
    rig.service.state.bar = 2;
    rig.service.state.songBar = 2;
    rig.window.Refresh();
    rig.service.state.playing = false;
    rig.window.Refresh();
    QCOMPARE(rig.Find<QLabel>("lblChartStatus")->text(), QString("The chart has ended"));
    QCOMPARE(rig.Find<QProgressBar>("prgExport")->value(), 100);

    // An error is shown whole (tool tip and message line) and the cursor goes to its place.
    const QString problem = "line 2, column 3: unknown chord \"Hx\" (\"Hx\": a chord's root is a letter from A to G)";
    rig.service.chartProblem = problem.toStdString();
    const int width = rig.window.width();
    QTest::mouseClick(rig.Find<QPushButton>("cmdPlayChart"), Qt::LeftButton);
    QCOMPARE(rig.Find<QLabel>("lblChartStatus")->toolTip(), problem);
    QCOMPARE(rig.window.statusBar()->currentMessage(), problem);
    QCOMPARE(text->textCursor().blockNumber(), 1);
    QCOMPARE(text->textCursor().positionInBlock(), 2);
    QCOMPARE(rig.window.width(), width);
    QVERIFY(text->font().fixedPitch());
    rig.service.chartProblem.clear();

    // While the chart has the focus, Space types; Ctrl+Space and Alt+G reach the controls.
    text->setFocus();
    rig.service.sent.clear();
    QTest::keyClick(text, Qt::Key_Space);
    QTest::keyClick(text, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(rig.service.Sent(live::LiveCommand::Kind::StartStop).size() + rig.service.Sent(live::LiveCommand::Kind::Start).size() +
                 rig.service.Sent(live::LiveCommand::Kind::Stop).size(),
             size_t{1});
    QCOMPARE(rig.window.ChordText(), QString("G"));
    QVERIFY(rig.Find<QPushButton>("cmdStartStop")->toolTip().contains("Ctrl+Space"));

    std::string wav = rig.work.File("song.wav");
    rig.dialogs.answers = {wav};
    QTest::mouseClick(rig.Find<QPushButton>("cmdExportWav"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.exportStarts.back(), rig.work.File("song.wav"));
    QTRY_COMPARE(rig.Find<QProgressBar>("prgExport")->value(), 100);
    QTRY_VERIFY(rig.Find<QLabel>("lblChartStatus")->text().startsWith("Exported"));
    QCOMPARE(rig.service.exported, std::vector<std::string>{wav});
  }

  // A song from a set list: its transpose and count-in reach the service, the
  // chord is shown as the chart writes it (moved by the transpose), the
  // metronome's box and key send it, and the chart's end is told.
  void aSongPlaysWithTransposeCountInAndItsWrittenChords() {
    Rig rig;
    QSignalSpy ended(&rig.window, &frmArranger::chartEnded);
    QCOMPARE(rig.window.PlaySong("[Main A] C^7 | G7alt |\n", 2, 3), std::string());
    QCOMPARE(rig.service.playedCountIn, 2);
    QCOMPARE(rig.service.Sent(Kind::Transpose).back().value, 3);
    QCOMPARE(rig.Find<QSpinBox>("spnTranspose")->value(), 3);
    rig.service.writtenChords = {"C^7", "G7alt"};
    rig.service.state.playing = true;
    rig.service.state.songChord = 1;
    rig.service.state.transpose = 3;
    rig.service.state.hasChord = true;
    rig.service.state.chord = Chord{10, *ParseChordType("7(#9)"), -1};
    rig.window.Refresh();
    QCOMPARE(rig.window.ChordText(), QString("Bb7alt"));
    QVERIFY(rig.Find<QLabel>("lblChord")->toolTip().contains("Bb7(#9)"));
    rig.service.state.playing = false;
    rig.window.Refresh();
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.back().front().toBool(), true);
    QCOMPARE(rig.window.ChordText(), QString::fromStdString(rig.chord.Text()));  // stopped: the chosen chord again

    rig.Key(QKeySequence(Qt::Key_M));
    QVERIFY(rig.window.MetronomeOn());
    QCOMPARE(rig.service.Sent(Kind::Metronome).back().value, 1);
    rig.service.playProblem = "Open a style first.";
    QCOMPARE(rig.window.PlaySong("[Main A] C |", 0, 0), rig.service.playProblem);
  }

  void autoFillAndTheChartAreKeptInSoundIni() {
    std::string settings;
    {
      Rig rig;
      settings = rig.work.File("Sound.ini");
      rig.Key(Qt::Key_F7);
      std::string chart = rig.work.File("kept.txt");
      std::ofstream(chart) << "[Main A] C |\n";
      rig.window.OpenChart(chart);
      QCOMPARE(rig.service.Sent(Kind::AutoFill).back().value, 0);
      rig.window.close();
      QSettings saved(QString::fromStdString(settings), QSettings::IniFormat);
      QCOMPARE(saved.value("Arranger/AutoFill").toBool(), false);
      FakeArrangerService service;
      FakeChartDialogs dialogs;
      live::ChosenChord chord;
      frmArranger again(service, dialogs, chord, settings);
      again.OpenStyle("/styles/Demo.sty");
      // The last chart is open again.
      QCOMPARE(again.findChild<QPlainTextEdit*>("txtChart")->toPlainText(), QString("[Main A] C |\n"));
      QCOMPARE(service.Sent(Kind::AutoFill).back().value, 0);  // the kept choice reaches the new style
    }
  }

  // The program may end without this window closing: the chart opened is kept
  // at once, and the next window's chart dialog starts there.
  void theChartDialogStartsWhereTheLastChartWasOpened() {
    Rig rig;
    const std::string chart = rig.work.File("charts/song.txt");
    std::filesystem::create_directories(rig.work.File("charts"));
    std::ofstream(chart) << "[Main A] C |\n";
    rig.dialogs.answers.push_back(chart);
    QTest::mouseClick(rig.Find<QPushButton>("cmdOpenChart"), Qt::LeftButton);
    FakeArrangerService service;
    FakeChartDialogs dialogs;
    live::ChosenChord chord;
    frmArranger next(service, dialogs, chord, rig.work.File("Sound.ini"));
    QTest::mouseClick(next.findChild<QPushButton*>("cmdOpenChart"), Qt::LeftButton);
    QCOMPARE(dialogs.openStarts, std::vector<std::string>{chart});
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::ArrangerWindowTest)
#include "arranger_window_test.moc"
