// frmArranger, the Arranger window: the style played live like an arranger
// keyboard. Start/Stop and Sync Start, the section buttons the style has
// (lit while playing, blinking while queued), Auto Fill, the chord pad and
// the current chord in large letters, bar.beat, tempo and tap tempo, the
// eight part switches, and a chord-chart pane that plays a chart live or
// exports it. Every control has a key; the state is kept in "Sound.ini".
#pragma once

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "keyboard/keyboard_router.h"
#include "live/chosen_chord.h"
#include "live/section_buttons.h"
#include "live/tap_tempo.h"
#include "platform/desktop/chart_dialogs.h"
#include "realtime/audio_latency.h"
#include "registration/registration.h"
#include "registration/registration_recall.h"
#include "shell/arranger/arranger_service.h"

class QLabel;
class QSpinBox;
class QPushButton;
class QCheckBox;
class QSettings;
class QShortcut;
class QTimer;

namespace Ui {
class frmArranger;
}

namespace vambrio {
class ChartHighlighter;
namespace keyboard {
class PlayerKeyboard;
}
class RecordPanel;
class OtsPanel;
class PartsPanel;
class RegistrationPanel;
class VoiceOptions;

class frmArranger : public QMainWindow {
  Q_OBJECT

 public:
  // chord: the chosen chord, shared with the library's preview; the window
  // shows it, plays over it and changes it. settingsPath: "Sound.ini" ("" keeps nothing).
  frmArranger(ArrangerService& service, platform::ChartDialogs& dialogs, live::ChosenChord& chord,
              std::string settingsPath, QWidget* parent = nullptr);
  ~frmArranger() override;

  // Reads the style and shows its buttons; false (with a message) when it cannot.
  bool OpenStyle(const std::string& path);

  // The controls.
  void cmdStartStop_Click();
  void SectionButton_Click(live::Control control);
  void Root_Click(int pitchClass);
  void Type_Click(int chordType);
  void NoChord_Click();
  void Tap(double seconds);
  void cmdPlayChart_Click();
  void cmdOpenChart_Click();
  void OpenChart(const std::string& path);
  void cmdSaveChart_Click();
  void Export(const std::string& suffix);  // "mid" or "wav"

  // The player's MIDI keyboard (null: none, and its controls are hidden);
  // its settings and learned controls are read from "Sound.ini" and kept there.
  void SetKeyboard(keyboard::PlayerKeyboard* keyboard);
  // The voice choices, shared with the main window: an Options menu of the
  // window's own holds them. The part switches' tool tips follow them.
  void SetVoiceOptions(VoiceOptions* options);
  // The audio latency the main window chooses, kept with registrations.
  void SetLatency(std::function<realtime::AudioLatency()> get, std::function<void(realtime::AudioLatency)> choose) {
    latencyNow_ = std::move(get);
    chooseLatency_ = std::move(choose);
  }
  // The part switches' tool tips: the voice each part asks for and what plays it.
  void ShowPartVoices();
  // MIDI learn: while on, pressing one of the arranger's controls (by mouse
  // or key) arms it instead, and the next pad, key or controller of the
  // keyboard is learned for it.
  void cmdLearn_Toggle(bool on);

  // Reads the published state and shows it (the window does this 25 times a second).
  void Refresh();
  void ShowOutputNews();
  bool ExportRunning() const { return exporter_.joinable(); }
  QString ChordText() const;

  // Songs (frm_arranger_song.cpp): the metronome, transpose, and a chart
  // played from a set list after `countInBars` bars of clicks; the problem
  // to show, "" when it plays.
  void SetMetronome(bool on);
  void SetTranspose(int semitones);
  bool MetronomeOn() const;
  int Transpose() const;
  std::string PlaySong(const std::string& chartText, int countInBars, int transpose);
  void StopSong();
  bool ChartPlaying() const { return chartPlaying_; }
  const ArrangerStyle& StyleInUse() const { return style_; }
  // A song's registration recalled, its style and tempo frozen (the song has chosen them).
  void RecallForSong(const registration::Registration& setUp);

 signals:
  // A chart that played has stopped: `ended` when it played to its end.
  void chartEnded(bool ended);

