// frmVambrio, the main window: the style's name, tempo, time signature,
// size and sections, the playback controls, the master and PC volume, and
// the menus. Its platform services come in through the constructor, so that
// tests drive the real window with fakes.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "chord/chord_name.h"
#include "chord/chord_rules.h"
#include "editing/edit_handlers.h"
#include "model/play_choices.h"
#include "playback/playback_controller.h"
#include "model/style_model.h"
#include "playback/clock.h"
#include "editing/file_dialogs.h"
#include "editing/input_box.h"
#include "model/message_box.h"
#include "playback/mixer.h"
#include "playback/sequencer.h"
#include "platform/desktop/shell.h"
#include "shell/arranger/arranger_service.h"
#include "platform/files/voice_choices.h"
#include "model/error_reporter.h"
#include "shell/midi/midi_routing.h"
#include "shell/main_window/seamless_play.h"
#include "shell/main_window/sound_source.h"
#include "playback/pc_volume.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace Ui {
class frmVambrio;
}

namespace vambrio {
namespace shell {
class frmAddVolumeEvents;
}

struct EntryResult;
class MidiPortMenus;
class PartVoices;
class PcVolumeSlider;
class RecentStyles;
class SoundSettings;

// Where the window keeps its files.
struct SettingsPaths {
  std::string configDir;      // "Vambrio.ini" and the sound settings
  std::string playerTmpPath;  // "Player.tmp", the file the sequencer plays

  // The files in configDir; empty when there is none (nothing is then read).
  std::string SettingsFile() const;       // "Vambrio.ini"
  std::string SoundSettingsFile() const;  // "Sound.ini"
};

// The platform services of the window. They must outlive it.
struct WindowServices {
  platform::Sequencer& sequencer;
  platform::Mixer& mixer;
  platform::FileDialogs& fileDialogs;
  platform::MessageBoxes& messageBoxes;
  platform::InputBox& inputBox;
  platform::DesktopShell& shell;
  platform::Clock& clock;
  platform::Timer& timer;  // the playback loop's timer on the window's event loop
  SoundSource& sound;
  SettingsPaths paths;
  // Opens the Arranger window with a style ("" for none); unset: no Arranger.
  std::function<void(const std::string& stylePath)> openArranger = nullptr;
  // The MIDI ports of "MIDI Input" and "Sound Source"; unset: the built-in synthesizer only.
  MidiRouting* midi = nullptr;
  // The live arranger that "Play seamlessly" plays through; unset: the classic playback only.
  ArrangerService* seamless = nullptr;
};

// How a close reaches Form_QueryUnload.
enum class UnloadMode : int16_t { CloseBox = 0, Program = 1, SystemShutdown = 2, TaskManager = 3 };

inline constexpr const char* kWaitBeforeExitingText = "Please wait until the playing stops before exiting";
inline constexpr const char* kSoundSettingsFileName = "Sound.ini";

class frmVambrio : public QMainWindow, private PlaybackView, private SeamlessView {
  Q_OBJECT

 public:
  // commandLine: the program's argument text (one optional style path).
  frmVambrio(WindowServices services, std::string commandLine, QWidget* parent = nullptr);
  ~frmVambrio() override;

  // Start-up and end.
  void Form_Load();
  // Returns true when the close is to be cancelled.
  bool Form_QueryUnload(UnloadMode mode);
  void Form_Unload();
  void mnuExit_Click();
  // The desktop session or the system is ending: the window closes without
  // asking, even while playing.
  void OnSessionEnding();
  bool Unloaded() const { return unloaded_; }

 signals:
  // "&Library" was chosen.
  void libraryRequested();
  // The window has unloaded: the program is ending.
  void unloadedWindow();

 public:

  // Opening a style.
  // showWindow false: the window stays as it is (hidden at a start-up with --arranger).
  void Entry(const std::string& path, bool showWindow = true);
  void mnuOpen_Click();
  // Opens a style chosen elsewhere (the library) as "&Open Style" does with
  // the file its dialog returns.
  void OpenStyle(const std::string& path);
  void chkGM_Click();

  // The playback controls.
  void cmdPlay_Click();
  void cmdStop_Click();
  void cboSections_DblClick();
  void cmdAllCheck_Click();
  void cmdUnCheck_Click();

