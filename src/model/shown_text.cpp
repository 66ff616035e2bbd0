#include "model/shown_text.h"

#include <cstdint>

namespace vambrio {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::string ByteEscape(unsigned char c) {
  switch (c) {
    case 0x1B: return "\\e";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    case '\a': return "\\a";
    case '\b': return "\\b";
    case '\f': return "\\f";
    case '\v': return "\\v";
    default: return std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
  }
}

// The length of the well-formed UTF-8 sequence at `at` and its code point;
// 0 when the bytes there are no UTF-8.
size_t Utf8At(std::string_view s, size_t at, uint32_t& cp) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  if (lead < 0x80) return cp = lead, 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, cp = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, cp = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, cp = lead & 0x07;
  else return 0;
  if (at + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(at + i) & 0x3F);
  }
  const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

// Characters that steer how a line is laid out rather than showing anything.
bool IsLayoutControl(uint32_t cp) {
  return (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069) || cp == 0x200E || cp == 0x200F || cp == 0x061C;
}

std::string CodePointEscape(uint32_t cp) {
  std::string out = "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(cp >> shift) & 15];
  return out;
}

}  // namespace

std::string ShownText(std::string_view raw, size_t maxChars) {
  std::string shown;
  shown.reserve(raw.size() < 256 ? raw.size() : 256);
  size_t chars = 0;
  for (size_t at = 0; at < raw.size();) {
    if (maxChars != 0 && chars == maxChars) return shown + "…";
    uint32_t cp = 0;
    const size_t length = Utf8At(raw, at, cp);
    if (length == 0) {
      shown += ByteEscape(static_cast<unsigned char>(raw[at]));
      ++at;
    } else {
      if (cp < 0x20 || cp == 0x7F) shown += ByteEscape(static_cast<unsigned char>(cp));
      else if (IsLayoutControl(cp)) shown += CodePointEscape(cp);
      else shown.append(raw, at, length);
      at += length;
    }
    ++chars;
  }
  return shown;
}

}  // namespace vambrio
