// How the notes of one section follow the chord: the chord engine's rules
// for the section's sixteen source channels, looked up once when the style
// is read, and the few questions the arranger asks of them while it plays.
// Every function here is pure and allocation-free.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "chord/chord_name.h"

namespace vambrio {
struct StyleModel;
}

namespace vambrio::arranger {

// Parts as the chord rules number them (the part switches 0..7 are parts 8..15).
inline constexpr int kRhythmSubPart = 8;
inline constexpr int kRhythmMainPart = 9;
inline constexpr int kNoPart = -1;

// What a sounding note does when the chord changes (the rules' numbering).
enum class Retrigger : uint8_t { Stop = 0, PitchShift, PitchShiftToRoot, Retrigger, RetriggerToRoot, NoteGenerator };

struct SectionHarmony {
  std::array<int8_t, 16> part{};  // 8..15, or kNoPart
};

SectionHarmony HarmonyFor(const StyleModel& m, std::string_view section);

inline int PartOf(const SectionHarmony& h, int channel) { return h.part[static_cast<size_t>(channel & 15)]; }
inline bool IsRhythm(const SectionHarmony& h, int channel) {
  const int part = PartOf(h, channel);
  return part == kRhythmSubPart || part == kRhythmMainPart;
}
// Whether the channel sounds on the chord (rhythm channels always do).
bool ChannelSounds(const SectionHarmony& h, int channel, const Chord& chord);
// The note, 0..127, that `note` of the channel plays over the chord.
int FollowNote(const SectionHarmony& h, int channel, int note, const Chord& chord);
Retrigger RetriggerOf(const SectionHarmony& h, int channel, int note);

}  // namespace vambrio::arranger
