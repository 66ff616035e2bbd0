// Why a style did not load, in words, for the line under the classic
// message: "Broken.sty: the file ends inside its track: 500 of 6,576 bytes".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vambrio {

// The file could not be opened: there is no such file, it is a folder, or
// the system's reason.
std::string OpenFailureReason(const std::string& path);

// The bytes were read but could not be processed: not a MIDI file, no
// track, a track cut short, or events that cannot be read.
std::string ProcessFailureReason(const std::vector<uint8_t>& bytes);

}  // namespace vambrio
