// One input for the chord-chart reader: any text ends in a chart or in an
// error whose message names a place on the text and shows no control byte
// and no token longer than about 40 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "arranger/chart.h"

namespace vambrio::fuzz {

inline std::string ChartOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto read = arranger::ReadChart(text);
  const auto* error = std::get_if<arranger::ChartError>(&read);
  if (!error) return std::get<arranger::Chart>(read).sections.empty() ? "a chart without a section" : "";
  const std::string message = error->Text();
  for (char c : message)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "a control byte in: " + message;
  // At most three tokens of 40 characters, each escape taking up to 6 bytes.
  if (message.size() > 1200) return "a message of " + std::to_string(message.size()) + " bytes";
  if (error->place.line < 1 || error->place.column < 1 || static_cast<size_t>(error->place.column) > size + 1)
    return "a place outside the text: " + message;
  return "";
}

}  // namespace vambrio::fuzz
