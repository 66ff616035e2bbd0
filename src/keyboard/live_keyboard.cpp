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
  const auto index = static_cast<int>(control);
  const live::LiveState state = arranger_.State();
  switch (control) {
    case Control::StartStop: Post(live::Command(Kind::StartStop)); break;
    case Control::SyncStart: Post(live::Command(Kind::SyncStart, state.syncArmed ? 0 : 1)); break;
    case Control::AutoFill: Post(live::Command(Kind::AutoFill, state.autoFill ? 0 : 1)); break;
    case Control::Break: Post(live::Command(Kind::Break)); break;
    case Control::Tempo: {
      live::LiveCommand c = live::Command(Kind::Tempo);
      c.tempo = midi::MicrosPerQuarter(TempoOfControllerValue(value));
      Post(c);
      break;
    }
    case Control::TapTempo: break;  // taps are timed by the window
    case Control::Registration1: case Control::Registration2: case Control::Registration3: case Control::Registration4:
    case Control::Registration5: case Control::Registration6: case Control::Registration7: case Control::Registration8:
      if (registrationPresses_) {
        const auto number = static_cast<uint32_t>(index - static_cast<int>(Control::Registration1));
        const uint32_t seen = registrationPresses_->load(std::memory_order_relaxed);
        registrationPresses_->store(((seen >> 3) + 1) << 3 | number, std::memory_order_release);
      }
      break;
    default:
      if (control >= Control::IntroA && control <= Control::IntroD) {
        Post(live::Command(Kind::Intro, index - static_cast<int>(Control::IntroA)));
      } else if (control >= Control::MainA && control <= Control::MainD) {
        Post(live::Command(Kind::Main, index - static_cast<int>(Control::MainA)));
      } else if (control >= Control::EndingA && control <= Control::EndingD) {
        Post(live::Command(Kind::Ending, index - static_cast<int>(Control::EndingA)));
      }
      break;
  }
}

double TempoOfControllerValue(int value) { return 40.0 + 210.0 * std::clamp(value, 0, 127) / 127.0; }

}  // namespace vambrio::keyboard
