// The player's own parts in the Arranger window: Right 1, Right 2 (layered
// over it) and Left (the keys at or below the split, which still name the
// chords), each with its switch, voice, volume and octave. Right 1's voice
// is the keyboard frame's voice list. What a One Touch Setting or a
// registration sets shows here as the parts play it; the choices are kept
// in "Sound.ini".
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "keyboard/player_keyboard.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace vambrio {

// A voice list: the 128 General MIDI programs, "1 Acoustic Grand Piano" first.
void AddGmVoices(QComboBox* list);

class PartsPanel : public QWidget {
  Q_OBJECT

 public:
  // right1Voice: the voice list Right 1 already has (it stays the keyboard frame's).
  PartsPanel(keyboard::PlayerKeyboard& keyboard, QComboBox* right1Voice, std::string settingsPath,
             QWidget* parent = nullptr);

  // Shows the parts' sounds as they are now (after a recall); with every refresh.
  void Refresh();
  void Load();
  void Save() const;

  // A part's controls, for registrations and tests.
  QCheckBox* Switch(keyboard::Part part) const { return on_[static_cast<size_t>(part)]; }
  QComboBox* Voice(keyboard::Part part) const { return voice_[static_cast<size_t>(part)]; }
  QSpinBox* Volume(keyboard::Part part) const { return volume_[static_cast<size_t>(part)]; }
  QSpinBox* Octave(keyboard::Part part) const { return octave_[static_cast<size_t>(part)]; }

 signals:
  void Changed();

 private:
  void Chosen(keyboard::Part part);

  keyboard::PlayerKeyboard& keyboard_;
  std::string settingsPath_;
  bool loaded_ = false;  // nothing is kept before the kept choices are read
  std::array<QCheckBox*, keyboard::kPartCount> on_{};
  std::array<QComboBox*, keyboard::kPartCount> voice_{};
  std::array<QSpinBox*, keyboard::kPartCount> volume_{};
  std::array<QSpinBox*, keyboard::kPartCount> octave_{};
};

}  // namespace vambrio
