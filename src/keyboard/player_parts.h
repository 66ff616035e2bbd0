// The sounds of the player's own parts (Right 1, Right 2, Left) and the
// One Touch Settings that set them up, in forms that cross to the thread
// that plays without allocating: a part's voice and volume packed in one
// word, a setting as a fixed list of channel messages.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "keyboard/keyboard_router.h"

namespace vambrio {
struct OneTouchSetting;
}

namespace vambrio::keyboard {

// A part's voice and volume; -1 where nothing is set (the synthesizer's own).
struct PartSound {
  int bankMsb = 0;
  int bankLsb = 0;
  int program = -1;  // 0..127
  int volume = -1;   // 0..127
  bool HasVoice() const { return program >= 0; }
  friend bool operator==(const PartSound&, const PartSound&) = default;

  uint32_t Packed() const;
  static PartSound Unpack(uint32_t word);
};

// The sounds of the three parts, for any thread.
class PartSounds {
 public:
  PartSounds() {
    for (auto& s : sounds_) s.store(PartSound{}.Packed(), std::memory_order_relaxed);
  }
  void Set(Part part, const PartSound& sound) { sounds_[static_cast<size_t>(part)].store(sound.Packed(), std::memory_order_relaxed); }
  PartSound Get(Part part) const { return PartSound::Unpack(sounds_[static_cast<size_t>(part)].load(std::memory_order_relaxed)); }

 private:
  std::array<std::atomic<uint32_t>, kPartCount> sounds_;
};

// A One Touch Setting as the player's parts receive it: its channel messages
// in file order on the setting's own channels (1 Right 1, 2 Right 2, 3
// Right 3, 4 Left, counted from 0), and the sound it gives each part.
struct PartSetup {
  static constexpr size_t kMaxMessages = 256;
  struct Message {
    uint8_t status = 0, data1 = 0, data2 = 0;
  };
  int setting = -1;  // 0..3; -1: none
  uint16_t count = 0;
  std::array<Message, kMaxMessages> messages{};
  std::array<PartSound, kPartCount> sounds{};
  std::array<bool, kPartCount> hasSound{};  // the setting gives that part a voice
};

// The setting `index` (0..3) of a style; messages beyond the room are left out.
PartSetup SetupOf(const OneTouchSetting& setting, int index);

// The setting's channel for a part: Right 1 on 0, Right 2 on 1, Left on 3.
int SettingChannel(Part part);

}  // namespace vambrio::keyboard
