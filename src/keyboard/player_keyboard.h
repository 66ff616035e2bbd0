// The player's MIDI keyboard as the Arranger plays it: the router with the
// player's settings, the input ports the keyboard is read from, whether it is
// listened to (a MIDI input is chosen), the right hand's voice, and for each
// live arranger the real-time client that puts the keyboard in front of it:
// attached to the sound source in the arranger's place, it reads the keys in
// every block, plays the right hand and gives the arranger its chords and
// learned controls before the arranger makes the block.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "keyboard/keyboard_router.h"
#include "keyboard/player_parts.h"
#include "midi/midi_ports.h"
#include "realtime/realtime_client.h"

namespace vambrio::live {
class LiveArranger;
}
namespace vambrio::realtime {
class MetaTap;
}

namespace vambrio::keyboard {

class KeyboardClient;
class LiveKeyboard;

inline constexpr int kDefaultRightVoice = 0;  // Acoustic Grand Piano

class PlayerKeyboard {
 public:
  // The ports (at most KeyboardClient::kMaxInputs; null ones are skipped)
  // must outlive the keyboard.
  explicit PlayerKeyboard(std::vector<platform::MidiInPort*> inputs);
  ~PlayerKeyboard();
  PlayerKeyboard(const PlayerKeyboard&) = delete;
  PlayerKeyboard& operator=(const PlayerKeyboard&) = delete;

  KeyboardRouter& Router() { return router_; }
  const KeyboardRouter& Router() const { return router_; }

  // Any thread. Not listening, the keyboard's messages are read and dropped.
  void SetListening(bool on);
  bool Listening() const { return listening_.load(); }
  // The input's name as the user chose it (the owner's thread), for the window.
  void SetInputName(std::string name) { inputName_ = std::move(name); }
  const std::string& InputName() const { return inputName_; }
  // A General MIDI program 0..127 for Right 1 (bank 0; its volume stays).
  void SetRightVoice(int program);
  int RightVoice() const { return sounds_.Get(Part::Right1).program; }
  // The parts' sounds (any thread); a recalled setting changes them too.
  void SetSound(Part part, const PartSound& sound) { sounds_.Set(part, sound); }
  PartSound Sound(Part part) const { return sounds_.Get(part); }

  // One Touch Settings (the owner's thread). The style's settings, which
  // Main A-D recall with OTS Link from the next client made on; a setting
  // recalled now (its messages go out in the next block, and again to the
  // next client); the last recalled (-1: none) and a count of recalls.
  void SetSettings(const std::vector<PartSetup>& setups);
  void RecallSetting(int index);
  void SetOtsLink(bool on);
  bool OtsLink() const { return link_; }
  int Recalled() const;
  uint32_t Recalls() const;

  // Learned registration controls pressed (the owner's thread): a count of
  // presses, the last one's number (0..7) in the low 3 bits.
  uint32_t RegistrationPresses() const { return registrationPresses_.load(std::memory_order_acquire); }

  // The client to attach in place of `arranger`, valid until the next call;
  // it hears the arranger's markers and hands them on to `metaNext`. Only
  // while no client of this keyboard is attached.
  realtime::RealtimeClient& ClientFor(live::LiveArranger& arranger, realtime::MetaTap* metaNext = nullptr);

  // The last chord the left hand gave (none before the first, or after N.C.),
  // and a count that moves with every chord given; for the window's thread.
  std::optional<Chord> LastChord() const;
  uint32_t ChordsGiven() const;

 private:
  KeyboardRouter router_;
  std::vector<platform::MidiInPort*> inputs_;
  std::atomic<bool> listening_{true};
  PartSounds sounds_;
  std::array<PartSetup, 4> settings_{};
  PartSetup inForce_{};
  bool link_ = false;
  std::atomic<uint32_t> registrationPresses_{0};
  uint32_t recallsBefore_ = 0;  // by the clients before the current one
  std::string inputName_;
  uint32_t chordsBefore_ = 0;  // given to the live arrangers before the current one
  std::unique_ptr<LiveKeyboard> target_;
  std::unique_ptr<KeyboardClient> client_;
};

}  // namespace vambrio::keyboard
