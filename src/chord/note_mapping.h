// How a source channel's notes follow a chord: whether the channel sounds on
// it, and which note each written note becomes.
//
// Everything here is pure and allocation-free: no lock, no shared state,
// tables worked out at compile time. MapNote answers one note (about 25 ns);
// a ChannelMapping made once per chord change answers each further note of
// the channel with a look-up and an addition. Both are safe to call from an
// audio callback.
//
//   const SectionRules rules = chordRules.ForSection("Main A");   // once per section
//   const ChannelMapping mapping(rules[channel], chord);           // once per chord
//   if (mapping.Sounds()) out = mapping.Map(note);                 // per note
//   ... or, for a single note: MapNote(rules[channel], note, chord)
//
// The rhythm channels' notes never move; whether a rhythm channel sounds on a
// chord follows its masks like any channel's (a crash cymbal that its author
// enabled on no chord type plays only before the first chord, by auto start).
//
// What a note becomes, step by step:
//  1. Rhythm parts (8 Rhythm Sub, 9 Rhythm Main) are never transposed.
//  2. The range: in the newer layout a note below the middle range's lowest
//     note uses the low range's rule, above its highest the high range's.
//  3. Over the recorded chord itself (same root and type, and no slash bass
//     for a bass-on range) every note plays exactly as written.
//  4. The table (NTT) maps the note's interval above the recorded root to an
//     interval above the new root (see the tables in note_mapping.cpp):
//     chord tones by degree (root, third, fifth, seventh to the new chord's),
//     other notes by their degree in the recorded chord's scale to the same
//     degree of the new chord's scale; the chord table then moves each note
//     to the nearest tone of the new chord (upward on a tie); bypass keeps
//     every interval. A bass-on range plays the slash chord's bass note for
//     the recorded root (nearest the root it replaces, downward on a tie).
//  5. The transposition (NTR): root transpose moves the result in parallel to
//     the new root, upward when the new root lies between the recorded root
//     and the high key (counting upward from the recorded root), else
//     downward: with root C and high key F, roots C..F go up 0..5
//     semitones and F#..B down 6..1. Root fixed, and guitar, put each note
//     in the octave nearest to the written note (downward on a tie).
//  6. Limits: a range whose limits span at least an octave (high - low >= 11)
//     folds the note by octaves into low..high; every result lies in 0..127.
#pragma once

#include <array>
#include <cstdint>

#include "chord/channel_rule.h"
#include "chord/chord_name.h"

namespace vambrio {

// True when the channel sounds on the chord: the chord-mute bit of its type
// and the note-mute bit of its root are both set. A silent channel's notes
// are written with velocity 0.
bool ChannelSounds(const ChannelRule& rule, const Chord& chord);

// The note, 0..127, that sourceNote (any value; taken into 0..127) of this
// channel plays over the chord.
int MapNote(const ChannelRule& rule, int sourceNote, const Chord& chord);

// The range whose rule a source note follows.
RangeIndex RangeOf(const ChannelRule& rule, int sourceNote);

// What a note sounding on this channel does when the chord changes.
inline Rtr RetriggerRule(const ChannelRule& rule, int sourceNote) {
  return rule.Range(RangeOf(rule, sourceNote)).rtr;
}

// The part whose box mutes the channel: 8..15, or kNoPart.
inline int PartOf(const ChannelRule& rule) { return rule.part; }

// How the notes at one interval above the recorded root move over a chord.
struct IntervalMove {
  enum Kind : uint8_t { AsWritten, Transpose, Nearest };
  Kind kind = AsWritten;
  int8_t value = 0;  // Transpose: semitones to add; Nearest: the pitch class to take, in the nearest octave
};

// A channel's rule made ready for one chord: each of its notes then maps with
// a table look-up and an addition, exactly as MapNote maps it. Make one per
// channel when the chord changes (it keeps a copy of the rule).
class ChannelMapping {
 public:
  ChannelMapping() = default;
  ChannelMapping(const ChannelRule& rule, const Chord& chord);
  bool Sounds() const { return sounds_; }   // ChannelSounds(rule, chord)
  int Map(int sourceNote) const;            // MapNote(rule, sourceNote, chord)

 private:
  ChannelRule rule_;
  bool sounds_ = false;
  std::array<std::array<IntervalMove, 12>, 3> moves_{};  // per range, per interval above the recorded root
};

}  // namespace vambrio
