// iReal Pro links: `irealb://` (current, the music obfuscated) and
// `irealbook://` (older, plain), one song or a playlist, read into lead
// sheets: time signatures, section marks, bar lines, repeats and endings,
// `x` and `r`, N.C., slashes and invisible roots, D.C./D.S./Coda/Fine,
// "3x" repeat counts, and chords placed on the cells of their beats.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "songs/lead_sheet.h"

namespace vambrio::songs {

struct IrealPlaylist {
  std::string name;  // a playlist's name; empty for a single song
  std::vector<SheetResult> songs;
};

// Every link in a text: a pasted link, a text file of links, an HTML export
// (links inside href="..."), percent escapes and HTML entities undone.
std::vector<std::string> FindIrealLinks(std::string_view text);

// One link's songs; a damaged song is an error of its own and the others are read.
IrealPlaylist ReadIrealLink(std::string_view link);

// The music string of an `irealb://` song made readable (the marker removed,
// the blocks unscrambled, the abbreviations spelt out).
std::string UnscrambleIreal(std::string_view music);
// The inverse, for writing links: the marker and the scrambled text.
std::string ScrambleIreal(std::string_view music);

// The bars of a readable music string; errors name the character.
SheetResult ReadIrealMusic(std::string_view music, LeadSheet sheet);

}  // namespace vambrio::songs
