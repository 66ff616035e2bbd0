// A song of a set list made ready for a style: its chart read, its tempo
// set, the style's Intro put before it when the count-in is the Intro,
// fitted to the style's sections and metre, and written out for the
// Arranger; and imported songs made into set-list songs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "registration/registration.h"
#include "songs/import.h"
#include "songs/set_list.h"

namespace vambrio::songs {

// What a song needs to know of the style that plays it.
struct StyleShape {
  std::vector<std::string> sections;  // in file order
  std::vector<uint32_t> sectionBars;  // each section's length in bars
  int beats = 4;
};

struct PreparedSong {
  std::string chartText;  // for the Arranger
  int countInBars = 0;    // bars of clicks before the first bar (0..2)
  std::vector<std::string> notes;  // what was changed to fit the style
  std::string error;      // the chart cannot be read ("line 3, column 7: ...")
};

PreparedSong PrepareSong(const SetListSong& song, const StyleShape& style);

// An imported song as a set-list song (its chart written out, its facts kept).
// `source` is kept for a later import with another section mapping.
SetListSong SongFromImport(const ImportedSong& imported, const std::string& source, const SectionMapping& mapping);

// The registration a song recalls (its bank's slot), or nothing with the
// reason (the bank cannot be read, the slot is empty).
std::optional<registration::Registration> SongRegistration(const SetListSong& song, std::string& why);

// The song imported again from its source with its mapping: false (and why)
// when the source cannot be read or no longer holds a song of that title.
bool MapAgain(SetListSong& song, std::string& why);

}  // namespace vambrio::songs
