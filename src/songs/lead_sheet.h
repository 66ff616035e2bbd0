// A lead sheet as written: bars in the order of the page, each with its
// chords where they fall, its section mark, and the signs of the form
// (repeats, endings, segno, coda, D.C., D.S., Fine). Every importer reads its
// format into this; the form unroller makes it into a chart.
#pragma once

#include <string>
#include <vector>

#include "arranger/chart.h"

namespace vambrio::songs {

// A chord (or N.C., or the chord before continued) at its place in the bar.
struct PlacedChord {
  double at = 0;  // fraction of the bar, 0 <= at < 1
  arranger::ChartSlot slot;
};

enum class Jump { None, DaCapo, DalSegno };

struct SheetBar {
  int beats = 4, beatType = 4;      // its time signature
  std::vector<PlacedChord> chords;  // by `at`
  std::string mark;                 // a section mark starting here: "A".."D", "intro", "verse", "chorus", "bridge"...
  bool repeatStart = false, repeatEnd = false;
  int repeatTimes = 0;              // at a repeat end: the times the repeat is played (0: as its endings say, or 2)
  std::vector<int> endings;         // in an ending: the passes it is played on; {0}: the passes no other ending takes
  bool endingStart = false;         // the first bar of an ending
  bool segno = false, coda = false, toCoda = false, fine = false;
  Jump jump = Jump::None;           // at the end of the bar
  double tempo = 0;                 // quarter notes a minute from here on (0: unchanged)
  int number = 0;                   // as the page numbers it, from 1
};

struct SongInfo {
  std::string title, composer, key, style;
  int beats = 4, beatType = 4;
  double tempo = 0;  // 0: the style's
};

struct LeadSheet {
  SongInfo info;
  std::vector<SheetBar> bars;
  int choruses = 1;  // times the whole form is played
  std::vector<std::string> warnings;
};

// A lead sheet, or why the song could not be read (naming the song and the place).
struct SheetResult {
  LeadSheet sheet;
  std::string error;
};

}  // namespace vambrio::songs
