// The chord rules and "Any chord" assembly of whatever bytes load: the fuzz
// target and the tests share this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "assembly_fuzz.h"
#include "chord/note_mapping.h"
#include "playback/any_chord_assembly.h"

namespace vambrio::test {

// Loads the bytes and, when the scan accepts them, assembles each section
// over the chord with the style's complete chord rules; every file must be
// well formed. Returns what was wrong with the first bad one, or "".
inline std::string AssembleEverySectionOverChord(const uint8_t* data, size_t size, bool gmPlayer, uint32_t choiceBits,
                                                 const Chord& chord) {
  StyleModel m = MakeStartupModel();
  m.StyleData.assign(data, data + size);
  m.FileSize = static_cast<int32_t>(size);
  m.OutData.assign(size + 101, 0);
  SilentErrorSink errors;
  if (!ScanStyle(m, gmPlayer, errors)) return "";
  const ChordRules rules = ReadChordRules(m);
  PlayChoices choices = ChoicesFrom(choiceBits);
  choices.GmPlayer = gmPlayer;
  for (int16_t s = 0; s < SectionCount(m); ++s) {
    m.CurrentSectionName = m.SectionName[s];
    if (!AssembleAnyChord(m, s, choices, rules, chord, errors)) return "section " + std::to_string(s) + ": assembly failed";
    const size_t length = static_cast<size_t>(m.OutPos) + 1;
    if (length > m.OutData.size()) return "section " + std::to_string(s) + ": OutPos beyond the buffer";
    std::string error = SmfStructureError(m.OutData.data(), length);
    if (!error.empty()) return "section " + std::to_string(s) + " over " + ChordName(chord) + ": " + error;
  }
  return "";
}

}  // namespace vambrio::test
