// frmVambrio, the main window: the style's name, tempo, time signature,
// size and sections, the playback controls, the master and PC volume, and
// the menus. Its platform services come in through the constructor, so that
// tests drive the real window with fakes.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "chord/chord_name.h"
#include "editing/file_dialogs.h"
#include "editing/input_box.h"
#include "model/error_reporter.h"
#include "model/message_box.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "playback/clock.h"
#include "playback/mixer.h"
#include "playback/sequencer.h"
#include "platform/desktop/shell.h"
#include "shell/arranger/arranger_service.h"
#include "shell/main_window/sound_source.h"
#include "shell/midi/midi_routing.h"

class QCheckBox;
class QPushButton;

namespace Ui {
class frmVambrio;
}

namespace vambrio {

struct EntryResult;
class MidiPortMenus;
class PartVoices;
class PcVolumeSlider;
class PlayControls;
class RecentStyles;
class SoundSettings;
class StyleEditing;

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

// The window wires its controls to small controllers, each with one job:
// PlayControls (Play, Stop, the section list, Repeat and the chord),
// StyleEditing (master volume, volume events, tempo, save), SoundSettings,
// PartVoices, PcVolumeSlider, MidiPortMenus and RecentStyles. It keeps the
// opening of a style, the part switches, the start-up and the end, and one
// UpdateControls that sets every control's enabled state from theirs.
class frmVambrio : public QMainWindow {
  Q_OBJECT

 public:
  // commandLine: the program's argument text (one optional style path).
  frmVambrio(WindowServices services, std::string commandLine, QWidget* parent = nullptr);
  ~frmVambrio() override;

  // Start-up and end. `shown` false: the window stays hidden, and the PC's
  // volume, whose slider nobody sees, is left as it is.
  void Form_Load(bool shown = true);
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
  void cmdAllCheck_Click();
  void cmdUnCheck_Click();
  // Whether the classic Play is playing (or about to end).
  bool Playing() const;
  // The choices the next assembly reads.
  PlayChoices Choices() const;
  // The chord of "Any chord" from the root and type boxes; empty while Major
  // or Minor is chosen (the classic playback).
  std::optional<Chord> ChosenChord() const;

  // The controls' enabled states and the default button, from the current state.
  void UpdateControls();
  // The button Enter presses: Play when ready, Stop while playing.
  QPushButton* defaultButton() const { return defaultButton_; }
  StyleModel& model() { return model_; }
  const StyleModel& model() const { return model_; }

  // The sound source: "SoundFont...", "Audio Output" and "Audio Latency"
  // of the Options menu, and the status bar's count of buffer underruns.
  SoundSettings& soundSettings() { return *soundSettings_; }
  // The voices of the loaded style on the part switches' tool tips, by the
  // voice choices of the Options menu.
  PartVoices& partVoices() { return *partVoices_; }
  // The status bar's word on the MIDI ports chosen in "MIDI Input" and
  // "Sound Source" of the Options menu (one gone, or back).
  void ShowMidiNews();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Form_Initialize();
  void ConnectControls();
  void SetUpControllers();
  void ApplySettingsFile();
  void ApplyEntryResult(const EntryResult& r);
  QCheckBox* PartBox(int index) const;
  void SetAllParts(bool checked);

  std::unique_ptr<Ui::frmVambrio> ui_;
  WindowServices services_;
  std::string commandLine_;
  MessageBoxErrorReporter reporter_;
  StyleModel model_;

  std::unique_ptr<PlayControls> play_;  // before the widgets it reads go
  StyleEditing* editing_ = nullptr;
  PcVolumeSlider* pcVolume_ = nullptr;  // sliderVol
  SoundSettings* soundSettings_ = nullptr;
  PartVoices* partVoices_ = nullptr;
  MidiPortMenus* midiMenus_ = nullptr;    // "MIDI Input" and "Sound Source"; none without MIDI routing
  RecentStyles* recentStyles_ = nullptr;  // "Recent"

  QPushButton* defaultButton_ = nullptr;
  bool closingFromProgram_ = false;
  bool sessionEnding_ = false;
  bool unloaded_ = false;
};

// The start-up procedure: shows the window (Form_Load runs first), marks
// playback stopped, disables Stop and loads the style the command line named.
// `shown` false leaves the window hidden (another window is the program's face)
// and the PC's volume untouched.
void StartUp(frmVambrio& window, bool shown = true);

}  // namespace vambrio
