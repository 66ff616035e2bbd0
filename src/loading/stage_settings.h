// What a style brings for the player on stage, read from the chunks that may
// follow the chord rules behind the track:
//
// "OTSc" holds the four One Touch Settings, each an "MTrk" chunk of delta-0
// events that set up the player's own parts on channels 1-4: channel 1 is
// Right 1, 2 Right 2, 3 Right 3 and 4 Left (bank select, program, volume,
// pan, effect sends and more, with maker system-exclusive messages a General
// MIDI synthesizer ignores).
//
// "FNRc" holds the song records: "FNRP" entries of five fixed bytes (the
// tempo in microseconds per quarter note, three bytes, then the time
// signature's numerator and denominator) followed by the sub-chunks "Mnam"
// (song title), "Gnam" (genre), "Kwd1" and "Kwd2" (comma-separated keywords).
//
// A setting or an entry that does not hold together is skipped and counted;
// any bytes at all are read without fault. The classic load and scan do not
// look at these chunks.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vambrio {

struct StyleModel;

inline constexpr int kOtsCount = 4;
inline constexpr int kOtsPartCount = 4;

// "Right 1", "Right 2", "Right 3", "Left" for the parts 0-3 (channels 1-4).
const char* OtsPartName(int part);

// One channel message of a setting, as written.
struct OtsMessage {
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// What a setting gives one of the player's parts; -1 where it says nothing.
struct OtsPart {
  int bankMsb = -1;
  int bankLsb = -1;
  int program = -1;
  int volume = -1;
  int pan = -1;
  int reverb = -1;
  int chorus = -1;
  bool HasVoice() const { return program >= 0; }
};

struct OneTouchSetting {
  bool usable = false;  // false for a setting that was skipped
  std::array<OtsPart, kOtsPartCount> parts;
  std::vector<OtsMessage> messages;  // every channel message in file order
};

struct SongRecord {
  std::string title;
  std::string genre;
  std::vector<std::string> keywords;  // "Kwd1" then "Kwd2", split at commas
  uint32_t microsPerQuarter = 0;
  int numerator = 0;
  int denominator = 0;
  int Tempo() const;  // quarter notes per minute, rounded
};

struct StageSettings {
  bool hasOts = false;  // an "OTSc" chunk was found
  std::vector<OneTouchSetting> ots;  // in file order, a skipped one in its place
  int otsSkipped = 0;
  std::vector<SongRecord> songs;
  int songsSkipped = 0;
};

StageSettings ReadStageSettings(std::span<const uint8_t> file);
StageSettings ReadStageSettings(const StyleModel& m);

}  // namespace vambrio
