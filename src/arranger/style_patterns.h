// A loaded style read once into what the arranger plays: the setup events in
// front of the first section and, per section, its events with their ticks
// inside the section, its length in whole bars and the chord rules of its
// channels.
//
// A section runs from its marker to the next section's marker (the last one
// to End of Track). Its length is taken in whole bars of the style's time
// signature: a remainder shorter than a sixteenth note is dropped (slack
// after the last bar), a longer one is filled up with rest to the next bar
// line, and a section is at least one bar long. Note offs that fall at or
// after the section's end come at its end; no other event of a section
// comes at or after it. Meta events of the sections (their markers, tempo
// and text) are left out: the arranger writes its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arranger/harmony.h"

namespace vambrio {
struct StyleModel;
}

namespace vambrio::arranger {

struct PatternEvent {
  uint32_t tick = 0;      // from the section's start (the setup's events: 0)
  uint8_t status = 0;     // channel status, F0/F7, or FF
  uint8_t metaType = 0;
  uint8_t data[2] = {0, 0};  // a channel message's data bytes
  uint32_t payload = 0;   // sysex and meta: first byte in StylePatterns::payloads
  uint32_t size = 0;      // sysex and meta: payload bytes; channel: data bytes

  bool IsNoteOn() const { return (status >> 4) == 0x9 && data[1] != 0; }
  bool IsNoteOff() const { return (status >> 4) == 0x8 || ((status >> 4) == 0x9 && data[1] == 0); }
};

struct SectionPattern {
  std::string name;
  uint32_t length = 0;  // ticks: bars × the bar's length
  uint32_t bars = 0;
  std::vector<PatternEvent> events;  // in tick order, as the track holds them at equal ticks
  SectionHarmony harmony;
};

// The classic player's choices that shape the setup.
struct SetupChoices {
  bool includeSysex = true;  // the style's system-exclusive events
  bool xgSystemOn = false;   // the XG System On message first
};

struct StylePatterns {
  uint16_t division = 480;
  int beatsPerBar = 4;
  uint32_t beatLength = 480;  // ticks of one beat (the time signature's denominator note)
  uint32_t barLength = 1920;
  uint32_t tempo = 500000;    // the style's first tempo, microseconds a quarter note
  std::vector<PatternEvent> setup;  // emitted in order at the start
  std::vector<SectionPattern> sections;
  std::vector<uint8_t> payloads;

  // The index of the section with exactly this name, or -1.
  int Find(std::string_view name) const;
  // "Intro A, Main A, ..."
  std::string SectionList() const;
};

// Reads a style that loaded and scanned without fault. The setup holds, in
// order: the XG System On message (when chosen), the events in front of the
// first section except notes, tempo, markers and texts (system-exclusive
// ones only when chosen), then the classic drum setup (bank 127/0 and
// program 0 on channels 10 and 9).
StylePatterns ReadStylePatterns(const StyleModel& m, const SetupChoices& choices);

}  // namespace vambrio::arranger
