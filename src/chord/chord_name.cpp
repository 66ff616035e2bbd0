#include "chord/chord_name.h"

#include "model/shown_text.h"


namespace vambrio {
namespace {

using chord_type::kTypes;
using namespace chord_type;

struct Alias {
  std::string_view text;
  int type;
};

// Other spellings in common use. Case matters: "M7" is major, "m7" minor.
constexpr Alias kAliases[] = {
    {"Maj", kMaj}, {"maj", kMaj}, {"M", kMaj}, {"major", kMaj},
    {"M6", k6}, {"maj6", k6}, {"Maj6", k6},
    {"maj7", kMaj7}, {"M7", kMaj7}, {"ma7", kMaj7}, {"Δ", kMaj7}, {"Δ7", kMaj7}, {"∆", kMaj7}, {"∆7", kMaj7},
    {"maj7#11", kMaj7s11}, {"M7#11", kMaj7s11}, {"Maj7(#11)", kMaj7s11}, {"maj7(#11)", kMaj7s11},
    {"M7(#11)", kMaj7s11}, {"Δ#11", kMaj7s11},
    {"add2", kAdd9}, {"(add9)", kAdd9}, {"Madd9", kAdd9},
    {"Maj9", kMaj9}, {"maj9", kMaj9}, {"M9", kMaj9}, {"Δ9", kMaj9}, {"maj7(9)", kMaj9}, {"M7(9)", kMaj9},
    {"69", k69}, {"6/9", k69}, {"6add9", k69}, {"M69", k69},
    {"+", kAug}, {"+5", kAug}, {"#5", kAug}, {"(#5)", kAug}, {"aug5", kAug},
    {"min", kMin}, {"mi", kMin}, {"-", kMin}, {"minor", kMin},
    {"min6", kMin6}, {"mi6", kMin6}, {"-6", kMin6},
    {"min7", kMin7}, {"mi7", kMin7}, {"-7", kMin7},
    {"ø", kMin7b5}, {"ø7", kMin7b5}, {"m7(b5)", kMin7b5}, {"min7b5", kMin7b5}, {"-7b5", kMin7b5}, {"m7-5", kMin7b5},
    {"madd9", kMinAdd9}, {"m(add9)", kMinAdd9}, {"-add9", kMinAdd9}, {"min(9)", kMinAdd9},
    {"m9", kMin9}, {"min9", kMin9}, {"mi9", kMin9}, {"-9", kMin9},
    {"m11", kMin11}, {"min11", kMin11}, {"-11", kMin11},
    {"mM7", kMinMaj7}, {"m(maj7)", kMinMaj7}, {"m(Maj7)", kMinMaj7}, {"mmaj7", kMinMaj7}, {"minmaj7", kMinMaj7},
    {"-Maj7", kMinMaj7},
    {"-M7", kMinMaj7}, {"mΔ", kMinMaj7}, {"-Δ", kMinMaj7},
    {"mMaj9", kMinMaj9}, {"mM9", kMinMaj9}, {"m(maj9)", kMinMaj9}, {"mmaj9", kMinMaj9}, {"-Maj9", kMinMaj9},
    {"mM7(9)", kMinMaj9},
    {"o", kDim}, {"°", kDim}, {"mb5", kDim},
    {"o7", kDim7}, {"°7", kDim7},
    {"dom7", k7}, {"dom", k7},
    {"7sus", k7sus4}, {"sus7", k7sus4},
    {"7(b5)", k7b5}, {"7-5", k7b5},
    {"9", k9}, {"dom9", k9},
    {"7(#11)", k7s11}, {"7+11", k7s11},
    {"13", k13},
    {"7b9", k7b9}, {"7-9", k7b9},
    {"7b13", k7b13}, {"7-13", k7b13},
    {"7#9", k7s9}, {"7+9", k7s9},
    {"Maj7#5", kMaj7aug}, {"maj7#5", kMaj7aug}, {"M7#5", kMaj7aug}, {"M7+5", kMaj7aug}, {"+M7", kMaj7aug},
    {"Maj7(#5)", kMaj7aug}, {"maj7aug", kMaj7aug},
    {"augMaj7", kMaj7aug},
    {"7#5", k7aug}, {"7+5", k7aug}, {"+7", k7aug}, {"aug7", k7aug}, {"7(#5)", k7aug},
    {"5", k1p5},
    {"sus", kSus4},
    {"sus2", k1p2p5},
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

const char* ChordTypeCaption(int type) { return type == kMaj ? "Maj" : ChordTypeName(type); }

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
