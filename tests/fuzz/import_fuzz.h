// One fuzz input for a lead-sheet importer: whatever bytes a user may import
// end in songs or errors, never in a crash, and every song imported writes
// a chart that the chart reader reads back bar for bar, transposed and
// fitted to a style as `arrange` fits it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "songs/chart_text.h"
#include "songs/import.h"
#include "songs/ireal.h"

namespace vambrio::fuzz {

inline std::string CheckSongs(const songs::Imported& in) {
  for (const songs::ImportedSong& song : in.songs) {
    if (!song.Ok()) continue;
    arranger::Chart chart = song.chart;
    songs::TransposeChart(chart, 5);
    const std::string text = songs::WriteChart(chart);
    auto read = arranger::ReadChart(text);
    if (auto* e = std::get_if<arranger::ChartError>(&read)) return "a written chart does not read back: " + e->Text();
    if (std::get<arranger::Chart>(read).bars.size() != chart.bars.size()) return "a written chart lost bars";
    songs::FitChart(chart, {"Intro A", "Main A", "Main B", "Fill In AA", "Ending A"}, 3);
  }
  return "";
}

// `kind`: "ireal" (the input is a link's text after "irealb://", and also a
// music string), "chordpro" or "musicxml" (also .mxl bytes).
inline std::string FuzzImport(const uint8_t* data, size_t size, std::string_view kind) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (kind == "ireal") {
    std::string finding = CheckSongs(songs::ImportBytes("irealb://" + std::string(bytes), "link.txt"));
    if (!finding.empty()) return finding;
    songs::Imported music;
    music.songs.push_back(songs::MakeSong(songs::ReadIrealMusic(bytes, {}), {}));
    return CheckSongs(music);
  }
  return CheckSongs(songs::ImportBytes(bytes, kind == "chordpro" ? "song.cho" : "score.musicxml"));
}

}  // namespace vambrio::fuzz
