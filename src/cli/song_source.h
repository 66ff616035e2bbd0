// What `arrange` and `import` read a song from: a chart, or a lead sheet of
// another format (an iReal Pro link or playlist file, ChordPro, MusicXML)
// imported on the way, one song of it chosen.
#pragma once

#include <optional>
#include <string>

#include "arranger/chart.h"

namespace vambrio::cli {

struct SongSource {
  arranger::Chart chart;
  std::string name;       // for messages: the file, or the file and the song
  bool imported = false;  // its sections are the import's own and are fitted to the style
};

// --transpose N, -11..11 (0 without it); false when malformed.
bool ReadTranspose(const std::optional<std::string>& value, int& semitones);

// Reads PATH ("-": standard input, a chart) and chooses the song `choice`
// (its number from 1, or its title; the first without). On failure prints
// the error and returns nothing.
std::optional<SongSource> ReadSongSource(const std::string& path, const std::optional<std::string>& choice,
                                         int transpose);

}  // namespace vambrio::cli
