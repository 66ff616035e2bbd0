#include "songs/chordpro.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "chord/chord_symbols.h"
#include "model/ascii_case.h"

namespace vambrio::songs {
namespace {

using arranger::ChartSlot;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// The section a word names, "" for none.
std::string SectionWord(std::string_view text) {
  const std::string lower = AsciiLower(Trim(text));
  for (const char* word : {"intro", "verse", "chorus", "bridge"})
    if (lower.rfind(word, 0) == 0) return word;
  return "";
}

class ChordProReader {
 public:
  std::vector<SheetResult> Read(std::string_view text) {
    int number = 0;
    size_t at = 0;
    while (at <= text.size()) {
      const size_t end = std::min(text.find('\n', at), text.size());
      line_ = ++number;
      Line(Trim(text.substr(at, end - at)));
      at = end + 1;
    }
    Finish();
    return std::move(songs_);
  }

 private:
  LeadSheet& sheet() { return song_.sheet; }

  void Warn(const std::string& why) {
    sheet().warnings.push_back("bar " + std::to_string(sheet().bars.size() + 1) + " (line " + std::to_string(line_) +
                               "): " + why);
  }

  void Line(std::string_view line) {
    if (line.starts_with("#")) return;
    if (line.starts_with("{")) return Directive(line);
    if (inTab_ || line.empty()) return;
    if (line.find('|') != std::string_view::npos && IsGrid(line)) return Grid(line);
    for (size_t open = line.find('['); open != std::string_view::npos; open = line.find('[', open + 1)) {
      const size_t close = line.find(']', open);
      if (close == std::string_view::npos) break;
      const std::string_view name = Trim(line.substr(open + 1, close - open - 1));
      if (name.empty() || name.starts_with("*")) continue;
      ChartSlot slot;
      if (!Slot(name, slot) || slot.kind == ChartSlot::Kind::Continue) continue;
      if (!guessed_) Warn("bars are not written: each chord is played for one bar"), guessed_ = true;
      AddBar({PlacedChord{0, slot}});
    }
  }

