// Playback control: what happens between a press of Play and the window's
// return to its ready state. PlayStyle assembles "Player.tmp" for one section
// at a time, hands it to the sequencer and waits for the end of each pass on
// the event loop's timer, so that the window (or the command line) keeps
// handling events while a section plays. The window and vambrio-cli share it.
#pragma once

#include <functional>
#include <string>

#include "model/errors.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "playback/clock.h"
#include "model/message_box.h"
#include "playback/sequencer.h"

namespace vambrio {

enum class PlaybackButton { Play, Stop };

// The window's side of playback: the controls that playback reads and sets.
class PlaybackView {
 public:
  virtual ~PlaybackView() = default;
  virtual void SetStatusText(const std::string& text) = 0;  // lblStatus
  virtual std::string SectionText() const = 0;             // the text of cboSections
  virtual void SelectSection(int entry) = 0;               // selects entry `entry` of cboSections
  virtual void SetPlayEnabled(bool enabled) = 0;           // cmdPlay
  virtual void SetStopEnabled(bool enabled) = 0;           // cmdStop
  virtual void SetDefaultButton(PlaybackButton button) = 0;
  virtual bool RepeatOn() const = 0;                       // chkRepeat has the value 1
  virtual void Repaint() = 0;                              // repaints the window at once
};

// MakeSingleTrack for section `index` with the given choices (it sends "close"
// to the sequencer and writes "Player.tmp"; it reports its own failures).
using AssembleFn = std::function<void(int16_t index, const PlayChoices& choices)>;

struct PlaybackParts {
  StyleModel& model;
  platform::Sequencer& sequencer;
  const platform::Clock& clock;
  platform::Timer& timer;
  PlaybackView& view;
  platform::MessageBoxes& messages;
  ErrorSink& errors;
  std::function<PlayChoices()> choices;  // the window's choices, read anew at each assembly
  AssembleFn assemble;
  std::string playerFile;  // full path of "Player.tmp"
};

// The caption of chkRepeat for its value.
const char* RepeatCaption(int value);

class PlaybackController {
 public:
  explicit PlaybackController(PlaybackParts parts);
  ~PlaybackController();
  PlaybackController(const PlaybackController&) = delete;
  PlaybackController& operator=(const PlaybackController&) = delete;

  // The event handlers of the playback controls.
  void CmdPlayClick();
  void CmdStopClick();
  void CboSectionsDblClick();
  void MmcDone(platform::NotifyCode code);

  // Clears PlayRequested on behalf of another control (the master-volume Set
  // button); the running playback ends as if Stop had been pressed, except
  // that the buttons are left to the playback's own ending.
  void ClearPlayRequest();

  // The window is closing: a running playback ends at once (the device gets
  // "stop", "prev" and "close") without touching the view again.
  void Abandon();

  // True from Play until the window is back in its ready state.
  bool Running() const { return stage_ != Stage::Idle; }

 private:
  enum class Stage { Idle, Starting, BeforeSection, Passing };
  enum class Mode { AllSections, OneSection };

  void PlayStyle();
  void StartOneSection();
  void OnTimer();
  void BeforeSection();
  void PassOver();
  void StartPass();
  bool OpenPlayerFile(bool wait);
  void StopDevice();
  void CommonEnding();
  void Yield();
  void Guarded(void (PlaybackController::*step)());
  void SetReady();

  PlaybackParts p_;
  Stage stage_ = Stage::Idle;
  // Why the device ended the last playback ("" when it ended as asked): the
  // status line keeps saying it until the next Play.
  std::string deviceEnded_;
  Mode mode_ = Mode::OneSection;
  bool playEnabled_ = true;
  int section_ = 0;   // section being played
  double passStart_ = 0;
};

}  // namespace vambrio
