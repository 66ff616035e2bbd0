// What the player's MIDI keyboard means: the keys at or below the split
// point name chords (fingered chord detection) and, with the Left part on,
// also play it; the keys above it play Right 1 and, layered, Right 2 (each
// part that is on, on its own channel and octave) with their velocities;
// the sustain pedal, pitch bend and the other controllers reach every part
// that is on; messages learned for the arranger's controls (a pad, a key, a
// controller) press those controls.
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
#include "live/arranger_controls.h"
#include "midi/midi_message.h"

namespace vambrio::keyboard {

inline constexpr int kDefaultSplitNote = 54;  // F#3: the keys up to it name chords

// The player's own parts. Right 1 plays on the channel chosen for the right
// hand (channel 1 unless changed); Right 2 and Left have channels 2 and 4, as
// the styles' One Touch Settings set them up.
enum class Part : uint8_t { Right1, Right2, Left };
inline constexpr int kPartCount = 3;
inline constexpr int kRight2Channel = 1;  // counted from 0
inline constexpr int kLeftChannel = 3;
const char* PartName(Part part);  // "Right 1", "Right 2", "Left"

// The arranger's controls that MIDI messages can press, and their names in "Sound.ini".
using live::Control;
using live::ControlByName;
using live::ControlName;
using live::kControlCount;

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
  // Right 1 is on and the others off at first; octaves -2..2 (0 at first).
  void SetPartOn(Part part, bool on) { partOn_[static_cast<size_t>(part)] = on; }
  void SetOctave(Part part, int octave) { octave_[static_cast<size_t>(part)] = octave < -2 ? -2 : octave > 2 ? 2 : octave; }
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
  bool PartOn(Part part) const { return partOn_[static_cast<size_t>(part)]; }
  int Octave(Part part) const { return octave_[static_cast<size_t>(part)]; }
  int PartChannel(Part part) const {
    return part == Part::Right1 ? rightChannel_.load() : part == Part::Right2 ? kRight2Channel : kLeftChannel;
  }
  // Whether "set split" or "learn" still waits for its key (any thread).
  bool SetSplitArmed() const { return setSplitArmed_; }
  std::optional<Control> LearnArmed() const {
    const int armed = learnArmed_;
    return armed < 0 ? std::nullopt : std::optional<Control>(static_cast<Control>(armed));
  }

  // Counts the presses of each learned control (any thread reads it): a
  // window that acts on a control itself sees the count move.
  uint32_t Presses(Control control) const {
    return presses_[static_cast<size_t>(control)].load(std::memory_order_acquire);
  }

  // One message from a keyboard (Handle's thread only). A System Reset (FF,
  // also what a lost port delivers) lets go of every key and the pedal.
  void Handle(const platform::MidiMessage& message, KeyboardTarget& target);

 private:
  bool TakeModes(const platform::MidiMessage& m, KeyboardTarget& target);
  bool PressLearned(const platform::MidiMessage& m, KeyboardTarget& target);
  void Key(int note, int velocity, bool down, KeyboardTarget& target);
  void Sound(int note, int velocity, Part part, KeyboardTarget& target);
  void LetGo(int note, KeyboardTarget& target);
  void ToParts(uint8_t kind, uint8_t d1, uint8_t d2, KeyboardTarget& target);
  void ReleaseAll(KeyboardTarget& target);

  std::atomic<bool> splitOn_{true};
  std::atomic<int> splitNote_{kDefaultSplitNote};
  std::atomic<int> rightChannel_{0};
  std::atomic<bool> chordMemory_{true};
  std::atomic<bool> setSplitArmed_{false};
  std::atomic<int> learnArmed_{-1};
  std::array<std::atomic<uint16_t>, kControlCount> learned_{};
  std::array<std::atomic<bool>, kPartCount> partOn_{true, false, false};
  std::array<std::atomic<int>, kPartCount> octave_{0, 0, 0};
  std::array<std::atomic<uint32_t>, kControlCount> presses_{};

  // Handle's own state.
  ChordDetector detector_;
  std::bitset<128> chordKeys_;  // held keys that went to the chord detector
  // Held keys that sound: the parts each plays (bit per Part), and the
  // channel and note each part's note-on went to.
  std::array<uint8_t, 128> keyParts_{};
  std::array<std::array<uint8_t, kPartCount>, 128> keyChannel_{};
  std::array<std::array<uint8_t, kPartCount>, 128> keyNote_{};
  bool sustain_ = false;
  uint16_t pedalChannels_ = 0;  // the channels the held pedal went to
};

}  // namespace vambrio::keyboard
