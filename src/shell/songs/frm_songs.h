// frmSongs, the set-list window "Songs": the songs of an evening in their
// order, each with its chart (imported or written), style, tempo,
// transpose, count-in, section mapping and, optionally, a registration.
// Play sends the selected song to the Arranger; Next and Previous (buttons,
// Page Up/Down, a learned MIDI control) move through the list, and "Go on
// to the next song" plays the next one when a song ends. Files and iReal Pro
// links dropped on the list, or pasted, are imported. The list is kept as a
// ".vset" file; the recent ones are kept in "Sound.ini".
#pragma once

// Before Qt: a chart has a member named "slots".
#include "keyboard/keyboard_router.h"
#include "editing/input_box.h"
#include "model/message_box.h"
#include "platform/desktop/song_dialogs.h"
#include "shell/songs/song_stage.h"
#include "songs/set_list.h"
#include "songs/set_list_play.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QAction;
class QMimeData;

namespace vambrio {
namespace keyboard {
class PlayerKeyboard;
}

struct SongsWindowServices {
  SongStage& stage;
  platform::SongDialogs& dialogs;
  platform::MessageBoxes& messageBoxes;
  platform::InputBox& inputBox;
  std::string settingsPath;                      // "Sound.ini"; "" keeps nothing
  keyboard::PlayerKeyboard* keyboard = nullptr;  // for learned Next/Previous; null: none
};

class frmSongs : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmSongs(SongsWindowServices services, QWidget* parent = nullptr);
  ~frmSongs() override;

  // The set list's file.
  void NewSetList();
  bool OpenSetList(const std::string& path);  // false (reported) when it cannot be read
  void cmdOpen_Click();
  bool Save();    // under its name, or asks for one
  bool SaveAs();
  const std::string& Path() const { return path_; }
  const songs::SetList& SetList() const { return list_; }
  bool Modified() const { return modified_; }
  QStringList RecentSetLists() const;
  // The desktop session or the system is ending: the window closes without
  // asking about unsaved changes.
  void OnSessionEnding() { sessionEnding_ = true; }

  // Songs in.
  void cmdImport_Click();
  void PasteLink();
  // Imports each file or link (text holding irealb:// links) after the selected song.
  void Import(const std::vector<std::string>& filesOrLinks);
  // What was dropped on the window: files by their path, links as they are. False: nothing to import.
  bool ImportDropped(const QMimeData& data);
  void NewSong();
  void RemoveSong();
  void MoveSong(int by);
  void ChooseStyle();
  void ChooseRegistration();

  // Playing.
  void Play();  // the selected song
  void Stop();
  void Next();
  void Previous();
  int PlayingRow() const { return playing_; }
  int SelectedRow() const;
  void Select(int row);

  // Every control's enabled state from the window's state.
  void UpdateControls();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  static QString Q(const std::string& text) { return QString::fromStdString(text); }
  // frm_songs_layout.cpp
  void MakeControls();
  void MakeMenus();
  QWidget* MakeDetails();
  QWidget* MakeMapping();
  void ConnectDetails();
  // frm_songs.cpp
  void ShowList();
  void ShowRow(int row);
  void ShowSong();
  void SongEdited(const std::function<void(songs::SetListSong&)>& edit);
  void MappingEdited();
  // frm_songs_file.cpp
  void ShowTitle();
  bool MayDiscard();
  void Remember(const std::string& path);
  void FillRecent();
  void LoadSettings();
  void SaveSettings();
  // frm_songs_play.cpp
  void PlayRow(int row);
  void SongStopped(bool ended);
  void Poll();
  void LearnToggled(bool on);
  void LearnInstead(keyboard::Control control);
  void LoadLearned();
  void SaveLearned(keyboard::Control control);

  SongsWindowServices services_;
  songs::SetList list_;
  std::string path_;
  bool modified_ = false;
  bool sessionEnding_ = false;
  bool showing_ = false;  // the details are being filled: their signals change nothing
  int playing_ = -1;      // the row playing, -1: none
  std::array<uint32_t, 2> pressesSeen_{};  // the keyboard's Next/Previous presses handled
  std::optional<keyboard::Control> learning_;

  QListWidget* lstSongs_ = nullptr;
  QLineEdit* txtTitle_ = nullptr;
  QLabel* lblStyle_ = nullptr;
  QPushButton* cmdStyle_ = nullptr;
  QSpinBox* spnTempo_ = nullptr;
  QSpinBox* spnTranspose_ = nullptr;
  QComboBox* cboCountIn_ = nullptr;
  QLabel* lblRegistration_ = nullptr;
  QPushButton* cmdRegistration_ = nullptr;
  QSpinBox* spnRegistrationSlot_ = nullptr;
  std::vector<QComboBox*> cboMarks_;  // one per written mark of the mapping
  QComboBox* cboUnmarked_ = nullptr;
  QComboBox* cboUnmarkedAgain_ = nullptr;
  QCheckBox* chkFills_ = nullptr;
  QCheckBox* chkEnding_ = nullptr;
  QPlainTextEdit* txtChart_ = nullptr;
  QWidget* fraSong_ = nullptr;
  QPushButton* cmdPrevious_ = nullptr;
  QPushButton* cmdPlay_ = nullptr;
  QPushButton* cmdStop_ = nullptr;
  QPushButton* cmdNext_ = nullptr;
  QCheckBox* chkGoOn_ = nullptr;
  QPushButton* cmdLearn_ = nullptr;
  QPushButton* cmdImport_ = nullptr;
  QPushButton* cmdPaste_ = nullptr;
  QPushButton* cmdRemove_ = nullptr;
  QPushButton* cmdUp_ = nullptr;
  QPushButton* cmdDown_ = nullptr;
  QLabel* lblNow_ = nullptr;
  QLabel* lblEmpty_ = nullptr;
  QMenu* mnuRecent_ = nullptr;
  QAction* mnuSave_ = nullptr;
  QTimer* poll_ = nullptr;
};

}  // namespace vambrio
