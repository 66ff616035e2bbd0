// "Play seamlessly" (Options, kept in "Sound.ini"): Play sounds at once and
// Repeat loops the section without a gap, through the live arranger, over
// the chosen chord type, parts, player type and sysex choice. "Player.tmp"
// is still written for each section that plays. Stop, the part boxes, the
// chord and a change of section act while it plays, as in the Arranger: a
// part or chord at once, a section from the next bar line. Off, Play is the
// classic playback. The main window owns it and passes on what the user does.
#pragma once

#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

#include "live/live_command.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "model/message_box.h"
#include "shell/arranger/arranger_service.h"

class QAction;
class QMenu;
class QTimer;

namespace vambrio {

// What the seamless Play reads from the main window and sets in it.
class SeamlessView {
 public:
  virtual ~SeamlessView() = default;
  virtual PlayChoices PlayChoicesNow() const = 0;
  virtual live::LiveCommand ChordCommand() const = 0;  // the chord the choices make
  virtual std::string ChosenSectionText() const = 0;   // cboSections' text
  virtual bool RepeatChosen() const = 0;
  virtual void ShowSectionEntry(int entry) = 0;        // selects an entry of the list
  virtual void WritePlayerFile(int16_t section, const PlayChoices& choices) = 0;  // "Player.tmp"
  // Playing: Stop is the default button and Play disabled; else the window is ready.
  virtual void ShowPlaying(bool playing, const std::string& status) = 0;
};

class SeamlessPlay final : public QObject {
 public:
  // The menu item goes into `menu` before `before` when there is a live arranger.
  SeamlessPlay(ArrangerService* live, StyleModel& model, SeamlessView& view, platform::MessageBoxes& messages,
               std::string settingsFile, QMenu* menu, QAction* before);

  void LoadSetting();
  // Whether Play plays seamlessly (the option chosen and a live arranger there).
  bool Chosen() const;
  bool Playing() const { return playing_; }
  void Play();
  void Stop() { End(true); }

  // What the user changed while it may play.
  void PartChanged(int part, bool on);
  void ChordChanged();
  void RepeatChanged(bool on);
  void SectionChanged();

 private:
  void SaveSetting();
  int SectionIndex(const std::string& name) const;
  bool Prepare();
  void Watch();
  void End(bool stopped);
  void ShowSection(int entry);

  ArrangerService* live_;
  StyleModel& model_;
  SeamlessView& view_;
  platform::MessageBoxes& messages_;
  std::string settingsFile_;
  QAction* menuItem_ = nullptr;
  QTimer* watch_ = nullptr;
  bool playing_ = false;
  bool inTurn_ = false;         // "All Sections"
  bool showingSection_ = false; // the list shows the section playing: no request of the user
  int shown_ = -1;              // the section last shown and written to "Player.tmp"
  uint64_t startBlocks_ = 0;
  std::vector<uint8_t> bytes_;  // the style as the live arranger last read it
  PlayChoices choices_;
};

}  // namespace vambrio
