// What one style file contributes to the style library: the fields the
// library lists and searches, read the way the main window reads the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chord/chord_rules.h"
#include "loading/stage_settings.h"

namespace vambrio::library {

// The eight accompaniment parts, in the order of the window's part boxes.
using vambrio::kPartNames;

struct StyleSummary {
  std::string name;           // the style's name event, spaces trimmed
  std::string copyright;      // its copyright event, spaces trimmed
  int tempo = 0;              // as the main window shows it
  std::string timeSignature;  // "4/4", "6/8"
  std::string format;         // "SFF1", "SFF2", or empty when the file says neither
  std::vector<std::string> sections;
  uint8_t parts = 0;          // bit k: part k (kPartNames) plays a channel in the chord rules
  std::string error;          // why the file does not load; empty when it does
  std::string hash;           // content hash: 32 hex digits; empty when the file could not be read
  int64_t size = 0;           // bytes read
  std::vector<SongRecord> songs;  // the style's song records (title, genre, keywords, tempo)
};

// Reads and scans the style at path as "&Open Style" would (the bytes as
// they are on disk: no player-specific rewriting) and summarises it. Never
// throws: a file that cannot be read or walked has `error` set.
StyleSummary SummarizeStyleFile(const std::string& path);

// The format of a file already read: its "SFF1" or "SFF2" marker among the
// setup events (before setupEnd), else the kind of its chord-rule entries.
std::string FormatMarker(const std::vector<uint8_t>& bytes, int64_t setupEnd, const ChordRules& rules);

// The content hash of a byte image (XXH3, 128 bits, as 32 hex digits).
std::string ContentHash(const uint8_t* data, size_t size);

// "Rhythm Main, Bass, Pad" for a parts mask.
std::string PartList(uint8_t parts);

}  // namespace vambrio::library
