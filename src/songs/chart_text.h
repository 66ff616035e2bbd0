// A chart written out as the chart reader reads it: the song's facts as
// "# name: value" lines, its tempo, and its bars, four to a line, each
// section starting a line.
#pragma once

#include <string>

#include "arranger/chart.h"

namespace vambrio::songs {

std::string WriteChart(const arranger::Chart& chart);

// Moves every chord (and the key tag) by `semitones`, symbols kept as written.
void TransposeChart(arranger::Chart& chart, int semitones);

// Fits the chart to a style: bars re-divided for `beats` a bar where their
// parts do not divide it, and each section the style lacks replaced by its
// nearest one (Main D by C, B, A; a fill or intro left out; an ending by
// another). Returns a line for each replacement.
std::vector<std::string> FitChart(arranger::Chart& chart, const std::vector<std::string>& styleSections, int beats);

}  // namespace vambrio::songs
