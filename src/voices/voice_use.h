// Which voices a style plays, channel by channel: the part each channel
// belongs to (from the chord rules), the range of its notes, and each bank
// MSB/LSB and program in force when it plays notes. Read once per loaded
// style, from the setup events in front of the first section (with the
// player's own drum setup on channels 9 and 10 after them) and every section.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

namespace vambrio {
struct StyleModel;
}

namespace vambrio::voices {

struct VoiceRequest {
  uint8_t msb = 0;
  uint8_t lsb = 0;
  uint8_t program = 0;
  friend bool operator==(const VoiceRequest&, const VoiceRequest&) = default;
};

struct ChannelVoiceUse {
  uint8_t channel = 0;    // 0..15
  int part = -1;          // destination part 8..15 (chord/channel_rule.h), -1: none
  uint32_t noteCount = 0;
  uint8_t lowNote = 127, highNote = 0, medianNote = 60;
  std::bitset<128> notesPlayed;
  std::vector<VoiceRequest> requests;  // in the order they first play notes
};

struct StyleVoiceUse {
  std::vector<ChannelVoiceUse> channels;  // the channels that play notes, by channel number

  const ChannelVoiceUse* Find(int channel) const;
  // Bit n set: channel n plays notes.
  uint16_t PlayingChannels() const;
};

StyleVoiceUse GatherVoiceUse(const StyleModel& m);

}  // namespace vambrio::voices
