// The Songs window offscreen, on a fake stage and fake dialogs: a pasted
// iReal Pro link heard at once, Next and Previous (buttons, keys, a learned
// MIDI control), "Go on to the next song", the song's settings, and the set
// list's file (saved, remembered, a damaged one reported and kept).
// Before Qt: a chart has a member named "slots".
#include "registration/registration.h"
#include "fake_song_stage.h"
#include "shell/songs/frm_songs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "fakes/fake_input_box.h"
#include "fakes/fake_message_boxes.h"
#include "fakes/fake_song_dialogs.h"
#include "keyboard/player_keyboard.h"
#include "lead_sheets.h"
#include "temp_dir.h"

namespace vambrio::test {

class SongsWindowTest : public QObject {
  Q_OBJECT

  struct Rig {
    Rig() : keyboard(std::vector<platform::MidiInPort*>{}), window(Services()) {
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    SongsWindowServices Services() { return {stage, dialogs, boxes, input, work.File("Sound.ini"), &keyboard}; }
    template <typename T>
    T* Find(const char* name) const {
      return window.findChild<T*>(name);
    }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    bool Enabled(const char* button) const { return Find<QPushButton>(button)->isEnabled(); }
    // Three songs from one playlist link, pasted.
    void PasteThree() {
      input.answers = {IrealLink({{"One", "Doe John", "Bossa Nova", "C", "*A[T44C^7 |A-7 |D-7 |G7 Z", 0, 1},
                                  {"Two", "Doe John", "Ballad", "F", "[T34F |Bb |C7 |F Z", 80, 1},
                                  {"Three", "Doe John", "Rock", "G", "[T44G |C |D |G Z", 0, 1}})};
      window.PasteLink();
    }
    TempDir work;
    FakeSongStage stage;
    FakeSongDialogs dialogs;
    FakeMessageBoxes boxes;
    FakeInputBox input;
    keyboard::PlayerKeyboard keyboard;
    frmSongs window;
  };

 private slots:
  void aPastedLinkPlaysAtOnceAndNextGoesOn() {
    Rig rig;
    QVERIFY(!rig.Enabled("cmdPlay"));
    QVERIFY(!rig.Enabled("cmdNext"));
    rig.PasteThree();
    QCOMPARE(rig.Find<QListWidget>("lstSongs")->count(), 3);
    QCOMPARE(rig.window.SelectedRow(), 0);
    QVERIFY(rig.window.statusBar()->currentMessage().contains("Imported 3 songs"));
    QVERIFY(rig.window.Modified());

    QTest::keyClick(rig.Find<QListWidget>("lstSongs"), Qt::Key_Return);
    QCOMPARE(rig.stage.styles, std::vector<std::string>{"/styles/Demo.sty"});  // no style of its own: the Arranger's
    QCOMPARE(rig.stage.played.size(), size_t{1});
    QVERIFY(rig.stage.played[0].song.chartText.find("Am7") != std::string::npos ||
            rig.stage.played[0].song.chartText.find("A-7") != std::string::npos);
    QCOMPARE(rig.window.PlayingRow(), 0);
    QVERIFY(rig.Enabled("cmdStop"));
    QVERIFY(!rig.Enabled("cmdPrevious"));

    // While playing, Page Down plays the next song at once; Previous the one before.
    QTest::keyClick(&rig.window, Qt::Key_PageDown);
    QCOMPARE(rig.stage.played.size(), size_t{2});
    QCOMPARE(rig.window.PlayingRow(), 1);
    rig.Click("cmdPrevious");
    QCOMPARE(rig.window.PlayingRow(), 0);
    // Stopped, Next only moves the selection.
    rig.Click("cmdStop");
    QVERIFY(!rig.stage.playing);
    rig.Click("cmdNext");
    QCOMPARE(rig.window.SelectedRow(), 1);
    QCOMPARE(rig.stage.played.size(), size_t{3});

    // Go on to the next song: an ending song starts the next; a stopped one does not.
    rig.Find<QCheckBox>("chkGoOn")->setChecked(true);
    rig.window.Play();
    rig.stage.Ends(true);
    QCOMPARE(rig.window.PlayingRow(), 2);
    QCOMPARE(rig.stage.played.size(), size_t{5});
    rig.stage.Ends(true);  // the last song
    QCOMPARE(rig.window.PlayingRow(), -1);
    rig.window.Select(0);
    rig.window.Play();
    rig.stage.Ends(false);
    QCOMPARE(rig.stage.played.size(), size_t{6});

    // A learned MIDI control presses Next.
    rig.keyboard.Router().SetLearned(keyboard::Control::NextSong, {0xB0, 80});
    struct Quiet final : keyboard::KeyboardTarget {
      void ChordChanged(const std::optional<Chord>&) override {}
      void PlayThrough(uint8_t, uint8_t, uint8_t) override {}
      void ControlPressed(keyboard::Control, int) override {}
      void SplitChosen(int) override {}
      void Learned(keyboard::Control, keyboard::LearnedKey) override {}
    } quiet;
    rig.window.Select(0);
    rig.keyboard.Router().Handle(platform::MidiMessage{0, 3, {0xB0, 80, 127}}, quiet);
    QTRY_COMPARE(rig.window.SelectedRow(), 1);
  }

