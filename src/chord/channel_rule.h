// One source channel's complete chord rule, as a style's CASM block gives it
// for a section: the part it plays, on which chord roots and types it sounds,
// the chord it was recorded on, and for each of up to three note ranges how
// its notes follow a chord (NTR, NTT, high key, note limits) and what a
// sounding note does when the chord changes (RTR).
//
// Plain values only, so that a rule can be copied into real-time code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vambrio {

inline constexpr uint64_t kAllChordTypes = (uint64_t{1} << 34) - 1;
inline constexpr uint16_t kAllRoots = 0x0FFF;

// Destination parts (the byte of the entry; the window's part boxes 0..7
// are parts 8..15).
inline constexpr int kRhythmSub = 8;
inline constexpr int kRhythmMain = 9;
inline constexpr int kBassPart = 10;
inline constexpr int kChord1Part = 11;
inline constexpr int kChord2Part = 12;
inline constexpr int kPadPart = 13;
inline constexpr int kPhrase1Part = 14;
inline constexpr int kPhrase2Part = 15;
inline constexpr int kNoPart = -1;

// The parts' names, part kRhythmSub first, in the order of the window's part boxes.
inline constexpr std::array<const char*, 8> kPartNames = {"Rhythm Sub", "Rhythm Main", "Bass",     "Chord 1",
                                                          "Chord 2",    "Pad",         "Phrase 1", "Phrase 2"};

inline constexpr bool IsRhythmPart(int part) { return part == kRhythmSub || part == kRhythmMain; }

// Note transposition rule: how the notes move to the chord's root.
enum class Ntr : uint8_t {
  RootTranspose = 0,  // the shape moves in parallel to the root (an octave down above the high key)
  RootFixed = 1,      // each note stays nearest to where it was written
  Guitar = 2,         // read as root fixed with the chord table
};

// Note transposition table: how notes are fitted to the chord's type. The
// numbers are those of the newer entry layout; the older layout's bass table
// becomes Melody with bassOn.
enum class Ntt : uint8_t {
  Bypass = 0,
  Melody = 1,
  Chord = 2,
  MelodicMinor = 3,
  MelodicMinor5th = 4,
  HarmonicMinor = 5,
  HarmonicMinor5th = 6,
  NaturalMinor = 7,
  NaturalMinor5th = 8,
  Dorian = 9,
  Dorian5th = 10,
};
inline constexpr int kNttCount = 11;

// Retrigger rule: what a sounding note does when the chord changes.
enum class Rtr : uint8_t {
  Stop = 0,
  PitchShift = 1,
  PitchShiftToRoot = 2,
  Retrigger = 3,
  RetriggerToRoot = 4,
  NoteGenerator = 5,
};
inline constexpr int kRtrCount = 6;

// The rule of one note range.
struct RangeRule {
  Ntr ntr = Ntr::RootTranspose;
  Ntt ntt = Ntt::Melody;    // Chord when ntr is Guitar
  bool bassOn = false;      // the source root plays a slash chord's bass note
  uint8_t guitarMode = 0;   // with the guitar NTR: 0 all-purpose, 1 stroke, 2 arpeggio
  uint8_t highKey = 5;      // 0 = C .. 11 = B; roots above it move the shape an octave down
  uint8_t low = 0;          // note limits
  uint8_t high = 127;
  Rtr rtr = Rtr::PitchShift;
  friend bool operator==(const RangeRule&, const RangeRule&) = default;
};

enum class RangeIndex : uint8_t { Low = 0, Middle = 1, High = 2 };

struct ChannelRule {
  uint8_t sourceChannel = 0;     // 0..15
  char name[9] = "";             // the entry's 8 characters (trailing spaces kept)
  int8_t part = kNoPart;         // destination part 8..15; kNoPart for a channel that belongs to none
  uint16_t noteMute = kAllRoots;       // bit n set: sounds when the chord's root is pitch class n
  uint64_t chordMute = kAllChordTypes; // bit n set: sounds on chord type n
  bool autoStart = false;        // plays before the first chord (a drums-only start)
  uint8_t sourceRoot = 0;        // the chord the channel was recorded on
  uint8_t sourceType = 2;        // CMaj7 unless the entry says otherwise
  // Source notes below middleLow use the low range, above middleHigh the
  // high range, the rest the middle range. One range (0..127) in the older layout.
  uint8_t middleLow = 0;
  uint8_t middleHigh = 127;
  std::array<RangeRule, 3> ranges{};  // low, middle, high
  bool newLayout = false;        // read from a "Ctb2" entry
  bool fromEntry = false;        // false: the defaults of a channel without an entry

  const RangeRule& Range(RangeIndex r) const { return ranges[static_cast<size_t>(r)]; }
};

// The rule of a channel that has no entry for the section (or a style without
// chord rules): channels 9..16 (8..15 counted from 0) play their own part,
// recorded on CMaj7, root transpose, high key F, limits 0..127; bass and
// phrases with the melody table (the bass with bassOn), chords and pad with
// the chord table. Channels 1..8 belong to no part and follow the root in
// parallel (bypass table), as the classic player moves them.
ChannelRule DefaultChannelRule(int sourceChannel);

}  // namespace vambrio