  // A line of chords and bar lines only.
  static bool IsGrid(std::string_view line) {
    size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '|' || line[i] == '\t')) ++i;
      size_t end = i;
      while (end < line.size() && line[end] != ' ' && line[end] != '|' && line[end] != '\t') ++end;
      std::string_view token = line.substr(i, end - i);
      if (token.starts_with("[") && token.ends_with("]")) token = token.substr(1, token.size() - 2);
      if (!token.empty() && token != "." && token != "/" && token != "%" && token != "x" && token != "N.C." &&
          token != "NC" && !ReadChordSymbol(token))
        return false;
      i = end;
    }
    return true;
  }

  void Grid(std::string_view line) {
    size_t at = 0;
    while (at < line.size()) {
      size_t bar = line.find('|', at);
      if (bar == std::string_view::npos) bar = line.size();
      std::vector<ChartSlot> slots;
      std::string_view part = line.substr(at, bar - at);
      at = bar + 1;
      bool repeat = false;
      size_t i = 0;
      while (i < part.size()) {
        while (i < part.size() && (part[i] == ' ' || part[i] == '\t')) ++i;
        size_t end = i;
        while (end < part.size() && part[end] != ' ' && part[end] != '\t') ++end;
        std::string_view token = part.substr(i, end - i);
        i = end;
        if (token.empty()) continue;
        if (token == "%" || token == "x") {
          repeat = true;
          continue;
        }
        if (token.starts_with("[") && token.ends_with("]")) token = token.substr(1, token.size() - 2);
        ChartSlot slot;
        if (Slot(token, slot)) slots.push_back(slot);
      }
      if (repeat && !sheet().bars.empty()) {
        AddBar(sheet().bars.back().chords);
        continue;
      }
      if (slots.empty()) continue;
      std::vector<PlacedChord> placed;
      for (size_t k = 0; k < slots.size(); ++k)
        if (slots[k].kind != ChartSlot::Kind::Continue)
          placed.push_back({static_cast<double>(k) / static_cast<double>(slots.size()), slots[k]});
      AddBar(std::move(placed));
    }
  }

  bool Slot(std::string_view token, ChartSlot& slot) {
    if (token == "." || token == "/") {
      slot = {ChartSlot::Kind::Continue, {}, ".", {}};
      return true;
    }
    if (token == "N.C." || token == "NC" || token == "N.C") {
      slot = {ChartSlot::Kind::NoChord, {}, "N.C.", {}};
      return true;
    }
    std::string why;
    const auto symbol = ReadChordSymbol(token, &why);
    if (!symbol) {
      Warn(why + ": left out");
      return false;
    }
    if (symbol->rough) Warn("\"" + std::string(token) + "\" plays as " + ChordName(symbol->chord));
    slot = {ChartSlot::Kind::Chord, symbol->chord, std::string(token), {}};
    return true;
  }

  void AddBar(std::vector<PlacedChord> chords) {
    SheetBar bar;
    bar.beats = beats_, bar.beatType = beatType_;
    bar.chords = std::move(chords);
    bar.mark = std::move(mark_);
    mark_.clear();
    bar.number = static_cast<int>(sheet().bars.size()) + 1;
    if (inChorus_) chorus_.push_back(bar);
    sheet().bars.push_back(std::move(bar));
  }

  void Directive(std::string_view line) {
    const size_t close = line.find('}');
    const std::string_view inner = line.substr(1, (close == std::string_view::npos ? line.size() : close) - 1);
    const size_t colon = inner.find_first_of(": ");
    const std::string name = AsciiLower(Trim(inner.substr(0, colon)));
    const std::string value(colon == std::string_view::npos ? "" : Trim(inner.substr(colon + 1)));
    SongInfo& info = sheet().info;
    if (name == "new_song" || name == "ns") return NewSong();
    if (name == "title" || name == "t") info.title = value;
    else if ((name == "subtitle" || name == "st" || name == "artist") && info.composer.empty()) info.composer = value;
    else if (name == "composer") info.composer = value;
    else if (name == "key") info.key = value;
    else if (name == "tempo") info.tempo = std::atof(value.c_str());
    else if (name == "time") Time(value);
    else if (name == "start_of_chorus" || name == "soc") Start("chorus"), inChorus_ = true, chorus_.clear();
    else if (name == "start_of_verse" || name == "sov") Start("verse");
    else if (name == "start_of_bridge" || name == "sob") Start("bridge");
    else if (name.starts_with("start_of_tab") || name == "sot") inTab_ = true;
    else if (name.starts_with("end_of_tab") || name == "eot") inTab_ = false;
    else if (name.starts_with("start_of_part") || name.starts_with("start_of_")) Start(SectionWord(value));
    else if (name.starts_with("end_of_") || name == "eoc" || name == "eov" || name == "eob") End();
    else if (name == "chorus") Chorus();
    else if (name == "comment" || name == "c" || name == "ci" || name == "cb" || name == "comment_italic") {
      if (!SectionWord(value).empty()) Start(SectionWord(value));
    }
  }

  void Start(const std::string& section) {
    if (!section.empty()) mark_ = section;
  }

  void End() {
    inChorus_ = false;
    mark_ = "verse";
  }

  // {chorus}: the last chorus again.
  void Chorus() {
    if (chorus_.empty()) return;
    std::vector<SheetBar> again = chorus_;
    again.front().mark = "chorus";
    for (SheetBar& b : again) {
      b.number = static_cast<int>(sheet().bars.size()) + 1;
      sheet().bars.push_back(std::move(b));
    }
    mark_ = "verse";
  }

  void Time(const std::string& value) {
    int beats = 0, type = 0;
    if (std::sscanf(value.c_str(), "%d/%d", &beats, &type) == 2 && beats > 0 && beats <= 16 && type > 0 && type <= 16) {
      beats_ = beats, beatType_ = type;
      if (sheet().bars.empty()) sheet().info.beats = beats, sheet().info.beatType = type;
    } else {
      Warn("\"" + value + "\" is not a time signature");
    }
  }

  void NewSong() {
    Finish(false);
    song_ = SheetResult{};
    beats_ = 4, beatType_ = 4, guessed_ = false, inChorus_ = false, inTab_ = false;
    chorus_.clear();
    mark_.clear();
  }

  void Finish(bool last = true) {
    const bool empty = sheet().bars.empty();
    if (empty && sheet().info.title.empty() && !(last && songs_.empty())) return;
    if (empty) song_.error = "the song has no chords";
    if (!song_.error.empty())
      song_.error = "song " + std::to_string(songs_.size() + 1) +
                    (sheet().info.title.empty() ? "" : " \"" + sheet().info.title + "\"") + ": " + song_.error;
    songs_.push_back(std::move(song_));
  }

  std::vector<SheetResult> songs_;
  SheetResult song_;
  int line_ = 0;
  int beats_ = 4, beatType_ = 4;
  bool guessed_ = false, inChorus_ = false, inTab_ = false;
  std::string mark_;
  std::vector<SheetBar> chorus_;
};

}  // namespace

std::vector<SheetResult> ReadChordPro(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return ChordProReader().Read(text);
}

}  // namespace vambrio::songs
