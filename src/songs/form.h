// The form of a lead sheet played once through, as a player reads the page,
// and the written sections mapped to the style's: the one way every import
// becomes a chart.
//
// Play order: a repeat is played twice (or as often as its endings or its
// count say), each pass taking its ending; D.C. goes back to the first bar
// and D.S. to the segno, after which repeats are not taken again (the last
// ending is), "To Coda" goes on at the coda and Fine ends the song.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "arranger/chart.h"
#include "songs/lead_sheet.h"

namespace vambrio::songs {

struct PlayedBar {
  size_t bar = 0;      // index into the sheet's bars
  bool again = false;  // the bar was played before (its second time through)
};

// The bars in play order; an error (naming the written bar) for a form that
// does not end.
std::vector<PlayedBar> Unroll(const LeadSheet& sheet, std::string* error);

// How written sections become the style's sections: each a setting of the song.
struct SectionMapping {
  // Written mark (lower case) to the style's section.
  std::vector<std::pair<std::string, std::string>> marks = {
      {"a", "Main A"},      {"b", "Main B"},     {"c", "Main C"},      {"d", "Main D"},
      {"intro", "Intro A"}, {"verse", "Main A"}, {"chorus", "Main B"}, {"bridge", "Main C"}};
  std::string unmarked = "Main A";       // a song without marks ...
  std::string unmarkedAgain = "Main B";  // ... from its second time through the form
  bool fills = true;                     // a Fill In before each change of Main
  bool ending = true;                    // an Ending after the last bar
};

// The chart of the sheet played once through: bars, sections, tempo, and the
// song's facts as tags (title, composer, key, style, time).
arranger::Chart MakeChart(const LeadSheet& sheet, const std::vector<PlayedBar>& order,
                          const SectionMapping& mapping = {});

}  // namespace vambrio::songs
