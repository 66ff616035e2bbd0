// vambrio-cli chords [--json]: the chord types "Any chord" plays, with the
// chord options and the rule listing the other commands share.
#include <iomanip>
#include <iostream>
#include <sstream>

#include "chord/chord_symbols.h"
#include "chord/note_mapping.h"
#include "cli/chord_cli.h"
#include "cli/command.h"

namespace vambrio::cli {
namespace {

constexpr const char* kUsage = "chords [--json] [--symbols]";

const char* const kNttNames[kNttCount] = {"bypass",
                                          "melody",
                                          "chord",
                                          "melodic minor",
                                          "melodic minor 5th var.",
                                          "harmonic minor",
                                          "harmonic minor 5th var.",
                                          "natural minor",
                                          "natural minor 5th var.",
                                          "dorian",
                                          "dorian 5th var."};
const char* const kNtrNames[3] = {"root transpose", "root fixed", "guitar"};
const char* const kGuitarModes[3] = {"all-purpose", "stroke", "arpeggio"};
const char* const kRtrNames[kRtrCount] = {"stop",      "pitch shift",      "pitch shift to root",
                                          "retrigger", "retrigger to root", "note generator"};

std::string PartName(int part) { return part == kNoPart ? "none" : kPartNames[static_cast<size_t>(part - kRhythmSub)]; }

std::string TableName(const RangeRule& r) {
  return r.ntr == Ntr::Guitar ? kGuitarModes[r.guitarMode] : kNttNames[static_cast<int>(r.ntt)];
}

std::string Trimmed(const char* name) {
  std::string s(name);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string Tones(int type) {
  std::string s;
  for (int t : ChordTypeTones(type)) s += (s.empty() ? "" : " ") + std::to_string(t);
  return s;
}

nlohmann::ordered_json RangeJson(const RangeRule& r, int from, int to, const char* which) {
  return {{"range", which},
          {"notes", {from, to}},
          {"ntr", kNtrNames[static_cast<int>(r.ntr)]},
          {"ntt", TableName(r)},
          {"bass_on", r.bassOn},
          {"high_key", RootName(r.highKey)},
          {"limits", {r.low, r.high}},
          {"rtr", kRtrNames[static_cast<int>(r.rtr)]}};
}

nlohmann::ordered_json ChannelJson(const ChannelRule& c) {
  nlohmann::ordered_json types = nlohmann::ordered_json::array(), roots = nlohmann::ordered_json::array();
  for (int t = 0; t < kChordTypeCount; ++t)
    if ((c.chordMute >> t) & 1) types.push_back(ChordTypeCaption(t));
  for (int r = 0; r < 12; ++r)
    if ((c.noteMute >> r) & 1) roots.push_back(RootName(r));
  nlohmann::ordered_json ranges = nlohmann::ordered_json::array();
  if (!c.newLayout) {
    ranges.push_back(RangeJson(c.Range(RangeIndex::Middle), 0, 127, "all"));
  } else {
    if (c.middleLow > 0) ranges.push_back(RangeJson(c.Range(RangeIndex::Low), 0, c.middleLow - 1, "low"));
    ranges.push_back(RangeJson(c.Range(RangeIndex::Middle), c.middleLow, c.middleHigh, "middle"));
    if (c.middleHigh < 127) ranges.push_back(RangeJson(c.Range(RangeIndex::High), c.middleHigh + 1, 127, "high"));
  }
  return {{"channel", c.sourceChannel + 1},
          {"name", Trimmed(c.name)},
          {"layout", c.newLayout ? "Ctb2" : "Ctab"},
          {"destination", c.part == kNoPart ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(c.part)},
          {"part", PartName(c.part)},
          {"source_chord", ChordName({c.sourceRoot, c.sourceType, -1})},
          {"chord_types", types},
          {"roots", roots},
          {"auto_start", c.autoStart},
          {"ranges", ranges}};
}

std::string RangeText(const RangeRule& r) {
  std::ostringstream s;
  s << kNtrNames[static_cast<int>(r.ntr)] << ", " << TableName(r) << (r.bassOn ? " + bass" : "") << ", high key "
    << RootName(r.highKey) << ", " << int{r.low} << ".." << int{r.high} << ", " << kRtrNames[static_cast<int>(r.rtr)];
  return s.str();
}

// The lead-sheet symbol table: each format's quality and the type it plays.
int PrintSymbols(bool json) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  if (!json) std::cout << "Quality              Plays      Formats\n";
  for (const ChordSymbolRow& row : ChordSymbolTable()) {
    if (json) {
      out.push_back({{"quality", row.quality}, {"type", ChordTypeName(row.type)}, {"rough", row.rough},
                     {"formats", row.formats}});
      continue;
    }
    const std::string quality = *row.quality ? row.quality : "(none)";
    std::cout << std::left << std::setw(20) << quality << " " << std::setw(10) << ChordTypeCaption(row.type) << " "
              << row.formats << (row.rough ? " (nearest)" : "") << std::right << "\n";
  }
  if (json) {
    std::cout << out.dump() << "\n";
    return kExitOk;
  }
  std::cout << "Other qualities are read by their names (vambrio-cli chords) or tone by tone, and play the nearest "
               "type; a written bass after a slash is kept.\n";
  return kExitOk;
}

int RunChords(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, {"--json", "--symbols"}, {});
  if (!parsed || !parsed->positional.empty()) return Usage(kUsage);
  if (parsed->Has("--symbols")) return PrintSymbols(parsed->Has("--json"));
  if (parsed->Has("--json")) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (int t = 0; t < kChordTypeCount; ++t) {
      auto tones = ChordTypeTones(t);
      out.push_back({{"type", t}, {"name", ChordTypeName(t)}, {"tones", std::vector<int>(tones.begin(), tones.end())}});
    }
    std::cout << out.dump() << "\n";
    return kExitOk;
  }
  std::cout << "Type  Name       Over C       Semitones\n";
  for (int t = 0; t < kChordTypeCount; ++t) {
    std::cout << std::setw(4) << t << "  " << std::left << std::setw(9) << ChordTypeCaption(t) << "  " << std::setw(11)
              << ChordName({0, t, -1}) << "  " << Tones(t) << std::right << "\n";
  }
  std::cout << "Roots: C C# Db D D# Eb E F F# Gb G G# Ab A A# Bb B; a bass note after a slash: F/A.\n";
  return kExitOk;
}

