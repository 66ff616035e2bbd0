// Play and Stop of the main window: the classic playback of "Player.tmp"
// (PlaybackController) or, chosen in Options, "Play seamlessly"
// (SeamlessPlay); the section list and Repeat they read; and the chord they
// play over: Major, Minor or "Any chord" (a root box and a type box). Major
// and Minor play the classic way; any other chord plays by the style's
// complete chord rules. The main window owns it, presses Play and Stop
// through it and reads which of the two it enables.
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "chord/chord_name.h"
#include "chord/chord_rules.h"
#include "model/errors.h"
#include "model/message_box.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "playback/clock.h"
#include "playback/playback_controller.h"
#include "playback/sequencer.h"
#include "shell/arranger/arranger_service.h"
#include "shell/main_window/seamless_play.h"
#include "shell/main_window/sound_source.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QRadioButton;
class QWidget;

namespace vambrio {

class SectionCombo;

class PlayControls final : public QObject, private PlaybackView, private SeamlessView {
 public:
  struct Parts {
    StyleModel& model;
    platform::Sequencer& sequencer;
    platform::Clock& clock;
    platform::Timer& timer;  // the classic playback's loop
    platform::MessageBoxes& messages;
    ErrorSink& errors;
    SoundSource& sound;
    ArrangerService* live;     // "Play seamlessly" plays through it; null: the classic Play only
    std::string playerFile;    // "Player.tmp"
    std::string settingsFile;  // "Sound.ini" ("" keeps nothing)
    QWidget* window;           // repainted at once when the playback asks
    QLabel* statusLine;
    SectionCombo* sections;
    QCheckBox* repeat;
    std::array<QRadioButton*, 3> chordOptions;  // Major, Minor, "Any chord"
    QComboBox* chordRoot;
    QComboBox* chordType;
    std::array<QCheckBox*, 8> partSwitches;
    QMenu* optionsMenu;  // "Play seamlessly" goes into it before sysexItem
    QAction* sysexItem;
    std::function<PlayChoices()> choices;
    std::function<void()> changed;  // the controls' enabled states are to be set again
    std::function<bool()> soundFontMissing;  // nothing would sound: Play says why instead
  };
  explicit PlayControls(Parts parts);
  ~PlayControls() override;

  // "Play seamlessly" as kept in "Sound.ini".
  void LoadSetting();
  // A style loaded: its chord rules are read for "Any chord".
  void StyleLoaded();

  void Play();
  void Stop();
  // The window is going: a playback still running ends without it.
  void Abandon();
  // Whether the classic Play is playing (or about to end).
  bool Playing() const { return controller_->Running(); }

  bool PlayEnabled() const { return playEnabled_; }
  bool StopEnabled() const { return stopEnabled_; }
  bool StopIsDefault() const { return stopIsDefault_; }
  // The chord of "Any chord"; empty while Major or Minor is chosen.
  std::optional<Chord> ChosenChord() const;

 private:
  void SetUpChordChoice();
  void ConnectSeamless();
  // Writes "Player.tmp" for a section with the choices of the moment.
  void Assemble(int16_t section, const PlayChoices& choices);

  // PlaybackView
  void SetStatusText(const std::string& text) override;
  std::string SectionText() const override;
  void SelectSection(int entry) override;
  void SetPlayEnabled(bool enabled) override;
  void SetStopEnabled(bool enabled) override;
  void SetDefaultButton(PlaybackButton button) override;
  bool RepeatOn() const override;
  void Repaint() override;
  // SeamlessView
  PlayChoices PlayChoicesNow() const override { return p_.choices(); }
  live::LiveCommand ChordCommand() const override;
  std::string ChosenSectionText() const override { return SectionText(); }
  bool RepeatChosen() const override { return RepeatOn(); }
  void ShowSectionEntry(int entry) override { SelectSection(entry); }
  void WritePlayerFile(int16_t section, const PlayChoices& choices) override { Assemble(section, choices); }
  void ShowPlaying(bool playing, const std::string& status) override;

  Parts p_;
  ChordRules chordRules_;  // the loaded style's
  std::unique_ptr<PlaybackController> controller_;
  SeamlessPlay* seamless_ = nullptr;
  bool playEnabled_ = true;
  bool stopEnabled_ = false;
  bool stopIsDefault_ = false;
};

}  // namespace vambrio
