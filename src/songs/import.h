// Importing lead sheets: a file or a pasted link of any of the formats
// (iReal Pro links and playlists, ChordPro, MusicXML, .mxl) made into
// charts, one for each song, each played once through with its sections
// mapped to the style's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "arranger/chart.h"
#include "songs/form.h"
#include "songs/lead_sheet.h"

namespace vambrio::songs {

struct ImportedSong {
  SongInfo info;
  arranger::Chart chart;              // empty when the song has an error
  size_t writtenBars = 0;
  std::vector<std::string> warnings;  // each names the song and the bar
  std::string error;                  // not empty: the song could not be read; names the song and the place
  bool Ok() const { return error.empty(); }
};

struct Imported {
  std::string name;  // the playlist's name, or the file's
  std::vector<ImportedSong> songs;
  std::string error;  // the input as a whole could not be read
};

enum class SongFormat { Ireal, ChordPro, MusicXml, Mxl, Unknown };

// The format by content first ("PK" zip, XML, an iReal link), then by the name's extension.
SongFormat DetectFormat(std::string_view bytes, std::string_view fileName);

// Imports bytes read from `fileName` (a name for messages, its extension a hint).
Imported ImportBytes(std::string_view bytes, std::string_view fileName, const SectionMapping& mapping = {});

// Imports a file, or a pasted link (text starting with irealb:// or irealbook://).
Imported ImportSource(const std::string& fileOrLink, const SectionMapping& mapping = {});

// A sheet made into a song: unrolled and mapped.
ImportedSong MakeSong(SheetResult sheet, const SectionMapping& mapping);

}  // namespace vambrio::songs
