#include "keyboard/live_keyboard.h"

#include <algorithm>
#include <cmath>

#include "midi/tempo_map.h"

namespace vambrio::keyboard {

using Kind = live::LiveCommand::Kind;

void LiveKeyboard::Post(const live::LiveCommand& command) { arranger_.Post(command, live::Producer::Keyboard); }

void LiveKeyboard::ChordChanged(const std::optional<Chord>& chord) {
  live::LiveCommand c = live::Command(chord ? Kind::Chord : Kind::NoChord);
  if (chord) c.chord = *chord;
  Post(c);
  chord_.store(chord ? chord->root | chord->type << 4 | (chord->bass + 1) << 10 : -1, std::memory_order_relaxed);
  given_.fetch_add(1, std::memory_order_release);
}

std::optional<Chord> LiveKeyboard::LastChord() const {
  const int32_t packed = chord_.load(std::memory_order_relaxed);
  if (packed < 0) return std::nullopt;
  return Chord{packed & 0xF, (packed >> 4) & 0x3F, (packed >> 10) - 1};
}

void LiveKeyboard::ControlPressed(Control control, int value) {
  const live::ControlRow& row = live::RowOf(control);
  switch (row.press) {
    case live::Press::Gives: Post(live::Command(row.command, row.variation)); break;
    case live::Press::Toggles: {
      const live::LiveState state = arranger_.State();
      const bool on = row.command == Kind::SyncStart ? state.syncArmed : state.autoFill;
      Post(live::Command(row.command, on ? 0 : 1));
      break;
    }
    case live::Press::SetsTempo: {
      live::LiveCommand c = live::Command(row.command);
      c.tempo = midi::MicrosPerQuarter(TempoOfControllerValue(value));
      Post(c);
      break;
    }
    case live::Press::Window: break;  // a tap is timed by the window, a song chosen by it
    case live::Press::Recalls:
      if (registrationPresses_) {
        const auto number = static_cast<uint32_t>(row.variation);
        const uint32_t seen = registrationPresses_->load(std::memory_order_relaxed);
        registrationPresses_->store(((seen >> 3) + 1) << 3 | number, std::memory_order_release);
      }
      break;
  }
}

double TempoOfControllerValue(int value) { return 40.0 + 210.0 * std::clamp(value, 0, 127) / 127.0; }

}  // namespace vambrio::keyboard
