// The keyboard driving the live arranger: chords and control presses become
// the arranger's commands, posted in the keyboard's own queue on the block's
// thread just before the arranger makes that block (the keyboard client calls
// it first); the window posts in a queue of its own at the same time.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "keyboard/keyboard_router.h"
#include "live/live_arranger.h"

namespace vambrio::keyboard {

class LiveKeyboard final : public KeyboardTarget {
 public:
  // registrationPresses (optional): counts the presses of learned
  // registration controls, the last one's number (0..7) in the low 3 bits.
  explicit LiveKeyboard(live::LiveArranger& arranger, std::atomic<uint32_t>* registrationPresses = nullptr)
      : arranger_(arranger), registrationPresses_(registrationPresses) {}

  void ChordChanged(const std::optional<Chord>& chord) override;
  void PlayThrough(uint8_t, uint8_t, uint8_t) override {}  // the keyboard client plays it
  void ControlPressed(Control control, int value) override;
  void SplitChosen(int) override {}
  void Learned(Control, LearnedKey) override {}

  // The last chord given, for other threads: nothing before the first one or after N.C.
  std::optional<Chord> LastChord() const;
  // Counts every chord given (N.C. included): tells another thread that the chord changed.
  uint32_t ChordsGiven() const { return given_.load(std::memory_order_acquire); }

 private:
  void Post(const live::LiveCommand& command);

  live::LiveArranger& arranger_;
  std::atomic<uint32_t>* registrationPresses_;
  std::atomic<int32_t> chord_{-1};  // root | type << 4 | (bass + 1) << 10, -1 for none
  std::atomic<uint32_t> given_{0};
};

// The tempo a controller's value 0..127 sets: 40 to 250 quarter notes a minute.
double TempoOfControllerValue(int value);

}  // namespace vambrio::keyboard
