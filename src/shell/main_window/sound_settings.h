// "SoundFont...", "Audio Output" and "Audio Latency" of the main window's
// Options menu: the built-in synthesizer's choices, handed to the sound
// source and kept in "Sound.ini" beside "Vambrio.ini" (which keeps exactly
// its two lines). The status bar counts the output's buffer underruns and,
// when they pile up, offers the next safer latency; the status line says
// when there is no SoundFont to play with. The main window owns it.
#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "editing/file_dialogs.h"
#include "playback/clock.h"
#include "realtime/audio_latency.h"
#include "shell/main_window/sound_source.h"
#include "shell/midi/midi_routing.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;

namespace vambrio {

class SoundSettings final : public QObject {
 public:
  struct Parts {
    SoundSource& sound;
    platform::FileDialogs& fileDialogs;
    platform::Clock& clock;
    MidiRouting* midi;          // a synthesizer on a MIDI port may play instead; null: none
    std::string configDir;      // where "Sound.ini" is ("" keeps nothing)
    std::string settingsFile;   // "Sound.ini"
    QAction* soundFontItem;     // "SoundFont..."
    QMenu* outputMenu;          // "Audio Output"
    QMenu* latencyMenu;         // "Audio Latency"
    std::array<QAction*, 3> latencyItems;  // its "Low", "Normal" and "Safe"
    QStatusBar* statusBar;
    QLabel* statusLine;
    std::function<bool()> styleLoaded;
  };
  SoundSettings(Parts parts, QObject* owner);

  // The choices kept in "Sound.ini", handed to the sound source.
  void Load();
  // The status line names what to install while there is no SoundFont (and
  // no MIDI port plays instead); it is cleared when one is there again.
  void ShowStatus();
  // No SoundFont is found and the built-in synthesizer is the sound source:
  // nothing would sound. A synthesizer on a MIDI port needs none.
  bool SoundFontMissing() const;

  void ChooseSoundFont();  // "SoundFont..."
  void ChooseLatency(realtime::AudioLatency latency);
  realtime::AudioLatency Latency() const { return latency_; }
  // The status bar's count of buffer underruns (hidden while there are none).
  void ShowUnderruns();

 private:
  void FillOutputMenu();
  void CheckLatencyItem();
  void Save();
  void OfferSaferLatency(uint64_t count);

  Parts p_;
  std::string soundFontChoice_;  // as the user chose them ("" for the usual ones)
  std::string audioDriverChoice_;
  realtime::AudioLatency latency_ = realtime::AudioLatency::Normal;
  QActionGroup* driverGroup_ = nullptr;
  QLabel* lblUnderruns_ = nullptr;
  QPushButton* cmdSaferLatency_ = nullptr;                 // offered when underruns pile up
  std::deque<std::pair<double, uint64_t>> underrunTimes_;  // (seconds, count) of the last 10 s
};

}  // namespace vambrio
