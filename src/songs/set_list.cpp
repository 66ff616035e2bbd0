#include "songs/set_list.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace vambrio::songs {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFormat = "vambrio set list";
constexpr const char* kCountIns[] = {"none", "one bar", "two bars", "intro"};

Json MappingJson(const SectionMapping& m) {
  Json marks = Json::object();
  for (const auto& [written, section] : m.marks) marks[written] = section;
  return {{"marks", marks},
          {"unmarked", m.unmarked},
          {"unmarked_again", m.unmarkedAgain},
          {"fills", m.fills},
          {"ending", m.ending}};
}

SectionMapping ReadMapping(const Json& j) {
  SectionMapping m;
  if (!j.is_object()) return m;
  if (j.contains("marks")) {
    m.marks.clear();
    for (const auto& [written, section] : j.at("marks").items()) m.marks.emplace_back(written, section.get<std::string>());
  }
  m.unmarked = j.value("unmarked", m.unmarked);
  m.unmarkedAgain = j.value("unmarked_again", m.unmarkedAgain);
  m.fills = j.value("fills", m.fills);
  m.ending = j.value("ending", m.ending);
  return m;
}

}  // namespace

std::string WriteSetList(const SetList& list) {
  Json songs = Json::array();
  for (const SetListSong& s : list.songs) {
    songs.push_back({{"title", s.title},
                     {"chart", s.chart},
                     {"source", s.source},
                     {"style", s.style},
                     {"tempo", s.tempo},
                     {"transpose", s.transpose},
                     {"count_in", kCountIns[static_cast<int>(s.countIn)]},
                     {"sections", MappingJson(s.mapping)}});
    if (s.registrationSlot >= 0)
      songs.back()["registration"] = {{"bank", s.registrationBank}, {"slot", s.registrationSlot + 1}};
  }
  return Json{{"format", kFormat}, {"version", 1}, {"name", list.name}, {"songs", songs}}.dump(2) + "\n";
}

std::variant<SetList, std::string> ReadSetList(std::string_view text) {
  try {
    const Json j = Json::parse(text);
    if (!j.is_object() || j.value("format", "") != kFormat) return std::string("not a Vambrio set list");
    SetList list;
    list.name = j.value("name", "");
    size_t index = 0;
    for (const Json& s : j.at("songs")) {
      ++index;
      SetListSong song;
      song.title = s.value("title", "");
      song.chart = s.at("chart").get<std::string>();
      song.source = s.value("source", "");
      song.style = s.value("style", "");
      song.tempo = s.value("tempo", 0.0);
      song.transpose = s.value("transpose", 0);
      if (!std::isfinite(song.tempo) || song.tempo < 0 || song.tempo > 500 || song.transpose < -11 ||
          song.transpose > 11)
        return "song " + std::to_string(index) + ": tempo or transpose out of range";
      const std::string countIn = s.value("count_in", "none");
      for (int c = 0; c < 4; ++c)
        if (countIn == kCountIns[c]) song.countIn = static_cast<CountIn>(c);
      song.mapping = ReadMapping(s.value("sections", Json::object()));
      if (const auto r = s.find("registration"); r != s.end() && r->is_object()) {
        song.registrationBank = r->value("bank", "");
        const int slot = r->value("slot", 0);
        if (slot < 1 || slot > 8) return "song " + std::to_string(index) + ": registration slot out of range (1..8)";
        song.registrationSlot = slot - 1;
      }
      list.songs.push_back(std::move(song));
    }
    return list;
  } catch (const Json::parse_error& e) {
    return "damaged at byte " + std::to_string(e.byte) + " (not JSON)";
  } catch (const Json::exception& e) {
    return std::string("damaged: ") + e.what();
  }
}

std::variant<SetList, std::string> LoadSetList(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string("the file cannot be read");
  std::ostringstream all;
  all << in.rdbuf();
  return ReadSetList(all.str());
}

bool SaveSetList(const std::string& path, const SetList& list, std::string& error) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    auto old = LoadSetList(path);
    if (auto* why = std::get_if<std::string>(&old)) {
      error = path + " is not a readable set list (" + *why + "); it is kept as it is: save under another name";
      return false;
    }
  }
  const std::string temporary = path + ".saving";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << WriteSetList(list);
    out.close();
    if (!out) {
      std::filesystem::remove(temporary, ec);
      error = path + ": the set list could not be written";
      return false;
    }
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    error = path + ": the set list could not be written";
    return false;
  }
  return true;
}

}  // namespace vambrio::songs