const CommandRegistration kChords(
    {.name = "chords",
     .usage = kUsage,
     .summary = "Lists the chord types --chord plays, with their names over C and their semitones",
     .options = {{"--json", "", "one JSON array: each type's number, name and tones"},
                 {"--symbols", "", "the lead-sheet chord symbols (iReal Pro, ChordPro, MusicXML) and the types they play"}},
     .examples = {"vambrio-cli chords", "vambrio-cli render Pop.sty \"Main A\" -o main-a.wav --chord Bbm7"}},
    RunChords);

}  // namespace

bool ReadChordOption(const ParsedArgs& args, std::optional<Chord>& chord) {
  chord.reset();
  const auto name = args.Value("--chord");
  if (!name) return true;
  if (args.Has("--minor")) {
    std::cerr << "vambrio-cli: --chord and --minor do not go together (--minor plays the classic C minor)\n";
    return false;
  }
  std::string error;
  chord = ParseChord(*name, &error);
  if (!chord) std::cerr << "vambrio-cli: --chord " << error << "\n";
  return chord.has_value();
}

nlohmann::ordered_json RulesJson(const ChordRules& rules) {
  nlohmann::ordered_json groups = nlohmann::ordered_json::array();
  for (const RuleGroup& g : rules.groups) {
    nlohmann::ordered_json channels = nlohmann::ordered_json::array();
    for (const ChannelRule& c : g.channels) channels.push_back(ChannelJson(c));
    groups.push_back({{"sections", g.sections}, {"channels", channels}});
  }
  return {{"block", rules.hasBlock}, {"groups", groups}};
}

void PrintRules(std::ostream& out, const ChordRules& rules) {
  if (!rules.hasBlock) out << "  Chord rules: none (every channel plays its own part by the usual rules)\n";
  for (const RuleGroup& g : rules.groups) {
    out << "  Chord rules for:";
    for (size_t i = 0; i < g.sections.size(); ++i) out << (i ? ", " : " ") << g.sections[i];
    out << "\n";
    for (const ChannelRule& c : g.channels) {
      out << "    " << std::setw(2) << c.sourceChannel + 1 << " " << std::left << std::setw(8) << Trimmed(c.name) << " "
          << std::setw(11) << PartName(c.part) << std::right << " on " << ChordName({c.sourceRoot, c.sourceType, -1})
          << ": " << RangeText(c.Range(RangeIndex::Middle));
      if (c.newLayout) out << " (notes " << int{c.middleLow} << ".." << int{c.middleHigh} << ")";
      out << "\n";
    }
  }
}

}  // namespace vambrio::cli
