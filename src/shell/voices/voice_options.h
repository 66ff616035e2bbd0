// The voice choices of the Options menus, one set shared by the main window
// and the Arranger window, kept in "Sound.ini" ([Voices]):
//   "Voices" > "Map to this SoundFont" (the default) / "As written";
//   "This SoundFont has the keyboards' voice banks" (off by default);
//   "Noise Notes" > "Play as effects" (the default) / "Leave out";
//   "General MIDI synthesizer" (a synthesizer on a MIDI port is a General
//   MIDI one: its voices are mapped too; off by default).
// Each window adds the items to its menu; they stay in step with the choices.
#pragma once

#include <QObject>
#include <string>

#include "platform/files/voice_choices.h"

class QMenu;

namespace vambrio {

class VoiceOptions final : public QObject {
  Q_OBJECT

 public:
  // settingsPath: "Sound.ini" ("" keeps nothing).
  explicit VoiceOptions(std::string settingsPath);

  const platform::VoiceChoices& Choices() const { return choices_; }
  // Takes, keeps and announces the choices.
  void Choose(const platform::VoiceChoices& choices);

  // Adds the items to `menu`.
  void AddTo(QMenu* menu);

 signals:
  void Changed();

 private:
  void Save() const;

  std::string settingsPath_;
  platform::VoiceChoices choices_;
};

}  // namespace vambrio
