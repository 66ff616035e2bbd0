// Playing the set list through the Arranger: the selected song, Next and
// Previous (also from a learned MIDI control), and the next song when one
// ends with "Go on to the next song".
// Before Qt: a chart has a member named "slots".
#include "shell/songs/frm_songs.h"
#include "songs/set_list_play.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

#include "keyboard/player_keyboard.h"
#include "shell/common/learned_keys.h"
#include "shell/common/shown_q.h"

namespace vambrio {
namespace {

constexpr keyboard::Control kLearnable[] = {keyboard::Control::NextSong, keyboard::Control::PreviousSong};

const char* Caption(keyboard::Control control) {
  return control == keyboard::Control::NextSong ? "Next" : "Previous";
}

}  // namespace

void frmSongs::Play() { PlayRow(SelectedRow()); }

// The song's style (its own, else its registration's, else the Arranger's),
// its registration recalled, its chart made ready for the style and played.
void frmSongs::PlayRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= list_.songs.size()) return;
  songs::SetListSong song = list_.songs[static_cast<size_t>(row)];
  const QString title = ShownQ(song.title);
  std::string why;
  const std::optional<registration::Registration> recalled = songs::SongRegistration(song, why);
  if (!why.empty()) statusBar()->showMessage(QString("\"%1\": %2").arg(title, ShownQ(why)));
  if (song.style.empty() && recalled) song.style = recalled->styleFile;
  if (song.style.empty()) song.style = services_.stage.CurrentStyle();
  if (song.style.empty()) {  // nothing open anywhere yet: the song's style is asked for
    statusBar()->showMessage(QString("Choose the style that plays \"%1\".").arg(title));
    song.style = services_.dialogs.ChooseStyle({});
    if (song.style.empty()) return;
    list_.songs[static_cast<size_t>(row)].style = song.style;
    modified_ = true;
    ShowTitle();
    if (row == SelectedRow()) ShowSong();
  }
  songs::StyleShape shape;
  if (std::string problem = services_.stage.UseStyle(song.style, shape); !problem.empty()) {
    statusBar()->showMessage(ShownQ(problem));  // the Arranger has said why in a message of its own
    return;
  }
  if (recalled) {
    if (song.tempo <= 0 && recalled->tempo > 0) song.tempo = recalled->tempo;
    if (std::string problem = services_.stage.Recall(*recalled); !problem.empty())
      statusBar()->showMessage(QString("\"%1\": %2").arg(title, ShownQ(problem)));
  }
  const songs::PreparedSong prepared = songs::PrepareSong(song, shape);
  if (!prepared.error.empty()) {
    services_.messageBoxes.Show("\"" + ShownText(song.title) + "\" cannot be played: " + ShownText(prepared.error));
    return;
  }
  if (std::string problem = services_.stage.Play(prepared, song.transpose); !problem.empty()) {
    services_.messageBoxes.Show(problem);
    return;
  }
  const int before = playing_;
  playing_ = row;
  if (before >= 0) ShowRow(before);
  ShowRow(row);
  Select(row);
  QString status = QString("Playing \"%1\"").arg(title);
  for (const std::string& note : prepared.notes) status += QString("; %1").arg(ShownQ(note));
  statusBar()->showMessage(status);
  UpdateControls();
}

void frmSongs::Stop() {
  services_.stage.Stop();
  const int was = playing_;
  playing_ = -1;
  ShowRow(was);
  UpdateControls();
}

// While a song plays, the next one plays at once; else it is selected.
void frmSongs::Next() {
  const int from = playing_ >= 0 ? playing_ : SelectedRow();
  if (from + 1 >= static_cast<int>(list_.songs.size())) return statusBar()->showMessage("This is the last song.");
  if (playing_ >= 0 && services_.stage.Playing()) return PlayRow(from + 1);
  Select(from + 1);
}

void frmSongs::Previous() {
  const int from = playing_ >= 0 ? playing_ : SelectedRow();
  if (from <= 0) return statusBar()->showMessage("This is the first song.");
  if (playing_ >= 0 && services_.stage.Playing()) return PlayRow(from - 1);
  Select(from - 1);
}

// The Arranger's song stopped: at its end, with "Go on", the next one plays.
void frmSongs::SongStopped(bool ended) {
  const int was = playing_;
  if (was < 0) return;
  playing_ = -1;
  ShowRow(was);
  UpdateControls();
  if (ended && chkGoOn_->isChecked() && was + 1 < static_cast<int>(list_.songs.size())) PlayRow(was + 1);
}

// The keyboard's learned Next and Previous, and a learning that has ended.
void frmSongs::Poll() {
  if (!services_.keyboard) return;
  keyboard::KeyboardRouter& router = services_.keyboard->Router();
  for (size_t i = 0; i < 2; ++i) {
    const uint32_t presses = router.Presses(kLearnable[i]);
    if (presses == pressesSeen_[i]) continue;
    pressesSeen_[i] = presses;
    if (kLearnable[i] == keyboard::Control::NextSong) Next();
    else Previous();
  }
  if (learning_ && !router.LearnArmed()) {
    const keyboard::Control control = *learning_;
    learning_.reset();
    SaveLearned(control);
    const keyboard::LearnedKey key = router.Learned(control);
    statusBar()->showMessage(QString("%1: %2").arg(Caption(control),
        key.Empty() ? QString("no MIDI message") : Q(keyboard::LearnedKeyText(key))));
  }
}

void frmSongs::LearnToggled(bool on) {
  if (!on && learning_ && services_.keyboard) services_.keyboard->Router().CancelModes();
  if (!on) learning_.reset();
  statusBar()->showMessage(on ? "MIDI learn: press Next or Previous, then a pad, key or controller of the keyboard." : "");
  UpdateControls();
}

void frmSongs::LearnInstead(keyboard::Control control) {
  if (!services_.keyboard) return;
  learning_ = control;
  services_.keyboard->Router().ArmLearn(control);
  statusBar()->showMessage(QString("%1: press a pad, key or controller of the keyboard.").arg(Caption(control)));
}

// Kept with the Arranger's learned controls in "Sound.ini".
void frmSongs::LoadLearned() {
  if (!services_.keyboard) return;
  keyboard::KeyboardRouter& router = services_.keyboard->Router();
  for (size_t i = 0; i < 2; ++i) pressesSeen_[i] = router.Presses(kLearnable[i]);
  if (services_.settingsPath.empty()) return;
  QSettings file(Q(services_.settingsPath), QSettings::IniFormat);
  file.beginGroup(kLearnedKeysGroup);
  for (keyboard::Control control : kLearnable)
    if (const auto key = ReadLearnedKey(file, control)) router.SetLearned(control, *key);
}

void frmSongs::SaveLearned(keyboard::Control control) {
  if (services_.settingsPath.empty() || !services_.keyboard) return;
  QSettings file(Q(services_.settingsPath), QSettings::IniFormat);
  file.beginGroup(kLearnedKeysGroup);
  WriteLearnedKey(file, control, services_.keyboard->Router().Learned(control));
}

}  // namespace vambrio
