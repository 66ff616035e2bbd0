// The voices of the loaded style as the part switches show them: each
// switch's tool tip names the voice its part asks for and what plays it on
// the sound source chosen (the built-in synthesizer's SoundFont or a
// synthesizer on a MIDI port), by the voice choices of the Options menu,
// which the Arranger window shares. The status line says once per style
// when voices are played by stand-ins. The main window owns it.
#pragma once

#include <QObject>
#include <array>
#include <memory>

#include "model/style_model.h"
#include "platform/files/voice_choices.h"
#include "shell/main_window/sound_source.h"
#include "shell/midi/midi_routing.h"

class QCheckBox;
class QMenu;
class QStatusBar;

namespace vambrio {

class VoiceOptions;

class PartVoices final : public QObject {
 public:
  struct Parts {
    SoundSource& sound;
    MidiRouting* midi;  // a synthesizer on a MIDI port may play instead; null: none
    std::array<QCheckBox*, 8> partSwitches;
    QMenu* optionsMenu;  // the voice choices' items go at its end
    QStatusBar* statusBar;
  };
  PartVoices(Parts parts, QObject* owner);

  // The voice choices, shared with the Arranger window.
  void SetOptions(VoiceOptions* options);
  // A style loaded: its voices are gathered and shown.
  void StyleLoaded(const StyleModel& style);
  // The voices the loaded style plays (null before a style is loaded).
  std::shared_ptr<const voices::StyleVoiceUse> Use() const { return use_; }

 private:
  void Show(bool announceStandIns);

  Parts p_;
  VoiceOptions* options_ = nullptr;
  std::shared_ptr<const voices::StyleVoiceUse> use_;
  platform::KeptVoiceMap maps_;
};

}  // namespace vambrio
