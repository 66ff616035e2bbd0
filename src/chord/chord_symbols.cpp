#include "chord/chord_symbols.h"

#include <array>

#include "chord/chord_type_table.h"

namespace vambrio {
namespace {

using namespace chord_type;

constexpr const char* kIreal = "iReal Pro";
constexpr const char* kChordPro = "ChordPro";
constexpr const char* kXml = "MusicXML";
constexpr const char* kIrealChordPro = "iReal Pro, ChordPro";

constexpr ChordSymbolRow kRows[] = {
    // iReal Pro: every quality its links write.
    {"", kIrealChordPro, kMaj, false}, {"5", kIrealChordPro, k1p5, false}, {"2", kIrealChordPro, kAdd9, false},
    {"add9", kIrealChordPro, kAdd9, false}, {"+", kIrealChordPro, kAug, false}, {"o", kIreal, kDim, false},
    {"h", kIreal, kMin7b5, false}, {"sus", kIrealChordPro, kSus4, false}, {"^", kIreal, kMaj7, false},
    {"-", kIreal, kMin, false}, {"^7", kIreal, kMaj7, false}, {"-7", kIreal, kMin7, false},
    {"7", kIrealChordPro, k7, false}, {"7sus", kIrealChordPro, k7sus4, false}, {"h7", kIreal, kMin7b5, false},
    {"o7", kIreal, kDim7, false}, {"^9", kIreal, kMaj9, false}, {"^13", kIreal, k69, true},
    {"6", kIrealChordPro, k6, false}, {"69", kIrealChordPro, k69, false}, {"^7#11", kIreal, kMaj7s11, false},
    {"^9#11", kIreal, kMaj7s11, true}, {"^7#5", kIreal, kMaj7aug, false}, {"-6", kIreal, kMin6, false},
    {"-69", kIreal, kMin6, true}, {"-^7", kIreal, kMinMaj7, false}, {"-^9", kIreal, kMinMaj9, false},
    {"-9", kIreal, kMin9, false}, {"-11", kIreal, kMin11, false}, {"-7b5", kIreal, kMin7b5, false},
    {"h9", kIreal, kMin7b5, true}, {"-b6", kIreal, kMin, true}, {"-#5", kIreal, kMin, true},
    {"9", kIrealChordPro, k9, false}, {"7b9", kIrealChordPro, k7b9, false}, {"7#9", kIrealChordPro, k7s9, false},
    {"7#11", kIrealChordPro, k7s11, false}, {"7b5", kIrealChordPro, k7b5, false}, {"7#5", kIrealChordPro, k7aug, false},
    {"9#11", kIrealChordPro, k7s11, true}, {"9b5", kIrealChordPro, k7b5, true}, {"9#5", kIrealChordPro, k7aug, true},
    {"7b13", kIrealChordPro, k7b13, false}, {"7#9#5", kIrealChordPro, k7s9, true},
    {"7#9b5", kIrealChordPro, k7s9, true}, {"7#9#11", kIrealChordPro, k7s9, true},
    {"7b9#11", kIrealChordPro, k7b9, true}, {"7b9b5", kIrealChordPro, k7b9, true},
    {"7b9#5", kIrealChordPro, k7b9, true}, {"7b9#9", kIrealChordPro, k7s9, true},
    {"7b9b13", kIrealChordPro, k7b9, true}, {"7alt", kIrealChordPro, k7s9, true}, {"13", kIrealChordPro, k13, false},
    {"13#11", kIrealChordPro, k13, true}, {"13b9", kIrealChordPro, k7b9, true}, {"13#9", kIrealChordPro, k7s9, true},
    {"7b9sus", kIrealChordPro, k7sus4, true}, {"7susadd3", kIrealChordPro, k7sus4, true},
    {"9sus", kIrealChordPro, k7sus4, true}, {"13sus", kIrealChordPro, k7sus4, true},
    {"7b13sus", kIrealChordPro, k7sus4, true}, {"11", kIrealChordPro, k7sus4, true},
    // ChordPro: spellings the chord names do not know already.
    {"4", kChordPro, kSus4, false}, {"sus2", kChordPro, k1p2p5, false}, {"7sus2", kChordPro, k7sus4, true},
    {"9sus4", kChordPro, k7sus4, true}, {"m13", kChordPro, kMin9, true}, {"maj13", kChordPro, k69, true},
    {"add11", kChordPro, kMaj, true}, {"alt", kChordPro, k7s9, true}, {"m7#5", kChordPro, kMin7, true},
    {"7sus4", kChordPro, k7sus4, false}, {"dim7", kChordPro, kDim7, false}, {"m7b5", kChordPro, kMin7b5, false},
    // MusicXML: the kind values.
    {"major", kXml, kMaj, false}, {"minor", kXml, kMin, false}, {"augmented", kXml, kAug, false},
    {"diminished", kXml, kDim, false}, {"dominant", kXml, k7, false}, {"major-seventh", kXml, kMaj7, false},
    {"minor-seventh", kXml, kMin7, false}, {"diminished-seventh", kXml, kDim7, false},
    {"augmented-seventh", kXml, k7aug, false}, {"half-diminished", kXml, kMin7b5, false},
    {"major-minor", kXml, kMinMaj7, false}, {"major-sixth", kXml, k6, false}, {"minor-sixth", kXml, kMin6, false},
    {"dominant-ninth", kXml, k9, false}, {"major-ninth", kXml, kMaj9, false}, {"minor-ninth", kXml, kMin9, false},
    {"dominant-11th", kXml, k7sus4, true}, {"major-11th", kXml, kMaj9, true}, {"minor-11th", kXml, kMin11, false},
    {"dominant-13th", kXml, k13, false}, {"major-13th", kXml, k69, true}, {"minor-13th", kXml, kMin9, true},
    {"suspended-second", kXml, k1p2p5, false}, {"suspended-fourth", kXml, kSus4, false},
    {"power", kXml, k1p5, false}, {"pedal", kXml, k1p8, false}, {"Neapolitan", kXml, kMaj, true},
    {"Italian", kXml, k7, true}, {"French", kXml, k7b5, true}, {"German", kXml, k7, true},
    {"Tristan", kXml, kMin7b5, true}, {"other", kXml, kMaj, true},
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Weight of a tone in telling chords apart: thirds and sevenths most, then fifths.
int Weight(int tone) {
  switch (tone) {
    case 0: return 0;
    case 3: case 4: case 5: return 4;
    case 9: case 10: case 11: return 3;
    case 6: case 7: case 8: return 2;
    default: return 1;
  }
}

// A tone after an accidental: 5, 9, 11 or 13 raised or lowered.
std::optional<int> AlteredTone(int degree, int shift) {
  switch (degree) {
    case 5: return 7 + shift;
    case 9: return 2 + shift;
    case 11: return 5 + shift;
    case 6: case 13: return 9 + shift;
    default: return std::nullopt;
  }
}

// Reads a number at the start of s.
int TakeNumber(std::string_view& s) {
  int n = 0, digits = 0;
  while (!s.empty() && s[0] >= '0' && s[0] <= '9' && digits < 2) {
    n = n * 10 + (s[0] - '0');
    s.remove_prefix(1);
    ++digits;
  }
  return digits ? n : -1;
}

bool Take(std::string_view& s, std::string_view word) {
  if (!s.starts_with(word)) return false;
  s.remove_prefix(word.size());
  return true;
}

// The tones of a quality read word by word; nothing when a word is unknown.
std::optional<uint16_t> ReadTones(std::string_view q) {
  std::string cleaned;
  for (char c : q)
    if (c != ' ' && c != '(' && c != ')' && c != ',') cleaned += c;
  std::string_view s = cleaned;
  int third = 4, fifth = 7, seventh = -1;
  uint16_t extra = 0;
  const auto add = [&](int tone) { extra = static_cast<uint16_t>(extra | (1u << tone)); };
  const auto dominant = [&] { if (seventh < 0) seventh = 10; };
  bool start = true;
  while (!s.empty()) {
    const bool first = start;
    start = false;
    if (Take(s, "maj") || Take(s, "Maj") || Take(s, "ma") || Take(s, "^") || Take(s, "Δ") || Take(s, "∆") ||
        (!first ? false : Take(s, "M"))) {
      seventh = 11;
      if (!s.empty() && s[0] == '7') s.remove_prefix(1);
      continue;
    }
    if (first && (Take(s, "min") || Take(s, "mi") || Take(s, "m") || Take(s, "-"))) { third = 3; continue; }
    if (Take(s, "no3") || Take(s, "omit3")) { third = -1; continue; }
    if (Take(s, "no5") || Take(s, "omit5")) { fifth = -1; continue; }
    if (Take(s, "dim") || Take(s, "o") || Take(s, "°")) {
      third = 3, fifth = 6;
      if (Take(s, "7")) seventh = 9;
      continue;
    }
    if (Take(s, "ø") || Take(s, "h")) { third = 3, fifth = 6, seventh = 10; Take(s, "7"); continue; }
    if (Take(s, "aug") || (first && Take(s, "+"))) { fifth = 8; continue; }
    if (Take(s, "sus2")) { third = 2; continue; }
    if (Take(s, "sus4") || Take(s, "sus")) { third = 5; continue; }
    if (Take(s, "alt")) { dominant(); add(1), add(3), add(8); continue; }
    if (Take(s, "add")) {
      const int d = TakeNumber(s);
      const auto tone = AlteredTone(d == 2 ? 9 : d == 4 ? 11 : d, 0);
      if (!tone) return std::nullopt;
      add(*tone);
      continue;
    }
    int shift = 0;
    if (s[0] == 'b' || s[0] == '-') shift = -1;
    else if (s[0] == '#' || s[0] == '+') shift = 1;
    if (shift) {
      s.remove_prefix(1);
      const auto tone = AlteredTone(TakeNumber(s), shift);
      if (!tone) return std::nullopt;
      if (*tone == 6 && shift < 0) fifth = 6;
      else if (*tone == 8 && seventh < 0 && extra == 0) fifth = 8;
      else add(*tone);
      continue;
    }
    const int n = TakeNumber(s);
    switch (n) {
      case 2: add(2); break;
      case 4: third = 5; break;
      case 5: if (first) third = -1; break;
      case 6: add(9); break;
      case 7: dominant(); break;
      case 9: dominant(); add(2); break;
      case 11: dominant(); add(2); add(5); break;
      case 13: dominant(); add(2); add(9); break;
      default: return std::nullopt;
    }
  }
  uint16_t mask = static_cast<uint16_t>(1u | extra);
  for (int t : {third, fifth, seventh})
    if (t >= 0) mask = static_cast<uint16_t>(mask | (1u << t));
  return mask;
}

// A root with its accidental, any spelling ("Cb" is B), and its length.
std::optional<std::pair<int, size_t>> ReadRoot(std::string_view s) {
  static constexpr int kNatural[7] = {9, 11, 0, 2, 4, 5, 7};
  if (s.empty() || s[0] < 'A' || s[0] > 'G') return std::nullopt;
  const int natural = kNatural[s[0] - 'A'];
  for (auto [sign, shift] : {std::pair<std::string_view, int>{"#", 1}, {"b", -1}, {"♯", 1}, {"♭", -1}})
    if (s.substr(1, sign.size()) == sign) return std::pair{(natural + shift + 12) % 12, 1 + sign.size()};
  return std::pair{natural, size_t{1}};
}

struct SymbolParts {
  int root = 0;
  size_t rootLength = 0;
  std::string_view quality;
  int bass = -1;
};

std::optional<SymbolParts> Split(std::string_view s) {
  const auto root = ReadRoot(s);
  if (!root) return std::nullopt;
  SymbolParts parts{root->first, root->second, s.substr(root->second), -1};
  const size_t slash = parts.quality.rfind('/');
  if (slash != std::string_view::npos && !QualityType(parts.quality)) {
    const auto bass = ReadRoot(parts.quality.substr(slash + 1));
    if (bass && slash + 1 + bass->second == parts.quality.size()) {
      parts.bass = bass->first;
      parts.quality = parts.quality.substr(0, slash);
    }
  }
  return parts;
}

}  // namespace

std::span<const ChordSymbolRow> ChordSymbolTable() { return kRows; }

SymbolType NearestType(uint16_t tones) {
  tones = static_cast<uint16_t>(tones | 1u);
  SymbolType best{0, true};
  int bestScore = -1000;
  for (int t = 0; t < kChordTypeCount; ++t) {
    const uint16_t mask = ToneMask(t);
    if (mask == tones) return {t, false};
    int score = 0;
    for (int tone = 1; tone < 12; ++tone) {
      const bool in = (tones >> tone) & 1, inType = (mask >> tone) & 1;
      if (in && inType) score += Weight(tone);
      else if (in != inType) score -= Weight(tone);
    }
    if (score > bestScore) bestScore = score, best = {t, true};
  }
  return best;
}

std::optional<SymbolType> QualityType(std::string_view quality) {
  for (const ChordSymbolRow& row : kRows)
    if (quality == row.quality) return SymbolType{row.type, row.rough};
  if (auto type = ParseChordType(quality)) return SymbolType{*type, false};
  if (auto tones = ReadTones(quality)) return NearestType(*tones);
  return std::nullopt;
}

std::optional<ChordSymbol> ReadChordSymbol(std::string_view text, std::string* error) {
  const std::string_view s = Trim(text);
  const auto fail = [&](std::string why) -> std::optional<ChordSymbol> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  const auto parts = Split(s);
  if (!parts) return fail("\"" + std::string(s) + "\": a chord begins with its root, A to G");
  const auto type = QualityType(parts->quality);
  if (!type) return fail("\"" + std::string(s) + "\": \"" + std::string(parts->quality) + "\" is not a chord quality");
  Chord chord{parts->root, type->type, parts->bass == parts->root ? -1 : parts->bass};
  return ChordSymbol{chord, type->rough};
}

std::string TransposeSymbol(std::string_view text, int semitones) {
  const auto parts = Split(Trim(text));
  if (!parts) return std::string(text);
  const auto moved = [&](int pc) { return RootName(((pc + semitones) % 12 + 12) % 12); };
  std::string out = std::string(moved(parts->root)) + std::string(parts->quality);
  if (parts->bass >= 0) out += std::string("/") + moved(parts->bass);
  return out;
}

}  // namespace vambrio