  void theSongsSettingsReachTheArranger() {
    Rig rig;
    rig.PasteThree();
    rig.window.Select(1);
    rig.Find<QSpinBox>("spnTranspose")->setValue(-2);
    rig.Find<QSpinBox>("spnTempo")->setValue(150);
    rig.Find<QComboBox>("cboCountIn")->setCurrentIndex(2);
    rig.dialogs.answers = {"/styles/Waltz.sty"};
    rig.Click("cmdStyle");
    const songs::SetListSong& song = rig.window.SetList().songs[1];
    QCOMPARE(song.transpose, -2);
    QCOMPARE(song.tempo, 150.0);
    QCOMPARE(song.countIn, songs::CountIn::TwoBars);
    QCOMPARE(song.style, std::string("/styles/Waltz.sty"));
    QVERIFY(rig.Find<QListWidget>("lstSongs")->item(1)->text().contains("Waltz.sty, 150, -2"));
    rig.window.Play();
    QCOMPARE(rig.stage.styles.back(), std::string("/styles/Waltz.sty"));
    QCOMPARE(rig.stage.played.back().transpose, -2);
    QCOMPARE(rig.stage.played.back().song.countInBars, 2);
    QVERIFY(rig.stage.played.back().song.chartText.find("tempo 150") != std::string::npos);
    // With no style anywhere, the song's style is asked for when it is to play.
    rig.stage.current.clear();
    rig.window.Select(0);
    rig.dialogs.answers = {"/styles/Bossa.sty"};
    rig.window.Play();
    QCOMPARE(rig.window.SetList().songs[0].style, std::string("/styles/Bossa.sty"));
    QCOMPARE(rig.stage.styles.back(), std::string("/styles/Bossa.sty"));
    rig.stage.current = "/styles/Demo.sty";
    rig.stage.styleProblem = "The style /styles/Demo.sty cannot be played.";
    const size_t playedBefore = rig.stage.played.size();
    rig.window.Play();
    QCOMPARE(rig.stage.played.size(), playedBefore);
    QCOMPARE(rig.window.statusBar()->currentMessage(), QString::fromStdString(rig.stage.styleProblem));
    rig.stage.styleProblem.clear();

    // A written song, its chart typed; a chart that cannot be read is said, nothing plays.
    rig.window.NewSong();
    QCOMPARE(rig.window.SelectedRow(), 1);  // after the selected song
    rig.Find<QPlainTextEdit>("txtChart")->setPlainText("[Main A] Hx |");
    const size_t before = rig.stage.played.size();
    rig.window.Play();
    QCOMPARE(rig.stage.played.size(), before);
    QVERIFY(!rig.boxes.shown.empty());
    QVERIFY(rig.boxes.shown.back().find("cannot be played: line 1") != std::string::npos);
    rig.window.RemoveSong();
    QCOMPARE(rig.window.SetList().songs.size(), size_t{3});
    // A link that is none is said so; a bad song of a playlist is named, the others come in.
    rig.input.answers = {"https://example.org/tune"};
    rig.window.PasteLink();
    QVERIFY(rig.boxes.shown.back().find("not an iReal Pro link") != std::string::npos);
    rig.input.answers = {IrealLink({{"Good", "Doe John", "Rock", "C", "[T44C |G Z", 0, 1}, {"Bad", "Doe John", "Rock", "C", "", 0, 1}})};
    rig.window.PasteLink();
    QCOMPARE(rig.window.SetList().songs.size(), size_t{4});
    QVERIFY(rig.boxes.shown.back().find("Bad") != std::string::npos);

    // Dropped on the window: a link as text, a file by its URL.
    QMimeData link;
    link.setText(QString::fromStdString(IrealLink({{"Dropped", "Doe John", "Rock", "C", "[T44C |G Z", 0, 1}})));
    QVERIFY(rig.window.ImportDropped(link));
    QCOMPARE(rig.window.SetList().songs.size(), size_t{5});
    const std::string file = rig.work.File("sheet.cho");
    std::ofstream(file) << "{title: From File}\n[C]Row, row, [G]row your [C]boat\n";
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    QVERIFY(rig.window.ImportDropped(files));
    QCOMPARE(rig.window.SetList().songs.size(), size_t{6});
    QCOMPARE(rig.window.SetList().songs[static_cast<size_t>(rig.window.SelectedRow())].title, std::string("From File"));
    QCOMPARE(rig.window.SetList().songs[static_cast<size_t>(rig.window.SelectedRow())].source, file);
  }

  void theSetListIsSavedRememberedAndADamagedOneKept() {
    Rig rig;
    rig.PasteThree();
    const std::string path = rig.work.File("friday.vset");
    rig.dialogs.answers = {path};
    QVERIFY(rig.window.Save());
    QVERIFY(!rig.window.Modified());
    QCOMPARE(rig.window.RecentSetLists().front(), QString::fromStdString(path));
    QVERIFY(rig.window.windowTitle().contains("friday.vset"));

    const std::string damaged = rig.work.File("damaged.vset");
    std::ofstream(damaged) << "{\"format\": \"vambrio set list\", \"songs\": [";
    QVERIFY(!rig.window.OpenSetList(damaged));
    QVERIFY(rig.boxes.shown.back().find("cannot be opened") != std::string::npos);
    QCOMPARE(rig.window.Path(), path);  // the list open stays
    rig.dialogs.answers = {damaged};
    QVERIFY(!rig.window.SaveAs());
    QVERIFY(rig.boxes.shown.back().find("kept as it is") != std::string::npos);
    QCOMPARE(rig.window.Path(), path);

    // Opened again in a new window: the songs and their settings.
    rig.window.RemoveSong();
    rig.boxes.answers = {true};  // leave the change unsaved
    QVERIFY(rig.window.OpenSetList(path));
    QCOMPARE(rig.window.SetList().songs.size(), size_t{3});
    QCOMPARE(rig.window.SetList().songs[2].title, std::string("Three"));
  }
};

}  // namespace vambrio::test

QTEST_MAIN(vambrio::test::SongsWindowTest)
#include "songs_window_test.moc"
