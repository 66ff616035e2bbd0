#include "cli/library/library_output.h"

#include <cstdio>

#include "library/style_summary.h"
#include "model/shown_text.h"

namespace vambrio::cli {
namespace {

std::string Std(const QString& s) { return s.toStdString(); }
std::string Raw(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }

// Characters a UTF-8 text takes on a terminal (one per code point).
size_t Columns(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string Hex(const QByteArray& b) { return b.toHex().toStdString(); }

}  // namespace

std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return n < 0 ? "-" + out : out;
}

nlohmann::ordered_json RowJson(const library::LibraryRow& row) {
  nlohmann::ordered_json j;
  j["path"] = Std(row.DisplayPath());
  // A name the file system holds in another encoding: its exact bytes, so
  // that a script can still reach the file.
  if (!library::IsValidUtf8(row.path)) j["path_hex"] = Hex(row.path);
  j["ok"] = row.Loaded();
  if (!row.Loaded()) j["error"] = Std(row.error);
  j["file"] = Std(row.FileName());
  j["folder"] = Std(row.Folder());
  j["type"] = Std(row.Type());
  if (row.Loaded()) {
    j["name"] = Std(row.name);
    j["copyright"] = Std(row.copyright);
    j["tempo"] = row.tempo;
    j["time_signature"] = Std(row.timeSignature);
    j["format"] = Std(row.format);
    nlohmann::ordered_json sections = nlohmann::ordered_json::array();
    for (const QString& s : row.sections) sections.push_back(Std(s));
    j["sections"] = sections;
    nlohmann::ordered_json parts = nlohmann::ordered_json::array();
    for (size_t k = 0; k < library::kPartNames.size(); ++k)
      if (row.parts & (1 << k)) parts.push_back(library::kPartNames[k]);
    j["parts"] = parts;
  }
  j["size"] = row.size;
  j["hash"] = Std(row.hash);
  j["favourite"] = row.favourite;
  return j;
}

nlohmann::ordered_json SongJson(const library::LibrarySong& song) {
  nlohmann::ordered_json keywords = nlohmann::ordered_json::array();
  for (const QString& k : song.keywords) keywords.push_back(Std(k));
  return {{"title", Std(song.title)}, {"genre", Std(song.genre)}, {"keywords", keywords}, {"tempo", song.tempo},
          {"time_signature", Std(song.timeSignature)}};
}

std::string SongLine(const library::LibrarySong& song) {
  std::string title = Std(song.title);
  if (Columns(title) < 32) title += std::string(32 - Columns(title), ' ');
  char fields[64];
  std::snprintf(fields, sizeof fields, "%4d  %-5s  ", song.tempo, Std(song.timeSignature).c_str());
  return title + "  " + fields + Std(song.genre);
}

size_t NameWidth(const std::vector<const library::LibraryRow*>& rows) {
  size_t width = 4;
  for (const auto* r : rows) width = std::max(width, Columns(ShownText(Std(r->name))));
  return std::min<size_t>(width, 40);
}

std::string RowLine(const library::LibraryRow& row, size_t nameWidth) {
  std::string name = row.Loaded() ? ShownText(Std(row.name)) : "-";
  if (Columns(name) < nameWidth) name += std::string(nameWidth - Columns(name), ' ');
  char fields[64];
  if (row.Loaded()) {
    std::snprintf(fields, sizeof fields, "%4d  %-5s  %-4s", row.tempo, Std(row.timeSignature).c_str(),
                  Std(row.format).c_str());
  } else {
    std::snprintf(fields, sizeof fields, "%4s  %-5s  %-4s", "-", "-", "-");
  }
  std::string line = (row.favourite ? "* " : "  ") + name + "  " + fields + "  " + ShownText(Raw(row.path));
  if (!row.Loaded()) line += "  (" + ShownText(Std(row.error)) + ")";
  return line;
}

}  // namespace vambrio::cli
