// The 128 melodic voices of General MIDI by their program numbers (0-based).
#pragma once

namespace vambrio::midi {

inline constexpr int kGmProgramCount = 128;

// "Acoustic Grand Piano" for 0 ... "Gunshot" for 127; "" outside 0..127.
const char* GmProgramName(int program);

}  // namespace vambrio::midi
