// vambrio-cli import FILE|LINK... [-o DIR] [--json] [--transpose N]: lead
// sheets (iReal Pro links and playlists, ChordPro, MusicXML) made into one
// chord chart per song.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/song_source.h"
#include "model/ascii_case.h"
#include "songs/chart_text.h"
#include "songs/import.h"

namespace vambrio::cli {
namespace {

constexpr const char* kUsage = "import FILE|LINK... [-o DIR] [--json] [--transpose N]";

// A file name from a title: no separators or characters that file systems refuse, unique in `taken`.
std::string FileName(const std::string& title, std::set<std::string>& taken) {
  std::string safe;
  for (unsigned char c : title) safe += c < 32 || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) !=
                                                     std::string_view::npos
                                            ? '_'
                                            : static_cast<char>(c);
  while (!safe.empty() && (safe.back() == ' ' || safe.back() == '.')) safe.pop_back();
  while (!safe.empty() && (safe.front() == ' ' || safe.front() == '.')) safe.erase(safe.begin());
  if (safe.size() > 120) safe.resize(120);
  if (safe.empty()) safe = "Song";
  std::string name = safe + ".chart";
  for (int n = 2; taken.count(AsciiLower(name)); ++n) name = safe + " (" + std::to_string(n) + ").chart";
  taken.insert(AsciiLower(name));
  return name;
}

int RunImport(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, Help("import"));
  int transpose = 0;
  if (!parsed || parsed->positional.empty() || !ReadTranspose(parsed->Value("--transpose"), transpose))
    return Usage("import");
  const bool json = parsed->Has("--json");
  const std::filesystem::path dir = parsed->Value("-o").value_or(".");
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir)) {
    std::cerr << dir.string() << ": not a folder that can be written\n";
    return kExitFailed;
  }
  std::set<std::string> taken;
  nlohmann::ordered_json listing = nlohmann::ordered_json::array();
  size_t imported = 0, warnings = 0, failed = 0;
  for (const std::string& source : parsed->positional) {
    songs::Imported in = songs::ImportSource(source);
    const std::string name = source.starts_with("irealb") ? "the link" : source;
    if (!in.error.empty()) {
      std::cerr << name << ": " << in.error << "\n";
      ++failed;
      continue;
    }
    for (songs::ImportedSong& song : in.songs) {
      nlohmann::ordered_json entry = {{"title", song.info.title}};
      for (const std::string& w : song.warnings) std::cerr << name << ": warning: " << w << "\n";
      warnings += song.warnings.size();
      if (!song.Ok()) {
        std::cerr << name << ": " << song.error << "\n";
        ++failed;
        entry["error"] = song.error;
      } else {
        if (transpose) songs::TransposeChart(song.chart, transpose);
        const std::string file = (dir / FileName(song.info.title, taken)).string();
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << songs::WriteChart(song.chart);
        out.close();
        if (!out) {
          std::cerr << file << ": the file could not be written\n";
          return kExitFailed;
        }
        ++imported;
        nlohmann::ordered_json sections = nlohmann::ordered_json::array();
        for (const auto& s : song.chart.sections) sections.push_back({{"name", s.name}, {"bar", s.firstBar + 1}});
        entry["file"] = file;
        entry["bars"] = song.chart.bars.size();
        entry["written_bars"] = song.writtenBars;
        entry["sections"] = sections;
      }
      entry["warnings"] = song.warnings;
      listing.push_back(entry);
    }
  }
  if (json) std::cout << listing.dump(1) << "\n";
  (json ? std::cerr : std::cout) << "Imported " << imported << (imported == 1 ? " song" : " songs") << " ("
                                 << warnings << (warnings == 1 ? " warning" : " warnings") << ")"
                                 << (failed ? ", " + std::to_string(failed) + " could not be read" : "") << "\n";
  return failed ? kExitFailed : kExitOk;
}

const CommandRegistration kImport(
    {.name = "import",
     .usage = kUsage,
     .summary = "Makes lead sheets (iReal Pro links and playlists, ChordPro, MusicXML) into chord charts, one a song",
     .arguments = {{"FILE|LINK", "", "a file (.html or .txt with iReal Pro links, .cho, .musicxml, .xml, .mxl), or a "
                                     "pasted irealb:// link"}},
     .options = {{"-o", "DIR", "the folder for the charts (without: the current folder)"},
                 {"--json", "", "list each song's title, file, bars, sections and warnings as JSON"},
                 {"--transpose", "N", "every chord moved by N semitones, -11 to 11"}},
     .examples = {"vambrio-cli import playlist.html -o charts",
                  "vambrio-cli import \"irealb://...\" -o charts --json"},
     .details = "Each song is played once through in the chart (repeats, endings, D.C. and D.S. unrolled); its "
                "sections become the style's (A: Main A, B: Main B, intro: Intro A, chorus: Main B ...), with a "
                "Fill In before each change of Main and an Ending after the last bar. A song that cannot be read "
                "is reported and the others are imported."},
    RunImport);

}  // namespace
}  // namespace vambrio::cli