  // The sound source: "SoundFont...", "Audio Output" and "Audio Latency"
  // of the Options menu, and the status bar's count of buffer underruns.
  SoundSettings& soundSettings() { return *soundSettings_; }
  // The status bar's word on the MIDI ports chosen in "MIDI Input" and
  // "Sound Source" of the Options menu (one gone, or back).
  void ShowMidiNews();

  // The editing commands.
  void mnuVolumeEvents_Click();
  void mnuSaveStyle_Click();
  void TempoEdit();  // lblTempo's double-click and "&Edit Tempo"

  // The controls' enabled states and the default button, from the current state.
  void UpdateControls();

  // Whether the classic Play is playing (or about to end).
  bool Playing() const { return controller_ && controller_->Running(); }
  // Whether Play plays seamlessly now.
  bool PlayingSeamlessly() const;

  // The choices the next assembly reads.
  PlayChoices Choices() const;
  // The chord of "Any chord" from the root and type boxes; empty while Major
  // or Minor is chosen (the classic playback).
  std::optional<Chord> ChosenChord() const;
  StyleModel& model() { return model_; }
  const StyleModel& model() const { return model_; }
  // The button Enter presses: Play when ready, Stop while playing.
  QPushButton* defaultButton() const { return defaultButton_; }

  // The voices of the loaded style on the part switches' tool tips, by the
  // voice choices of the Options menu.
  PartVoices& partVoices() { return *partVoices_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the playback controller reads and sets.
  void SetStatusText(const std::string& text) override;
  std::string SectionText() const override;
  void SelectSection(int entry) override;
  void SetPlayEnabled(bool enabled) override;
  void SetStopEnabled(bool enabled) override;
  void SetDefaultButton(PlaybackButton button) override;
  bool RepeatOn() const override;
  void Repaint() override;

  void Form_Initialize();
  void CreateController();
  void SetUpSound();
  void ConnectControls();
  void ConnectEditing();
  void SetUpChordChoice();
  void AssembleSection(int16_t section, const PlayChoices& choices);
  // What "Play seamlessly" reads and sets (frm_vambrio_seamless.cpp).
  void SetUpSeamless();
  PlayChoices PlayChoicesNow() const override;
  live::LiveCommand ChordCommand() const override;
  std::string ChosenSectionText() const override;
  bool RepeatChosen() const override;
  void ShowSectionEntry(int entry) override;
  void WritePlayerFile(int16_t section, const PlayChoices& choices) override;
  void ShowPlaying(bool playing, const std::string& status) override;
  void Apply(const ControlChanges& changes);
  void ApplySettingsFile();
  void ApplyEntryResult(const EntryResult& r);
  QCheckBox* PartBox(int index) const;
  void SetAllParts(bool checked);

  std::unique_ptr<Ui::frmVambrio> ui_;
  WindowServices services_;
  std::string commandLine_;
  MessageBoxErrorReporter reporter_;
  StyleModel model_;
  ChordRules chordRules_;  // the loaded style's, read by each load

  std::unique_ptr<PlaybackController> controller_;

  // State the controls' enabled states come from.
  bool playEnabled_ = true;    // as the playback controls set it
  bool stopEnabled_ = false;
  bool stopIsDefault_ = false;
  bool styleVolumeSet_ = false;
  bool styleVolumeRestore_ = false;
  PcVolumeSlider* pcVolume_ = nullptr;  // sliderVol
  SoundSettings* soundSettings_ = nullptr;
  PartVoices* partVoices_ = nullptr;
  MidiPortMenus* midiMenus_ = nullptr;  // "MIDI Input" and "Sound Source"; none without MIDI routing
  RecentStyles* recentStyles_ = nullptr;  // "Recent"
  QPointer<shell::frmAddVolumeEvents> addVolumeEvents_;

  SeamlessPlay* seamless_ = nullptr;  // "Play seamlessly"

  QPushButton* defaultButton_ = nullptr;
  bool closingFromProgram_ = false;
  bool sessionEnding_ = false;
  bool unloaded_ = false;
};

// The start-up procedure: shows the window (Form_Load runs first), marks
// playback stopped, disables Stop and loads the style the command line named.
// `shown` false leaves the window hidden (another window is the program's face).
void StartUp(frmVambrio& window, bool shown = true);

}  // namespace vambrio
