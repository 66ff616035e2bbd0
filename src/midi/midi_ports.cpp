#include "midi/midi_ports.h"

#include <algorithm>
#include <cctype>

namespace vambrio::platform {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

std::optional<std::string> FindPort(const std::vector<std::string>& ports, const std::string& wanted) {
  if (wanted.empty()) return std::nullopt;
  for (const std::string& p : ports) {
    if (p == wanted) return p;
  }
  if (std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); }) && wanted.size() < 6) {
    size_t n = std::stoul(wanted);
    if (n >= 1 && n <= ports.size()) return ports[n - 1];
    return std::nullopt;
  }
  std::optional<std::string> found;
  std::string needle = Lower(wanted);
  for (const std::string& p : ports) {
    if (Lower(p).find(needle) == std::string::npos) continue;
    if (found) return std::nullopt;  // more than one
    found = p;
  }
  return found;
}

void SendChannelReset(MidiOutPort& out) {
  for (uint8_t channel = 0; channel < 16; ++channel) {
    const uint8_t allNotesOff[3] = {static_cast<uint8_t>(0xB0 | channel), 123, 0};
    const uint8_t resetControllers[3] = {static_cast<uint8_t>(0xB0 | channel), 121, 0};
    out.Send(allNotesOff, 3);
    out.Send(resetControllers, 3);
  }
}

}  // namespace vambrio::platform
