// What recalling a registration changes, as a pure function: the player's
// set-up now and the registration in, the changes to make out, each at once
// or at the next bar line. "Freeze" keeps the style and tempo, or the
// player's voices, as they are. While the accompaniment plays, a new style
// or section (and the tempo that comes with a new style) waits for the next
// bar line; voices and everything else change at once.
#pragma once

#include <vector>

#include "registration/registration.h"

namespace vambrio::registration {

struct Freeze {
  bool styleAndTempo = false;
  bool voices = false;
};

struct RecallChange {
  enum class What {
    Style, Tempo, Section, AccompanimentPart, OtsLink, Voice, SplitPoint, ChordMemory, AutoFill, Chord, VoiceMap,
    Latency,
  };
  enum class When { AtOnce, NextBarLine };
  What what = What::Style;
  When when = When::AtOnce;
  int index = 0;  // the accompaniment part (0..7) or the player's Part
  bool operator==(const RecallChange&) const = default;
};

// The changes, in the order to make them (the style before its section and
// tempo); the values are the registration's.
std::vector<RecallChange> PlanRecall(const Registration& now, const Registration& recalled, Freeze freeze, bool playing);

// The set-up once the changes are made.
Registration AfterRecall(const Registration& now, const Registration& recalled, Freeze freeze);

}  // namespace vambrio::registration
