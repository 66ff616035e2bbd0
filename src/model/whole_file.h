// Writing a file so that it is never seen half-written: the bytes go to a
// temporary file beside it, which is then renamed over it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vambrio {

// False when that fails (errno says why); the file there stays as it was.
bool WriteFileWhole(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteFileWhole(const std::string& path, const std::string& bytes);

}  // namespace vambrio
