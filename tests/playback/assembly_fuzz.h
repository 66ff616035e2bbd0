// Assembling every section of a style that loads, with the structure of each
// assembled file checked: the fuzz target and the tests share this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "loading/scan.h"
#include "model/style_model.h"
#include "playback/assembly.h"
#include "smf_check.h"

namespace vambrio::test {

// Playback choices taken from a number, so that inputs reach every option.
inline PlayChoices ChoicesFrom(uint32_t bits) {
  PlayChoices c;
  for (size_t k = 0; k < 8; ++k) c.Parts[k] = (bits >> k) & 1 ? 0 : 1;
  c.Minor = (bits >> 8) & 1;
  c.IncludeSysex = !((bits >> 9) & 1);
  c.XgSystemOn = (bits >> 10) & 1;
  return c;
}

// Assembles each section of a scanned style in turn, as "All Sections" plays
// them, and checks each file's structure. Returns what was wrong with the
// first bad assembly, or "". `sections` counts the assemblies.
inline std::string AssembleScannedSections(StyleModel& m, const PlayChoices& choices, int* sections = nullptr) {
  SilentErrorSink errors;
  for (int16_t s = 0; s < SectionCount(m); ++s) {
    m.CurrentSectionName = m.SectionName[s];
    if (!AssembleSingleTrack(m, s, choices, errors)) return "section " + std::to_string(s) + ": assembly failed";
    if (sections) ++*sections;
    const size_t length = static_cast<size_t>(m.OutPos) + 1;
    if (length > m.OutData.size()) return "section " + std::to_string(s) + ": OutPos beyond the buffer";
    std::string error = SmfStructureError(m.OutData.data(), length);
    if (!error.empty()) return "section " + std::to_string(s) + ": " + error;
  }
  return "";
}

// The bytes in a fresh model, as loading reads a file.
inline StyleModel ModelOfBytes(const uint8_t* data, size_t size) {
  StyleModel m = MakeStartupModel();
  m.StyleData.assign(data, data + size);
  m.FileSize = static_cast<int32_t>(size);
  m.OutData.assign(size + 101, 0);
  return m;
}

// Loads the bytes as the window does (in memory) and, when the scan accepts
// them, assembles each section (see AssembleScannedSections); "" also for
// inputs that do not load.
inline std::string AssembleEverySection(const uint8_t* data, size_t size, bool gmPlayer, uint32_t choiceBits,
                                        int* sections = nullptr) {
  StyleModel m = ModelOfBytes(data, size);
  SilentErrorSink errors;
  if (!ScanStyle(m, gmPlayer, errors)) return "";
  PlayChoices choices = ChoicesFrom(choiceBits);
  choices.GmPlayer = gmPlayer;
  return AssembleScannedSections(m, choices, sections);
}

}  // namespace vambrio::test