 public:
 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  void MakeSongControls();
  std::string PlayChartText(int countInBars);
  bool ShowWrittenChord(const live::LiveState& s);
  void LoadSongSettings(QSettings& file);
  void SaveSongSettings(QSettings& file) const;
  void MakeShortcuts();
  void FillChordLists();
  void ShowSections();
  void ShowSectionLights(const live::LiveState& s);
  void ShowChartBar(const live::LiveState& s);
  void ShowChartStatus(const QString& text, bool error = false);
  void FollowChart(const live::LiveState& s);
  void ShowChordInForce(const live::LiveState& s);
  void ShowChosenChord();
  void SendChord();
  void ChordChosen();
  void Send(live::LiveCommand::Kind kind, int value = 0, bool on = false);
  void FinishExport();
  QPushButton* SectionButton(live::Control control) const;
  void LoadSettings();
  void SaveSettings();
  void KeepChartPath();
  void ConnectKeyboard();
  void RefreshKeyboard();
  void LoadKeyboardSettings();
  void SaveKeyboardSettings();
  bool Learning() const;
  bool LearnInstead(keyboard::Control control);
  void FollowAutoFill(const live::LiveState& s);
  void ShowLearned(keyboard::Control control);
  void CancelLearning(bool forget);
  void LearningEnded();
  // frm_arranger_stage.cpp: One Touch Settings, the player's parts, registrations.
  void MakeStagePanels();
  void MakeKeyboardParts();
  void StageStyleOpened();
  void RefreshStage(const live::LiveState& s);
  // frm_arranger_registration.cpp
  void MakeRegistrationPanel();
  registration::Registration CaptureRegistration() const;
  void RecallRegistration(const registration::Registration& r, registration::Freeze freeze);
  void ApplyChange(const registration::RecallChange& change, const registration::Registration& r);
  void FollowPendingStyle(const live::LiveState& s);
  void FollowRegistrationControls();

  std::unique_ptr<Ui::frmArranger> ui_;
  ArrangerService& service_;
  platform::ChartDialogs& dialogs_;
  std::string settingsPath_;
  ArrangerStyle style_;
  live::SectionButtons buttons_;
  live::TapTempo tap_;
  QTimer* refresh_ = nullptr;
  int ticks_ = 0;  // refreshes so far: the blink's phase
  QLabel* lblSongBar_ = nullptr;
  ChartHighlighter* chartHighlighter_ = nullptr;

  live::ChosenChord& chord_;
  bool wasPlaying_ = false;                 // at the last refresh
  std::string shownProblem_;                // the service's problem as last shown
  uint64_t shownUnderruns_ = 0;             // the underruns as last shown
  std::optional<Chord> lastInForce_;        // the chord in force at the last refresh
  std::string chartPath_;
  std::vector<ChartBarPlace> chartBars_;
  bool chartPlaying_ = false;
  bool chartSeenPlaying_ = false;  // the chart's Start has reached the audio thread
  int lastChartBar_ = -1;          // the chart's bar at the last refresh

  std::thread exporter_;
  std::atomic<double> exportProgress_{0};
  std::atomic<bool> exportDone_{false};
  std::string exportResult_;
  std::string exportPath_;

  keyboard::PlayerKeyboard* keyboard_ = nullptr;
  std::optional<keyboard::Control> learning_;  // armed: waiting for the keyboard's message
  bool settingSplit_ = false;
  bool seenAutoFill_ = true;  // the arranger's Auto Fill when last seen playing
  QShortcut* cancelLearning_ = nullptr;
  QShortcut* forgetLearned_ = nullptr;
  RecordPanel* record_ = nullptr;
  OtsPanel* ots_ = nullptr;
  PartsPanel* parts_ = nullptr;
  QCheckBox* chkMetronome_ = nullptr;
  QSpinBox* spnTranspose_ = nullptr;
  int lastSongChord_ = -1;  // the chart's chord step shown, -1 for none
  int lastTranspose_ = 0;
  RegistrationPanel* registration_ = nullptr;
  VoiceOptions* voiceOptions_ = nullptr;
  std::optional<registration::Registration> pendingStyle_;  // recalled while playing: for the next bar line
  uint32_t pendingBar_ = 0;
  uint32_t registrationPressesSeen_ = 0;
  std::function<realtime::AudioLatency()> latencyNow_;
  std::function<void(realtime::AudioLatency)> chooseLatency_;
};

}  // namespace vambrio
