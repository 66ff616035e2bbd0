// MusicXML lead sheets (.musicxml, .xml) and compressed ones (.mxl, a zip
// whose META-INF/container.xml names the score): the chord symbols of the
// first part that has them, placed in their measures by the divisions and
// durations, with time signatures, tempo, rehearsal marks, repeats,
// endings, segno, coda, D.C., D.S. and Fine.
#pragma once

#include <string>
#include <string_view>

#include "songs/ireal.h"

namespace vambrio::songs {

SheetResult ReadMusicXml(std::string_view xml);

// The score inside an .mxl file; an error says what is wrong with the zip.
bool UnpackMxl(std::string_view zip, std::string& score, std::string& error);

}  // namespace vambrio::songs
