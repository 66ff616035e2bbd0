#include "cli/song_source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "model/ascii_case.h"
#include "songs/chart_text.h"
#include "songs/import.h"

namespace vambrio::cli {
namespace {

// The text of a file, or of standard input for "-"; the reason in words when it cannot be read.
std::string ReadText(const std::string& name, std::string& text) {
  std::ostringstream all;
  if (name == "-") {
    all << std::cin.rdbuf();
    text = all.str();
    return std::cin.bad() ? "standard input could not be read" : "";
  }
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec)) return "this is a folder, not a chart";
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    const int error = errno;
    return std::string("the chart could not be read: ") +
           (!std::filesystem::exists(name, ec) ? "there is no such file" : std::strerror(error));
  }
  all << in.rdbuf();
  text = all.str();
  return in.bad() ? "the chart could not be read: " + std::string(std::strerror(errno)) : "";
}

bool IsChart(const std::string& path, std::string_view text) {
  const size_t dot = path.rfind('.');
  if (path == "-" || (dot != std::string::npos && AsciiLower(path.substr(dot)) == ".chart")) return true;
  return songs::DetectFormat(text, path) == songs::SongFormat::Unknown;
}

// The chosen song's index, or -1 (after saying why).
int Choose(const songs::Imported& imported, const std::string& name, const std::optional<std::string>& choice) {
  const int count = static_cast<int>(imported.songs.size());
  if (!choice) {
    if (count > 1) std::cerr << name << ": " << count << " songs; playing the first (--song N|TITLE chooses)\n";
    return 0;
  }
  char* end = nullptr;
  const long n = std::strtol(choice->c_str(), &end, 10);
  if (!choice->empty() && *end == '\0') {
    if (n >= 1 && n <= count) return static_cast<int>(n - 1);
    std::cerr << name << ": there is no song " << *choice << " (it has " << count << ")\n";
    return -1;
  }
  for (int i = 0; i < count; ++i)
    if (AsciiLower(imported.songs[static_cast<size_t>(i)].info.title) == AsciiLower(*choice)) return i;
  std::cerr << name << ": no song is titled \"" << *choice << "\"\n";
  return -1;
}

}  // namespace

bool ReadTranspose(const std::optional<std::string>& value, int& semitones) {
  semitones = 0;
  if (!value) return true;
  char* end = nullptr;
  const long n = std::strtol(value->c_str(), &end, 10);
  if (value->empty() || *end != '\0' || n < -11 || n > 11) return false;
  semitones = static_cast<int>(n);
  return true;
}

std::optional<SongSource> ReadSongSource(const std::string& path, const std::optional<std::string>& choice,
                                         int transpose) {
  const bool link = path.starts_with("irealb://") || path.starts_with("irealbook://");
  const std::string name = path == "-" ? "standard input" : link ? "the link" : path;
  std::string text;
  if (const std::string problem = link ? "" : ReadText(path, text); !problem.empty()) {
    std::cerr << name << ": " << problem << "\n";
    return std::nullopt;
  }
  SongSource source;
  source.name = name;
  if (!link && IsChart(path, text)) {
    auto chart = arranger::ReadChart(text);
    if (auto* e = std::get_if<arranger::ChartError>(&chart)) {
      std::cerr << name << ": " << e->Text() << "\n";
      return std::nullopt;
    }
    source.chart = std::move(std::get<arranger::Chart>(chart));
  } else {
    songs::Imported imported = link ? songs::ImportBytes(path, name) : songs::ImportBytes(text, path);
    if (!imported.error.empty()) {
      std::cerr << name << ": " << imported.error << "\n";
      return std::nullopt;
    }
    const int index = Choose(imported, name, choice);
    if (index < 0) return std::nullopt;
    songs::ImportedSong& song = imported.songs[static_cast<size_t>(index)];
    for (const std::string& w : song.warnings) std::cerr << name << ": warning: " << w << "\n";
    if (!song.Ok()) {
      std::cerr << name << ": " << song.error << "\n";
      return std::nullopt;
    }
    source.chart = std::move(song.chart);
    source.imported = true;
    if (imported.songs.size() > 1) source.name += " (" + song.info.title + ")";
  }
  if (transpose != 0) songs::TransposeChart(source.chart, transpose);
  return source;
}

}  // namespace vambrio::cli
