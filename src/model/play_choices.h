// The window's playback choices, read anew at each assembly. The core never
// reads widgets: the window (or the command line) fills this struct.
#pragma once

#include <array>

namespace vambrio {

struct PlayChoices {
  std::array<int, 8> Parts{1, 1, 1, 1, 1, 1, 1, 1};  // chkPart(0..7): 0 clear, 1 checked
  bool GmPlayer = false;     // chkGM checked: GM player ("GM"); clear: XG player ("XG")
  bool Minor = false;        // OptMinor selected (otherwise OptMajor)
  bool IncludeSysex = true;  // mnuSysex checked
  bool XgSystemOn = false;   // chkXG = 1
};

}  // namespace vambrio
