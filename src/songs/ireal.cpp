// iReal Pro links: finding them in a text, their songs' fields, and the
// obfuscation of an `irealb://` song's music. The music itself is read in
// ireal_music.cpp.
#include "songs/ireal.h"

#include <algorithm>
#include <cctype>

namespace vambrio::songs {
namespace {

constexpr std::string_view kMarker = "1r34LbKcu7";

std::string Replace(std::string s, std::string_view from, std::string_view to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view by) {
  std::vector<std::string> out;
  size_t at = 0;
  for (size_t next; (next = s.find(by, at)) != std::string_view::npos; at = next + by.size())
    out.emplace_back(s.substr(at, next - at));
  out.emplace_back(s.substr(at));
  return out;
}

bool IsNumber(const std::string& s) {
  return !s.empty() && s.size() < 6 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Fields of an `irealb://` song: title, composer, "", style, key, "", music, then numbers.
SheetResult ReadIrealb(const std::vector<std::string>& f) {
  LeadSheet sheet;
  sheet.info.title = f.empty() ? "" : f[0];
  const auto music = std::find_if(f.begin(), f.end(), [](const std::string& x) { return x.starts_with(kMarker); });
  if (music == f.end()) return {std::move(sheet), "the song has no music (its text does not start with the marker)"};
  const size_t m = static_cast<size_t>(music - f.begin());
  if (m > 1) sheet.info.composer = f[1];
  std::vector<std::string> named;
  for (size_t k = 2; k < m; ++k)
    if (!f[k].empty()) named.push_back(f[k]);
  if (!named.empty()) sheet.info.style = named[0];
  if (named.size() > 1) sheet.info.key = named[1];
  std::vector<int> numbers;
  for (size_t k = m + 1; k < f.size(); ++k)
    if (IsNumber(f[k])) numbers.push_back(std::stoi(f[k]));
  const size_t skip = numbers.size() >= 3 ? 1 : 0;  // the transposition the app shows: not played
  if (numbers.size() > skip) sheet.info.tempo = numbers[skip];
  if (numbers.size() > skip + 1) sheet.choruses = std::clamp(numbers[skip + 1], 1, 16);
  return ReadIrealMusic(UnscrambleIreal(*music), std::move(sheet));
}

// The obfuscation of an `irealb://` song's music, which undoes itself: in
// each 50-character block followed by more than one character, characters
// 0-4 and 10-23 change places with their mirror images (49 - i).
std::string SwapBlocks(std::string_view music) {
  std::string out;
  out.reserve(music.size());
  while (music.size() > 51) {
    std::string block(music.substr(0, 50));
    for (int i = 0; i < 5; ++i) std::swap(block[static_cast<size_t>(i)], block[static_cast<size_t>(49 - i)]);
    for (int i = 10; i < 24; ++i) std::swap(block[static_cast<size_t>(i)], block[static_cast<size_t>(49 - i)]);
    out += block;
    music.remove_prefix(50);
  }
  return out + std::string(music);
}

void Name(SheetResult& r, size_t index) {
  if (r.error.empty()) return;
  const std::string title = r.sheet.info.title.empty() ? "" : " \"" + r.sheet.info.title + "\"";
  r.error = "song " + std::to_string(index + 1) + title + ": " + r.error;
}

}  // namespace

std::string UnscrambleIreal(std::string_view music) {
  if (music.starts_with(kMarker)) music.remove_prefix(kMarker.size());
  return Replace(Replace(Replace(SwapBlocks(music), "Kcl", "| x"), "LZ", " |"), "XyQ", "   ");
}

std::string ScrambleIreal(std::string_view music) { return std::string(kMarker) + SwapBlocks(music); }


std::vector<std::string> FindIrealLinks(std::string_view text) {
  std::vector<std::string> links;
  size_t at = 0;
  while (true) {
    const size_t b = text.find("irealb://", at), book = text.find("irealbook://", at);
    const size_t start = std::min(b, book);
    if (start == std::string_view::npos) break;
    size_t end = start;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '"' &&
           text[end] != '\'' && text[end] != '<' && text[end] != '>')
      ++end;
    links.push_back(Replace(std::string(text.substr(start, end - start)), "&amp;", "&"));
    at = end;
  }
  return links;
}

IrealPlaylist ReadIrealLink(std::string_view link) {
  IrealPlaylist list;
  const bool old = link.starts_with("irealbook://");
  const std::string body = PercentDecode(link.substr(link.find("://") + 3));
  std::vector<std::string> songs = Split(body, "===");
  if (songs.size() > 1) {
    list.name = songs.back();
    songs.pop_back();
  }
  for (const std::string& song : songs) {
    std::vector<std::string> fields = Split(song, "=");
    if (!old) {
      list.songs.push_back(ReadIrealb(fields));
      Name(list.songs.back(), list.songs.size() - 1);
      continue;
    }
    // title=composer=style=key=n=music, song after song.
    for (size_t k = 0; k < fields.size(); k += 6) {
      auto field = [&](size_t i) { return k + i < fields.size() ? fields[k + i] : std::string(); };
      if (k + 5 >= fields.size() && field(0).empty() && field(1).empty()) break;  // a trailing "="
      LeadSheet sheet;
      sheet.info = {field(0), field(1), field(3), field(2), 4, 4, 0};
      SheetResult r = k + 5 < fields.size() ? ReadIrealMusic(fields[k + 5], std::move(sheet))
                                             : SheetResult{std::move(sheet), "the song has no music"};
      list.songs.push_back(std::move(r));
      Name(list.songs.back(), list.songs.size() - 1);
    }
  }
  return list;
}

}  // namespace vambrio::songs
