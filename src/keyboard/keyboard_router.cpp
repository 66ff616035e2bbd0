#include "keyboard/keyboard_router.h"

#include <cstdio>
#include <utility>

#include "midi/midi_bytes.h"

namespace vambrio::keyboard {
namespace {

using namespace midi::status;
using midi::cc::kSustain;

}  // namespace

const char* PartName(Part part) {
  switch (part) {
    case Part::Right1: return "Right 1";
    case Part::Right2: return "Right 2";
    default: return "Left";
  }
}

std::string LearnedKeyText(LearnedKey key) {
  if (key.Empty()) return "";
  char text[8];
  std::snprintf(text, sizeof text, "%02X %02X", key.status, key.data);
  return text;
}

std::optional<LearnedKey> ParseLearnedKey(const std::string& text) {
  unsigned status = 0, data = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%2x %2x%c", &status, &data, &rest) != 2) return std::nullopt;
  uint8_t kind = static_cast<uint8_t>(status & 0xF0);
  if ((kind != kNoteOn && kind != kControlChange && kind != kProgramChange) || data > 127) return std::nullopt;
  return LearnedKey{static_cast<uint8_t>(status), static_cast<uint8_t>(data)};
}

KeyboardRouter::KeyboardRouter() {
  for (auto& l : learned_) l = 0;
}

void KeyboardRouter::Handle(const platform::MidiMessage& m, KeyboardTarget& target) {
  if (m.size == 0) return;
  const uint8_t status = m.bytes[0];
  if (status == kSystemReset) {
    ReleaseAll(target);
    return;
  }
  if (status < 0x80 || status >= 0xF0) return;  // clock, sensing, sysex pieces: nothing for the arranger
  if (TakeModes(m, target) || PressLearned(m, target)) return;
  detector_.SetMemory(chordMemory_);
  const uint8_t kind = status & 0xF0;
  const uint8_t d1 = m.size > 1 ? m.bytes[1] & 0x7F : 0;
  const uint8_t d2 = m.size > 2 ? m.bytes[2] & 0x7F : 0;
  if (kind == kNoteOn && d2 > 0) {
    Key(d1, d2, true, target);
  } else if (kind == kNoteOff || kind == kNoteOn) {
    Key(d1, d2, false, target);
  } else if (kind == kControlChange || kind == kPitchBend || kind == kChannelPressure) {
    ToParts(kind, d1, d2, target);
  }
  // Program changes and polyphonic pressure are the keyboard's own: the
  // right hand's sound is chosen in the Arranger window.
}

// "Set split" takes the next key pressed; "learn" the next key, controller
// (any value above 0) or program change. Either consumes the message.
bool KeyboardRouter::TakeModes(const platform::MidiMessage& m, KeyboardTarget& target) {
  const uint8_t kind = m.bytes[0] & 0xF0;
  const bool pressed = (kind == kNoteOn && m.size == 3 && m.bytes[2] > 0) ||
                       (kind == kControlChange && m.size == 3 && m.bytes[2] > 0) || kind == kProgramChange;
  if (!pressed) return false;
  if (kind == kNoteOn && setSplitArmed_.exchange(false)) {
    splitNote_ = m.bytes[1];
    target.SplitChosen(m.bytes[1]);
    return true;
  }
  int control = learnArmed_.exchange(-1);
  if (control < 0) return false;
  LearnedKey key{m.bytes[0], m.size > 1 ? m.bytes[1] : uint8_t{0}};
  for (auto& l : learned_) {
    if (l == key.Packed()) l = 0;  // one message presses one control
  }
  learned_[static_cast<size_t>(control)] = key.Packed();
  target.Learned(static_cast<Control>(control), key);
  return true;
}

// A learned message presses its control; the key's release (or the
// controller's return to 0) is consumed with it.
bool KeyboardRouter::PressLearned(const platform::MidiMessage& m, KeyboardTarget& target) {
  uint8_t status = m.bytes[0];
  const uint8_t d1 = m.size > 1 ? m.bytes[1] : 0;
  const uint8_t d2 = m.size > 2 ? m.bytes[2] : 0;
  bool release = (status & 0xF0) == kNoteOff || ((status & 0xF0) == kNoteOn && d2 == 0);
  if ((status & 0xF0) == kNoteOff) status = static_cast<uint8_t>(kNoteOn | (status & 0x0F));
  const uint16_t packed = LearnedKey{status, d1}.Packed();
  for (int c = 0; c < kControlCount; ++c) {
    if (learned_[static_cast<size_t>(c)] != packed) continue;
    const auto control = static_cast<Control>(c);
    const bool pressed = !release && !((status & 0xF0) == kControlChange && d2 == 0);
    if (pressed) presses_[static_cast<size_t>(c)].fetch_add(1, std::memory_order_release);
    if (control == Control::Tempo) {
      target.ControlPressed(control, d2);
    } else if (pressed) {
      target.ControlPressed(control, d2);
    }
    return true;
  }
  return false;
}

// A controller, bend or pressure: to Right 1's channel and those of the
// other parts that are on. The pedal is let go wherever it went down.
void KeyboardRouter::ToParts(uint8_t kind, uint8_t d1, uint8_t d2, KeyboardTarget& target) {
  uint16_t channels = static_cast<uint16_t>(1u << PartChannel(Part::Right1));
  for (Part p : {Part::Right2, Part::Left})
    if (PartOn(p)) channels |= static_cast<uint16_t>(1u << PartChannel(p));
  if (kind == kControlChange && d1 == kSustain) {
    sustain_ = d2 >= 64;
    if (sustain_) pedalChannels_ |= channels;
    else channels |= std::exchange(pedalChannels_, uint16_t{0});
  }
  for (int ch = 0; ch < 16; ++ch)
    if (channels & (1u << ch)) target.PlayThrough(static_cast<uint8_t>(kind | ch), d1, d2);
}

void KeyboardRouter::Sound(int note, int velocity, Part part, KeyboardTarget& target) {
  if (!PartOn(part)) return;
  const auto p = static_cast<size_t>(part);
  const int shifted = note + 12 * Octave(part);
  if (shifted < 0 || shifted > 127) return;
  const auto n = static_cast<size_t>(note);
  keyParts_[n] = static_cast<uint8_t>(keyParts_[n] | 1u << p);
  keyChannel_[n][p] = static_cast<uint8_t>(PartChannel(part));
  keyNote_[n][p] = static_cast<uint8_t>(shifted);
  target.PlayThrough(static_cast<uint8_t>(kNoteOn | keyChannel_[n][p]), keyNote_[n][p], static_cast<uint8_t>(velocity));
}

// The key's note-offs go where its note-ons went.
void KeyboardRouter::LetGo(int note, KeyboardTarget& target) {
  const auto n = static_cast<size_t>(note);
  for (size_t p = 0; p < kPartCount; ++p)
    if (keyParts_[n] & (1u << p)) target.PlayThrough(static_cast<uint8_t>(kNoteOff | keyChannel_[n][p]), keyNote_[n][p], 0);
  keyParts_[n] = 0;
}

void KeyboardRouter::Key(int note, int velocity, bool down, KeyboardTarget& target) {
  const auto n = static_cast<size_t>(note);
  if (!down) {
    if (chordKeys_.test(n)) {
      chordKeys_.reset(n);
      if (detector_.KeyUp(note)) target.ChordChanged(detector_.Current());
    }
    LetGo(note, target);
    return;
  }
  LetGo(note, target);  // a key that is already sounding (a second note-on) is ended first
  if (splitOn_ && note <= splitNote_) {
    chordKeys_.set(n);
    if (detector_.KeyDown(note)) target.ChordChanged(detector_.Current());
    Sound(note, velocity, Part::Left, target);
    return;
  }
  Sound(note, velocity, Part::Right1, target);
  Sound(note, velocity, Part::Right2, target);
}

void KeyboardRouter::ReleaseAll(KeyboardTarget& target) {
  for (int n = 0; n < 128; ++n) LetGo(n, target);
  if (sustain_) ToParts(kControlChange, kSustain, 0, target);
  sustain_ = false;
  chordKeys_.reset();
  detector_.SetMemory(chordMemory_);
  if (detector_.ReleaseAll()) target.ChordChanged(detector_.Current());
}

}  // namespace vambrio::keyboard
