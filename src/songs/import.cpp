#include "songs/import.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/ascii_case.h"
#include "songs/chordpro.h"
#include "songs/ireal.h"
#include "songs/musicxml.h"

namespace vambrio::songs {
namespace {

std::string Extension(std::string_view name) {
  const size_t dot = name.rfind('.');
  const size_t slash = name.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return "";
  return AsciiLower(name.substr(dot + 1));
}

std::string TitleOf(const ImportedSong& song, size_t index) {
  return song.info.title.empty() ? "song " + std::to_string(index + 1) : "\"" + song.info.title + "\"";
}

}  // namespace

SongFormat DetectFormat(std::string_view bytes, std::string_view fileName) {
  if (bytes.starts_with("PK\x03\x04")) return SongFormat::Mxl;
  if (bytes.find("irealb://") != std::string_view::npos || bytes.find("irealbook://") != std::string_view::npos)
    return SongFormat::Ireal;
  const std::string_view head = bytes.substr(0, 4096);
  if (head.find("<score-partwise") != std::string_view::npos || head.find("<score-timewise") != std::string_view::npos ||
      head.find("<?xml") != std::string_view::npos)
    return SongFormat::MusicXml;
  const std::string ext = Extension(fileName);
  if (ext == "mxl") return SongFormat::Mxl;
  if (ext == "musicxml" || ext == "xml") return SongFormat::MusicXml;
  if (ext == "cho" || ext == "crd" || ext == "chopro" || ext == "chordpro" || ext == "pro") return SongFormat::ChordPro;
  if (ext == "html" || ext == "htm" || ext == "txt") return SongFormat::Ireal;
  if (head.find('{') != std::string_view::npos || head.find('[') != std::string_view::npos) return SongFormat::ChordPro;
  return SongFormat::Unknown;
}

ImportedSong MakeSong(SheetResult sheet, const SectionMapping& mapping) {
  ImportedSong song;
  song.info = sheet.sheet.info;
  song.warnings = std::move(sheet.sheet.warnings);
  song.writtenBars = sheet.sheet.bars.size();
  song.error = std::move(sheet.error);
  if (!song.Ok()) return song;
  std::string error;
  const std::vector<PlayedBar> order = Unroll(sheet.sheet, &error);
  if (!error.empty()) {
    song.error = error;
    return song;
  }
  song.chart = MakeChart(sheet.sheet, order, mapping);
  // A sheet whose music string holds no bar gives nothing to play.
  if (song.chart.bars.empty()) song.error = "the song has no bars to play";
  return song;
}

Imported ImportBytes(std::string_view bytes, std::string_view fileName, const SectionMapping& mapping) {
  Imported out;
  const std::string name(fileName);
  out.name = name;
  std::vector<SheetResult> sheets;
  switch (DetectFormat(bytes, fileName)) {
    case SongFormat::Ireal: {
      const std::vector<std::string> links = FindIrealLinks(bytes);
      if (links.empty()) out.error = "no iReal Pro link (irealb:// or irealbook://) in it";
      for (const std::string& link : links) {
        IrealPlaylist list = ReadIrealLink(link);
        if (!list.name.empty()) out.name = list.name;
        for (SheetResult& s : list.songs) sheets.push_back(std::move(s));
      }
      break;
    }
    case SongFormat::ChordPro: sheets = ReadChordPro(bytes); break;
    case SongFormat::MusicXml: sheets.push_back(ReadMusicXml(bytes)); break;
    case SongFormat::Mxl: {
      std::string score, error;
      if (!UnpackMxl(bytes, score, error)) out.error = error;
      else sheets.push_back(ReadMusicXml(score));
      break;
    }
    case SongFormat::Unknown:
      out.error = "not a lead sheet Vambrio reads (iReal Pro links, ChordPro, MusicXML or .mxl)";
      break;
  }
  for (SheetResult& s : sheets) {
    if (s.sheet.info.title.empty() && sheets.size() == 1) {
      const size_t slash = name.find_last_of("/\\");
      const std::string base = name.substr(slash == std::string::npos ? 0 : slash + 1);
      s.sheet.info.title = base.substr(0, base.rfind('.'));
    }
    out.songs.push_back(MakeSong(std::move(s), mapping));
  }
  // Every warning and error names its song.
  for (size_t i = 0; i < out.songs.size(); ++i) {
    ImportedSong& song = out.songs[i];
    for (std::string& w : song.warnings) w = TitleOf(song, i) + ", " + w;
    if (!song.Ok() && song.error.rfind("song ", 0) != 0) song.error = TitleOf(song, i) + ": " + song.error;
  }
  return out;
}

Imported ImportSource(const std::string& fileOrLink, const SectionMapping& mapping) {
  if (fileOrLink.starts_with("irealb://") || fileOrLink.starts_with("irealbook://"))
    return ImportBytes(fileOrLink, "the link", mapping);
  std::ifstream in(fileOrLink, std::ios::binary);
  if (!in) return Imported{fileOrLink, {}, "the file cannot be read"};
  std::ostringstream all;
  all << in.rdbuf();
  return ImportBytes(all.str(), fileOrLink, mapping);
}

}  // namespace vambrio::songs
