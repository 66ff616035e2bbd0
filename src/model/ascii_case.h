// Letter case of names, keywords and file extensions compared without it:
// only A-Z change, so that the result never depends on the locale and a
// byte of a multi-byte UTF-8 character stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace vambrio {

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

}  // namespace vambrio
