// A registration: everything the player sets up for a song, kept so that one
// press brings it all back. Eight make a bank; banks are kept as files.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace vambrio::registration {

inline constexpr int kBankSize = 8;

// One of the player's own parts (Right 1, Right 2, Left).
struct PartVoice {
  bool on = false;
  int bankMsb = 0;
  int bankLsb = 0;
  int program = 0;  // 0..127
  int volume = 100; // 0..127
  int octave = 0;   // -2..2
  bool operator==(const PartVoice&) const = default;
};

enum class Part { Right1, Right2, Left };
inline constexpr int kPartCount = 3;

struct Registration {
  std::string styleFile;              // as it was chosen; empty: none
  double tempo = 0;                   // quarter notes a minute; 0: the style's
  std::string section = "Main A";     // the section selected
  std::array<bool, 8> accompanimentParts{true, true, true, true, true, true, true, true};
  bool otsLink = false;
  std::array<PartVoice, kPartCount> voices;  // by Part
  int splitPoint = 54;                // the highest key of the left hand
  bool chordMemory = true;            // the chord holds when the left hand lets go
  bool autoFill = true;
  std::optional<std::string> chord;   // the chosen chord's name ("Bbm7"); none: no chord
  std::string voiceMap;               // the voice map's settings, as that map writes them
  std::string latency = "normal";     // low, normal or safe
  bool operator==(const Registration&) const = default;
};

struct Bank {
  std::array<std::optional<Registration>, kBankSize> entries;  // an empty one holds nothing ("slots" is a Qt keyword)
  bool operator==(const Bank&) const = default;
};

}  // namespace vambrio::registration
