// ChordPro song books (.cho .crd .chopro .chordpro .pro): chords in brackets
// where they fall in the lyrics, directives in braces, sections. Bar lines
// are honoured where a line writes them (`| G . . . | C . D . |`); elsewhere
// each chord is one bar, and the import says so.
#pragma once

#include <string_view>
#include <vector>

#include "songs/ireal.h"

namespace vambrio::songs {

// The songs of a file ({new_song} separates them).
std::vector<SheetResult> ReadChordPro(std::string_view text);

}  // namespace vambrio::songs
