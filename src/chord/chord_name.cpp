#include "chord/chord_name.h"

#include "chord/chord_type_table.h"
#include "model/shown_text.h"


namespace vambrio {
namespace {

using chord_table::kTypes;

struct Alias {
  std::string_view text;
  int type;
};

// Other spellings in common use. Case matters: "M7" is major, "m7" minor.
constexpr Alias kAliases[] = {
    {"Maj", 0}, {"maj", 0}, {"M", 0}, {"major", 0},
    {"M6", 1}, {"maj6", 1}, {"Maj6", 1},
    {"maj7", 2}, {"M7", 2}, {"ma7", 2}, {"Δ", 2}, {"Δ7", 2}, {"∆", 2}, {"∆7", 2},
    {"maj7#11", 3}, {"M7#11", 3}, {"Maj7(#11)", 3}, {"maj7(#11)", 3}, {"M7(#11)", 3}, {"Δ#11", 3},
    {"add2", 4}, {"(add9)", 4}, {"Madd9", 4},
    {"Maj9", 5}, {"maj9", 5}, {"M9", 5}, {"Δ9", 5}, {"maj7(9)", 5}, {"M7(9)", 5},
    {"69", 6}, {"6/9", 6}, {"6add9", 6}, {"M69", 6},
    {"+", 7}, {"+5", 7}, {"#5", 7}, {"(#5)", 7}, {"aug5", 7},
    {"min", 8}, {"mi", 8}, {"-", 8}, {"minor", 8},
    {"min6", 9}, {"mi6", 9}, {"-6", 9},
    {"min7", 10}, {"mi7", 10}, {"-7", 10},
    {"ø", 11}, {"ø7", 11}, {"m7(b5)", 11}, {"min7b5", 11}, {"-7b5", 11}, {"m7-5", 11},
    {"madd9", 12}, {"m(add9)", 12}, {"-add9", 12}, {"min(9)", 12},
    {"m9", 13}, {"min9", 13}, {"mi9", 13}, {"-9", 13},
    {"m11", 14}, {"min11", 14}, {"-11", 14},
    {"mM7", 15}, {"m(maj7)", 15}, {"m(Maj7)", 15}, {"mmaj7", 15}, {"minmaj7", 15}, {"-Maj7", 15},
    {"-M7", 15}, {"mΔ", 15}, {"-Δ", 15},
    {"mMaj9", 16}, {"mM9", 16}, {"m(maj9)", 16}, {"mmaj9", 16}, {"-Maj9", 16}, {"mM7(9)", 16},
    {"o", 17}, {"°", 17}, {"mb5", 17},
    {"o7", 18}, {"°7", 18},
    {"dom7", 19}, {"dom", 19},
    {"7sus", 20}, {"sus7", 20},
    {"7(b5)", 21}, {"7-5", 21},
    {"9", 22}, {"dom9", 22},
    {"7(#11)", 23}, {"7+11", 23},
    {"13", 24},
    {"7b9", 25}, {"7-9", 25},
    {"7b13", 26}, {"7-13", 26},
    {"7#9", 27}, {"7+9", 27},
    {"Maj7#5", 28}, {"maj7#5", 28}, {"M7#5", 28}, {"M7+5", 28}, {"+M7", 28}, {"Maj7(#5)", 28}, {"maj7aug", 28},
    {"augMaj7", 28},
    {"7#5", 29}, {"7+5", 29}, {"+7", 29}, {"aug7", 29}, {"7(#5)", 29},
    {"5", 31},
    {"sus", 32},
    {"sus2", 33},
};

constexpr const char* kRootNames[12] = {"C", "Db", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};

std::optional<Chord> Refuse(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return std::nullopt;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The length of the root name at the start of s (letter and accidental), 0 when none.
size_t RootLength(std::string_view s) {
  if (s.empty() || s[0] < 'A' || s[0] > 'G') return 0;
  for (std::string_view sign : {"#", "b", "♯", "♭"})
    if (s.substr(1, sign.size()) == sign && ParseRoot(s.substr(0, 1 + sign.size()))) return 1 + sign.size();
  return 1;
}

constexpr const char* kRootList = "C, C#, Db, D, D#, Eb, E, F, F#, Gb, G, G#, Ab, A, A#, Bb or B";

}  // namespace

const char* ChordTypeName(int type) {
  if (type < 0 || type >= kChordTypeCount) return "";
  return kTypes[type].name;
}

std::span<const int> ChordTypeTones(int type) {
  if (type < 0 || type >= kChordTypeCount) return {};
  return {kTypes[type].tones, static_cast<size_t>(kTypes[type].count)};
}

const char* RootName(int pitchClass) {
  if (pitchClass < 0 || pitchClass > 11) return "";
  return kRootNames[pitchClass];
}

std::optional<int> ParseRoot(std::string_view text) {
  static constexpr int kNatural[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (text.empty() || text[0] < 'A' || text[0] > 'G') return std::nullopt;
  const int natural = kNatural[text[0] - 'A'];
  std::string_view sign = text.substr(1);
  if (sign.empty()) return natural;
  int shift = 0;
  if (sign == "#" || sign == "♯") shift = 1;
  else if (sign == "b" || sign == "♭") shift = -1;
  else return std::nullopt;
  // Only the 17 names in use: no B#, Cb, E# or Fb.
  const int pc = (natural + shift + 12) % 12;
  const bool acceptedSharp = shift == 1 && text[0] != 'B' && text[0] != 'E';
  const bool acceptedFlat = shift == -1 && text[0] != 'C' && text[0] != 'F';
  if (!acceptedSharp && !acceptedFlat) return std::nullopt;
  return pc;
}

std::optional<int> ParseChordType(std::string_view text) {
  for (int t = 0; t < kChordTypeCount; ++t)
    if (text == kTypes[t].name) return t;
  for (const Alias& a : kAliases)
    if (text == a.text) return a.type;
  return std::nullopt;
}

std::optional<Chord> ParseChord(std::string_view text, std::string* error) {
  const std::string_view s = Trim(text);
  const std::string quoted = QuotedToken(s);
  if (s.empty()) return Refuse(error, "no chord given");
  if (s == "N.C." || s == "N.C" || s == "NC") return Refuse(error, quoted + " is no chord: it silences the accompaniment");
  const size_t rootLength = RootLength(s);
  if (rootLength == 0) return Refuse(error, quoted + ": a chord begins with its root, one of " + kRootList);
  Chord chord;
  chord.root = *ParseRoot(s.substr(0, rootLength));
  std::string_view rest = s.substr(rootLength);

  // A slash chord: "/" and a note name at the end ("6/9" is a type, not a bass).
  const size_t slash = rest.rfind('/');
  if (slash != std::string_view::npos && !ParseChordType(rest)) {
    const std::optional<int> bass = ParseRoot(rest.substr(slash + 1));
    if (!bass) return Refuse(error, quoted + ": the bass after \"/\" must be a note name, one of " + kRootList);
    chord.bass = *bass == chord.root ? -1 : *bass;
    rest = rest.substr(0, slash);
  }
  const std::optional<int> type = ParseChordType(rest);
  if (!type) {
    return Refuse(error, quoted + ": " + QuotedToken(rest) +
                             " is not a chord type (types are named as in Maj, 6, Maj7, m, m7, 7, dim, aug, sus4)");
  }
  chord.type = *type;
  return chord;
}

std::string ChordName(const Chord& chord) {
  std::string name = std::string(RootName(chord.root)) + ChordTypeName(chord.type);
  if (chord.bass >= 0) name += std::string("/") + RootName(chord.bass);
  return name;
}

}  // namespace vambrio
