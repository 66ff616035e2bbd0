// What the player's MIDI keyboard means: the keys at or below the split
// point name chords (fingered chord detection), the keys above it play
// through to the sound source on the right hand's channel with their
// velocities, the sustain pedal and pitch bend, and messages learned for the
// arranger's controls (a pad, a key, a controller) press those controls.
//
// It runs where the music is made (the audio callback or the MIDI sending
// thread), on every message: nothing in Handle allocates, locks or waits.
// The settings and the "set split" and "learn" modes may be changed from
// another thread at any time; they are read once per message.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

#include "chord/chord_detect.h"
#include "platform/midi_message.h"

namespace vambrio::keyboard {

inline constexpr int kDefaultSplitNote = 54;  // F#3: the keys up to it name chords

// The arranger's controls that MIDI messages can press.
enum class Control : uint8_t {
  StartStop, SyncStart, IntroA, IntroB, IntroC, IntroD, MainA, MainB, MainC, MainD,
  Break, EndingA, EndingB, EndingC, EndingD, AutoFill, TapTempo,
  Tempo,  // a controller whose value sets the tempo
  Count
};
inline constexpr int kControlCount = static_cast<int>(Control::Count);

// The name a control is kept under in "Sound.ini" ("StartStop", "MainA", ...).
const char* ControlName(Control control);
std::optional<Control> ControlByName(const std::string& name);

// A learned message: its status with the channel (90..9F a key, B0..BF a
// controller, C0..CF a program change) and its first data byte. 0: none.
struct LearnedKey {
  uint8_t status = 0;
  uint8_t data = 0;
  bool Empty() const { return status == 0; }
  uint16_t Packed() const { return static_cast<uint16_t>(status << 8 | data); }
  static LearnedKey Unpack(uint16_t v) { return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v & 0xFF)}; }
  friend bool operator==(const LearnedKey&, const LearnedKey&) = default;
};
// As kept in "Sound.ini": "B0 40" (hexadecimal status and data), "" for none.
std::string LearnedKeyText(LearnedKey key);
std::optional<LearnedKey> ParseLearnedKey(const std::string& text);

// Where the keyboard's meaning goes; called from Handle's thread.
class KeyboardTarget {
 public:
  virtual ~KeyboardTarget() = default;
  virtual void ChordChanged(const std::optional<Chord>& chord) = 0;  // nothing: N.C. (chord memory off)
  virtual void PlayThrough(uint8_t status, uint8_t data1, uint8_t data2) = 0;
  virtual void ControlPressed(Control control, int value) = 0;  // value: the controller's, for Tempo
  virtual void SplitChosen(int note) = 0;                        // "set split": the key pressed
  virtual void Learned(Control control, LearnedKey key) = 0;
};

class KeyboardRouter {
 public:
  KeyboardRouter();

  // Settings (any thread).
  void SetSplitOn(bool on) { splitOn_ = on; }
  void SetSplitNote(int note) { splitNote_ = note; }
  void SetRightChannel(int channel) { rightChannel_ = channel & 0x0F; }
  void SetChordMemory(bool on) { chordMemory_ = on; }
  void SetLearned(Control control, LearnedKey key) { learned_[static_cast<size_t>(control)] = key.Packed(); }
  LearnedKey Learned(Control control) const { return LearnedKey::Unpack(learned_[static_cast<size_t>(control)]); }
  // The next key pressed sets the split point (and plays nothing).
  void ArmSetSplit() { setSplitArmed_ = true; }
  // The next key, controller or program change is learned for `control`.
  void ArmLearn(Control control) { learnArmed_ = static_cast<int>(control); }
  void CancelModes() {
    setSplitArmed_ = false;
    learnArmed_ = -1;
  }

  int SplitNote() const { return splitNote_; }
  bool SplitOn() const { return splitOn_; }
  int RightChannel() const { return rightChannel_; }
  bool ChordMemory() const { return chordMemory_; }
  // Whether "set split" or "learn" still waits for its key (any thread).
  bool SetSplitArmed() const { return setSplitArmed_; }
  std::optional<Control> LearnArmed() const {
    const int armed = learnArmed_;
    return armed < 0 ? std::nullopt : std::optional<Control>(static_cast<Control>(armed));
  }

  // One message from a keyboard (Handle's thread only). A System Reset (FF,
  // also what a lost port delivers) lets go of every key and the pedal.
  void Handle(const platform::MidiMessage& message, KeyboardTarget& target);

 private:
  bool TakeModes(const platform::MidiMessage& m, KeyboardTarget& target);
  bool PressLearned(const platform::MidiMessage& m, KeyboardTarget& target);
  void Key(int note, int velocity, bool down, KeyboardTarget& target);
  void ReleaseAll(KeyboardTarget& target);
  uint8_t Right(uint8_t kind) const { return static_cast<uint8_t>(kind | rightChannel_.load()); }

  std::atomic<bool> splitOn_{true};
  std::atomic<int> splitNote_{kDefaultSplitNote};
  std::atomic<int> rightChannel_{0};
  std::atomic<bool> chordMemory_{true};
  std::atomic<bool> setSplitArmed_{false};
  std::atomic<int> learnArmed_{-1};
  std::array<std::atomic<uint16_t>, kControlCount> learned_{};

  // Handle's own state.
  ChordDetector detector_;
  std::bitset<128> chordKeys_;  // held keys that went to the chord detector
  std::bitset<128> rightKeys_;  // held keys that play through (on rightChannel at their note-on)
  std::array<uint8_t, 128> rightKeyChannel_{};
  bool sustain_ = false;
};

}  // namespace vambrio::keyboard
