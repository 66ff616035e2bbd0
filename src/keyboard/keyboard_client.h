// The player's keyboard as a client of the audio callback (or of the MIDI
// sending thread, which drives clients the same way): once per block it
// takes what the input ports received, lets the router decide what each
// message means, puts the right hand's notes into the block at its start,
// and hands chords and control presses on to the next target on the same
// thread, before the inner client (the live arranger) makes the block's
// music, so that a chord reaches the arranger within the block it arrived in.
//
// It also keeps the player's parts sounding as set: each part's voice and
// volume go out when they change and again after the inner client reset the
// synthesizer (a system exclusive message) or changed a part's program; a One
// Touch Setting recalled goes out whole at the start of the next block and,
// with OTS Link, the setting of a Main goes out on the bar line where the
// arranger starts that Main (the client hears the arranger's section markers).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "keyboard/keyboard_router.h"
#include "keyboard/player_parts.h"
#include "midi/midi_ports.h"
#include "realtime/meta_tap.h"
#include "realtime/realtime_client.h"
#include "realtime/spsc_queue.h"

namespace vambrio::keyboard {

class KeyboardClient final : public realtime::RealtimeClient, public realtime::MetaTap, private KeyboardTarget {
 public:
  static constexpr size_t kMaxInputs = 4;
  static constexpr int kLinkedSettings = 4;  // Main A-D recall settings 1-4

  // `next` gets chords, control presses, the chosen split and what was
  // learned (called on the block's thread); `inner` (optional) then makes the
  // block. `sounds` (optional): the parts' sounds, shared with other threads.
  KeyboardClient(KeyboardRouter& router, KeyboardTarget& next, realtime::RealtimeClient* inner = nullptr,
                 PartSounds* sounds = nullptr);

  // Before the client is attached. False when all places are taken.
  bool AddInput(platform::MidiInPort* port);

  // Whether the keyboard is listened to (any thread; on at first). While it
  // is not, what the inputs receive is read and dropped, and turning it off
  // lets go of every key and the pedal.
  void SetListening(bool on) { listening_.store(on, std::memory_order_relaxed); }

  // Before the client is attached: the settings Main A-D recall with OTS
  // Link, and the one in force (sent in the first block).
  void SetLinkedSetups(const std::array<PartSetup, kLinkedSettings>& setups) { linked_ = setups; }
  void SetSetupInForce(const PartSetup& setup) { last_ = setup; resend_ = setup.setting >= 0; }
  // Any thread.
  void SetOtsLink(bool on) { link_.store(on, std::memory_order_relaxed); }
  // One thread (the window's): the setting goes out at the start of the next
  // block; false when two are already waiting.
  bool PostSetup(const PartSetup& setup) { return setups_.TryPush(setup); }
  // The setting sent last (-1: none) and a count that moves with each recall.
  int Recalled() const { return recalled_.load(std::memory_order_relaxed); }
  uint32_t Recalls() const { return recalls_.load(std::memory_order_acquire); }
  // Before the client is attached: who else hears the arranger's markers.
  void SetMetaNext(realtime::MetaTap* next) { metaNext_ = next; }

  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override;
  void Meta(int64_t sample, int64_t tick, uint8_t type, const uint8_t* data, uint32_t size) override;

 private:
  void ChordChanged(const std::optional<Chord>& chord) override { next_.ChordChanged(chord); }
  void PlayThrough(uint8_t status, uint8_t data1, uint8_t data2) override;
  void ControlPressed(Control control, int value) override { next_.ControlPressed(control, value); }
  void SplitChosen(int note) override { next_.SplitChosen(note); }
  void Learned(Control control, LearnedKey key) override { next_.Learned(control, key); }
  void ReadInputs();
  void Apply(const PartSetup& setup, uint32_t at, realtime::RealtimeEventSink& events, bool recall);
  void KeepSounds(uint32_t at, realtime::RealtimeEventSink& events);
  void AfterInner(size_t first, realtime::RealtimeEventSink& events);

  KeyboardRouter& router_;
  KeyboardTarget& next_;
  realtime::RealtimeClient* inner_;
  std::array<platform::MidiInPort*, kMaxInputs> inputs_{};
  size_t inputCount_ = 0;
  realtime::RealtimeEventSink* block_ = nullptr;  // during Process
  std::atomic<bool> listening_{true};
  PartSounds ownSounds_;
  PartSounds& sounds_;
  std::atomic<bool> link_{false};
  realtime::SpscQueue<PartSetup, 2> setups_;
  std::atomic<int> recalled_{-1};
  std::atomic<uint32_t> recalls_{0};
  realtime::MetaTap* metaNext_ = nullptr;

  // The block thread's own.
  bool wasListening_ = true;
  std::array<PartSetup, kLinkedSettings> linked_{};
  PartSetup last_{};     // the setting sent last, sent again after a reset
  bool resend_ = false;  // send last_ at the start of the next block
  static constexpr uint32_t kNothingSent = 0xFFFFFFFEu;
  std::array<uint32_t, kPartCount> sent_{kNothingSent, kNothingSent, kNothingSent};  // PartSound::Packed
  std::array<int, kPartCount> sentChannel_{-1, -1, -1};
  int64_t blockStart_ = 0;
  int mainStarted_ = -1;  // a Main started at mainSample_: its variation
  int64_t mainSample_ = 0;
};

}  // namespace vambrio::keyboard
