#include "editing/tempo_edit.h"

#include <cctype>
#include <charconv>
#include <clocale>

#include "model/checked.h"

namespace vambrio {
namespace {

bool StartsWith(const std::string& s, size_t at, const std::string& part) {
  return !part.empty() && s.compare(at, part.size(), part) == 0;
}

// Rewrites text in the user's format as plain "-123.45e6": digits with
// thousands separators (integer part only), one decimal mark, an optional
// exponent. Empty when the text is not a number.
std::string Normalise(const std::string& text, const NumberFormat& f) {
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  const std::string s = text.substr(b, e - b);
  std::string out;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') out += '-';
    ++i;
  }
  int digits = 0;
  bool fraction = false;
  while (i < s.size()) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      out += c;
      ++digits;
      ++i;
    } else if (!fraction && digits > 0 && StartsWith(s, i, f.thousands)) {
      i += f.thousands.size();
    } else if (!fraction && StartsWith(s, i, f.decimal)) {
      out += '.';
      fraction = true;
      i += f.decimal.size();
    } else {
      break;
    }
  }
  if (digits == 0) return "";
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    out += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) out += s[i++];
    size_t expDigits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) out += s[i++], ++expDigits;
    if (expDigits == 0) return "";
  }
  return i == s.size() ? out : "";
}

}  // namespace

NumberFormat CurrentNumberFormat() {
  NumberFormat f;
  if (const lconv* lc = std::localeconv()) {
    if (lc->decimal_point && *lc->decimal_point) f.decimal = lc->decimal_point;
    if (lc->thousands_sep && *lc->thousands_sep) f.thousands = lc->thousands_sep;
  }
  if (f.thousands == f.decimal) f.thousands.clear();
  return f;
}

int16_t ParseTempoText(const std::string& text) { return ParseTempoText(text, CurrentNumberFormat()); }

int16_t ParseTempoText(const std::string& text, const NumberFormat& format) {
  const std::string plain = Normalise(text, format);
  if (plain.empty()) Raise(err::TypeMismatch);
  double value = 0;
  auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too small to tell from 0 rounds to 0; anything else is too large.
    if (plain.find("e-") == std::string::npos) Raise(err::Overflow);
    value = 0;
    ec = std::errc();
  }
  if (ec != std::errc() || end != plain.data() + plain.size()) Raise(err::TypeMismatch);
  return RoundToInt16(value);
}

int32_t TempoMicroseconds(int t, int denominator) {
  if (denominator == 0 || t == 0) Raise(err::DivisionByZero);
  double quarters = static_cast<double>(t) * 4.0 / denominator;
  int32_t u = RoundToInt32(60000000.0 / quarters);
  if (u < 0 || u > 0xFFFFFF) Raise(err::Overflow);
  return u;
}

void WriteTempo(StyleModel& m, int16_t t) {
  for (size_t i = 0; i < m.TempoEventValue.size() && m.TempoEventValue[i] != 0; ++i) {
    int32_t u = TempoMicroseconds(t, m.TimeSigDenominator);
    int64_t pos = At(m.TempoEventPos, static_cast<int64_t>(i));
    At(m.StyleData, pos);  // all three bytes lie in the style, or none is written
    At(m.StyleData, pos + 2);
    m.StyleData[static_cast<size_t>(pos)] = static_cast<uint8_t>(u >> 16);
    m.StyleData[static_cast<size_t>(pos) + 1] = static_cast<uint8_t>(u >> 8);
    m.StyleData[static_cast<size_t>(pos) + 2] = static_cast<uint8_t>(u);
  }
}

}  // namespace vambrio
