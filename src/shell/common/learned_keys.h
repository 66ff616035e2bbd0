// The MIDI messages learned for the arranger's controls, as "Sound.ini" keeps
// them: in the group "MidiLearn", each under its control's name, in the
// keyboard's text form; a control that has none is removed.
#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <string>

#include "keyboard/keyboard_router.h"

namespace vambrio {

inline constexpr const char* kLearnedKeysGroup = "MidiLearn";

// `learned` is in the group kLearnedKeysGroup.
inline std::optional<keyboard::LearnedKey> ReadLearnedKey(const QSettings& learned, keyboard::Control control) {
  return keyboard::ParseLearnedKey(learned.value(keyboard::ControlName(control)).toString().toStdString());
}

inline void WriteLearnedKey(QSettings& learned, keyboard::Control control, const keyboard::LearnedKey& key) {
  const std::string text = keyboard::LearnedKeyText(key);
  if (text.empty()) learned.remove(keyboard::ControlName(control));
  else learned.setValue(keyboard::ControlName(control), QString::fromStdString(text));
}

}  // namespace vambrio
