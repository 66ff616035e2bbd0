#include "loading/load_failure.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "loading/entry.h"

namespace vambrio {
namespace {

constexpr size_t kTrackStart = 22;  // "MThd", its 6 bytes, "MTrk" and the track's length

bool Tag(const std::vector<uint8_t>& bytes, size_t at, const char* tag) {
  return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) |
         bytes[at + 3];
}

}  // namespace

std::string OpenFailureReason(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return "there is no such file";
  if (std::filesystem::is_directory(path, ec)) return "this is a folder, not a style file";
  errno = 0;
  std::ifstream probe(path, std::ios::binary);
  if (!probe && errno != 0) return std::strerror(errno);
  return "it could not be read";
}

std::string ProcessFailureReason(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return "the file is empty";
  if (!Tag(bytes, 0, "MThd")) return "it is not a MIDI file (it does not begin with \"MThd\")";
  if (!Tag(bytes, 14, "MTrk")) return "its track is missing (no \"MTrk\" after the header)";
  const uint64_t whole = kTrackStart + uint64_t{BigEndian32(bytes, 18)};
  if (whole > bytes.size())
    return "the file ends inside its track: " + FormatSize(static_cast<int64_t>(bytes.size())) + " of " +
           FormatSize(static_cast<int64_t>(whole)) + " bytes";
  return "its track holds events that cannot be read, or no section";
}

}  // namespace vambrio
