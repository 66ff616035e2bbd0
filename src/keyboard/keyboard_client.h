// The player's keyboard as a client of the audio callback (or of the MIDI
// sending thread, which drives clients the same way): once per block it
// takes what the input ports received, lets the router decide what each
// message means, puts the right hand's notes into the block at its start,
// and hands chords and control presses on to the next target on the same
// thread, before the inner client (the live arranger) makes the block's
// music, so that a chord reaches the arranger within the block it arrived in.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "keyboard/keyboard_router.h"
#include "platform/midi_ports.h"
#include "realtime/realtime_client.h"

namespace vambrio::keyboard {

class KeyboardClient final : public realtime::RealtimeClient, private KeyboardTarget {
 public:
  static constexpr size_t kMaxInputs = 4;

  // `next` gets chords, control presses, the chosen split and what was
  // learned (called on the block's thread); `inner` (optional) then makes the block.
  KeyboardClient(KeyboardRouter& router, KeyboardTarget& next, realtime::RealtimeClient* inner = nullptr);

  // Before the client is attached. False when all places are taken.
  bool AddInput(platform::MidiInPort* port);

  // Whether the keyboard is listened to (any thread; on at first). While it
  // is not, what the inputs receive is read and dropped, and turning it off
  // lets go of every key and the pedal.
  void SetListening(bool on) { listening_.store(on, std::memory_order_relaxed); }

  // The right hand's voice (any thread): a General MIDI program 0..127, sent
  // with bank 0 on the right hand's channel in the next block, and again
  // after any block in which the inner client sent a system exclusive
  // message (a GM or XG System On resets every channel's voice) or a program
  // change on that channel. -1 (the default): the synthesizer's own choice.
  void SetRightVoice(int program) { rightVoice_.store(program, std::memory_order_relaxed); }

  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override;

 private:
  void ChordChanged(const std::optional<Chord>& chord) override { next_.ChordChanged(chord); }
  void PlayThrough(uint8_t status, uint8_t data1, uint8_t data2) override;
  void ControlPressed(Control control, int value) override { next_.ControlPressed(control, value); }
  void SplitChosen(int note) override { next_.SplitChosen(note); }
  void Learned(Control control, LearnedKey key) override { next_.Learned(control, key); }
  void ReadInputs();
  void KeepRightVoice(realtime::RealtimeEventSink& events);

  KeyboardRouter& router_;
  KeyboardTarget& next_;
  realtime::RealtimeClient* inner_;
  std::array<platform::MidiInPort*, kMaxInputs> inputs_{};
  size_t inputCount_ = 0;
  realtime::RealtimeEventSink* block_ = nullptr;  // during Process
  std::atomic<bool> listening_{true};
  std::atomic<int> rightVoice_{-1};

  // The block thread's own.
  bool wasListening_ = true;
  int sentVoice_ = -1;
  int sentChannel_ = -1;
};

}  // namespace vambrio::keyboard
