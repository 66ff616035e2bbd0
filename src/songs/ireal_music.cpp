// Reading the music string of an iReal Pro song (made readable) into the
// bars of a lead sheet: cells, chords, bar lines, repeats, endings, marks,
// texts and codas.
#include "songs/ireal.h"

#include <algorithm>
#include <optional>

#include "chord/chord_symbols.h"
#include "model/ascii_case.h"

namespace vambrio::songs {
namespace {

using arranger::ChartSlot;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The qualities iReal writes, longest first, for reading a chord greedily.
const std::vector<std::string>& Qualities() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> q;
    for (const ChordSymbolRow& row : ChordSymbolTable())
      if (std::string_view(row.formats).find("iReal") != std::string_view::npos) q.emplace_back(row.quality);
    std::sort(q.begin(), q.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    return q;
  }();
  return list;
}

bool IsRootLetter(char c) { return c >= 'A' && c <= 'G'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class MusicReader {
 public:
  MusicReader(std::string_view music, LeadSheet sheet) : s_(music) { result_.sheet = std::move(sheet); }

  SheetResult Read() {
    while (at_ < s_.size() && result_.error.empty()) Step();
    if (result_.error.empty()) {
      if (!cells_.empty() || repeatBars_ > 0) CloseBar();
      else DropEmpty();
    }
    if (result_.error.empty() && bars().empty()) Fail("the song has no bars");
    if (result_.error.empty()) PlaceCodas();
    return std::move(result_);
  }

 private:
  struct Cell {
    bool filled = false;
    ChartSlot slot;  // Continue for `p`
  };
  std::vector<SheetBar>& bars() { return result_.sheet.bars; }

  void Fail(const std::string& why) {
    if (result_.error.empty()) result_.error = "character " + std::to_string(at_ + 1) + ": " + why;
  }
  void Warn(const std::string& why) {
    result_.sheet.warnings.push_back("bar " + std::to_string(bars().size() + 1) + ": " + why);
  }

  bool Content() const { return !cells_.empty() || repeatBars_ > 0 || spaces_ >= 2; }

  void Step() {
    const char c = s_[at_];
    switch (c) {
      case ' ': case ',': Space(); ++at_; return;
      case '|': case '[': case ']': case 'Z': BarLine(c); ++at_; return;
      case '{': BarLine(c); open_.repeatStart = true; ++at_; return;
      case '}': BarLine(c); ++at_; return;
      case 'T': return TimeSignature();
      case '*': return Mark();
      case 'N': return Ending();
      case '<': return Text();
      case '(': return Skip(')');
      case 'x': repeatBars_ = 1, ++at_; return;
      case 'r': repeatBars_ = 2, ++at_; return;
      case 'n': Place({ChartSlot::Kind::NoChord, {}, "N.C.", {}}); ++at_; return;
      case 'p': Place({ChartSlot::Kind::Continue, {}, ".", {}}); ++at_; return;
      case 'W': return InvisibleRoot();
      case 'S': open_.segno = true; ++at_; return;
      case 'Q': codas_.push_back({bars().size(), Content()}); ++at_; return;
      case 'f': case 'Y': case 'U': case 's': case 'l': case '\n': case '\r': ++at_; return;
      default:
        if (IsRootLetter(c)) return Chord();
        Fail("unexpected " + Quoted(std::string(1, c)));
    }
  }

  // A space or comma: on to the next cell. One space at the start of a bar
  // only separates it from what stands before.
  void Space() {
    ++spaces_;
    if (spaces_ == 1 && cells_.empty()) return;
    Advance();
  }

  void Advance() {
    ++cursor_;
    if (cells_.size() < cursor_) cells_.resize(cursor_);
  }

  void Place(ChartSlot slot) {
    if (cursor_ < cells_.size() && cells_[cursor_].filled) ++cursor_;
    if (cells_.size() <= cursor_) cells_.resize(cursor_ + 1);
    cells_[cursor_] = {true, std::move(slot)};
  }

  void TimeSignature() {
    static const std::pair<std::string_view, std::pair<int, int>> kTimes[] = {
        {"T44", {4, 4}}, {"T34", {3, 4}}, {"T24", {2, 4}}, {"T54", {5, 4}}, {"T64", {6, 4}}, {"T74", {7, 4}},
        {"T22", {2, 2}}, {"T32", {3, 2}}, {"T58", {5, 8}}, {"T68", {6, 8}}, {"T78", {7, 8}}, {"T98", {9, 8}},
        {"T12", {12, 8}}};
    for (const auto& [token, time] : kTimes)
      if (s_.substr(at_, 3) == token) {
        time_ = time;
        if (bars().empty() && !Content()) result_.sheet.info.beats = time.first, result_.sheet.info.beatType = time.second;
        at_ += 3;
        return;
      }
    Fail("unknown time signature " + Quoted(std::string(s_.substr(at_, 3))));
  }

  void Mark() {
    if (at_ + 1 >= s_.size()) return Fail("a section mark needs its letter");
    const char m = s_[at_ + 1];
    open_.mark = m == 'i' ? "intro" : m == 'V' || m == 'v' ? "verse" : std::string(1, m);
    at_ += 2;
  }

  void Ending() {
    if (at_ + 1 >= s_.size() || !IsDigit(s_[at_ + 1])) return Fail("an ending is N1, N2, N3 or N0");
    ending_ = {s_[at_ + 1] - '0'};
    open_.endingStart = true;
    at_ += 2;
  }

  void Skip(char close) {
    const size_t end = s_.find(close, at_);
    at_ = end == std::string_view::npos ? s_.size() : end + 1;
  }

  void Text() {
    const size_t end = s_.find('>', at_);
    if (end == std::string_view::npos) return Fail("a text needs its closing >");
    std::string text(s_.substr(at_ + 1, end - at_ - 1));
    at_ = end + 1;
    const std::string lower = AsciiLower(text);
    SheetBar& target = open_;
    if (lower.find("d.c.") != std::string::npos || lower.find("da capo") != std::string::npos) target.jump = Jump::DaCapo;
    else if (lower.find("d.s.") != std::string::npos || lower.find("dal segno") != std::string::npos)
      target.jump = Jump::DalSegno;
    else if (lower.find("fine") != std::string::npos) target.fine = true;
    size_t digits = 0;
    while (digits < lower.size() && IsDigit(lower[digits])) ++digits;
    if (digits > 0 && digits < 3 && lower.substr(digits, 1) == "x") {
      const int times = std::stoi(lower.substr(0, digits));
      if (!bars().empty() && bars().back().repeatEnd && !Content()) bars().back().repeatTimes = times;
      else pendingTimes_ = times;
    }
  }

  void InvisibleRoot() {
    ++at_;
    if (at_ >= s_.size() || s_[at_] != '/') return Place({ChartSlot::Kind::Continue, {}, ".", {}});
    ++at_;
    const size_t start = at_;
    if (at_ < s_.size() && IsRootLetter(s_[at_])) ++at_;
    if (at_ < s_.size() && (s_[at_] == 'b' || s_[at_] == '#')) ++at_;
    const std::string bassName(s_.substr(start, at_ - start));
    const auto bass = ParseRoot(bassName);
    if (!bass || !last_) return Fail("an invisible root needs a chord before it and a bass note after /");
    ChartSlot slot = *last_;
    slot.chord.bass = *bass == slot.chord.root ? -1 : *bass;
    const size_t slash = slot.text.rfind('/');
    slot.text = (slash == std::string::npos ? slot.text : slot.text.substr(0, slash)) + "/" + bassName;
    Place(slot);
  }

  void Chord() {
    const size_t start = at_;
    ++at_;
    if (at_ < s_.size() && (s_[at_] == 'b' || s_[at_] == '#')) ++at_;
    std::string_view rest = s_.substr(at_);
    size_t quality = 0;
    for (const std::string& q : Qualities())
      if (rest.starts_with(q)) {
        quality = q.size();
        break;
      }
    // A quality beyond the known ones: more tensions after it.
    while (quality < rest.size()) {
      const char c = rest[quality];
      if (IsDigit(c) || c == '#' || c == '^' || c == '+' || (c == '-' && quality > 0) ||
          (c == 'b' && quality + 1 < rest.size() && IsDigit(rest[quality + 1])))
        ++quality;
      else
        break;
    }
    at_ += quality;
    if (at_ + 1 < s_.size() && s_[at_] == '/' && IsRootLetter(s_[at_ + 1])) {
      at_ += 2;
      if (at_ < s_.size() && (s_[at_] == 'b' || s_[at_] == '#')) ++at_;
    }
    const std::string text(s_.substr(start, at_ - start));
    std::string why;
    const auto symbol = ReadChordSymbol(text, &why);
    if (!symbol) return Fail("unknown chord " + why);
    if (symbol->rough) Warn(Quoted(text) + " plays as " + ChordName(symbol->chord));
    ChartSlot slot{ChartSlot::Kind::Chord, symbol->chord, text, {}};
    last_ = slot;
    Place(std::move(slot));
  }

  void BarLine(char c) {
    const bool closed = Content();
    if (closed) CloseBar();
    else DropEmpty();
    if (c == '}' && !bars().empty()) {
      bars().back().repeatEnd = true;
      if (pendingTimes_) bars().back().repeatTimes = pendingTimes_, pendingTimes_ = 0;
      ending_.clear();
    }
    if (c == ']' || c == 'Z' || c == '[') ending_.clear();
  }

  // A bar line with nothing since the one before: the signs that end a bar
  // go to the bar before, those that start one wait for the next.
  void DropEmpty() {
    if (!bars().empty()) {
      SheetBar& prev = bars().back();
      if (open_.jump != Jump::None) prev.jump = open_.jump, open_.jump = Jump::None;
      if (open_.fine) prev.fine = true, open_.fine = false;
    }
  }

  void CloseBar() {
    if (!Content()) return DropEmpty();
    SheetBar bar = std::move(open_);
    open_ = SheetBar{};
    bar.beats = time_.first, bar.beatType = time_.second;
    if (!bar.endingStart && !ending_.empty()) bar.endings = ending_;
    if (bar.endingStart) bar.endings = ending_;
    if (!bar.mark.empty() && !bar.endingStart) ending_.clear(), bar.endings.clear();
    if (repeatBars_ > 0) {
      const size_t n = bars().size();
      if (n < static_cast<size_t>(repeatBars_)) {
        Fail(repeatBars_ == 1 ? "x repeats the bar before, but there is none" : "r repeats two bars, but there are not two");
        return;
      }
      bar.chords = bars()[n - static_cast<size_t>(repeatBars_)].chords;
      if (repeatBars_ == 2) secondOfTwo_ = bars()[n - 1].chords, pendingSecond_ = true;
    } else if (pendingSecond_ && std::none_of(cells_.begin(), cells_.end(), [](const Cell& c) { return c.filled; })) {
      bar.chords = secondOfTwo_;
      pendingSecond_ = false;
    } else {
      pendingSecond_ = false;
      bar.chords = Placed(bar.beats);
    }
    bar.number = static_cast<int>(bars().size()) + 1;
    bars().push_back(std::move(bar));
    cells_.clear();
    cursor_ = 0;
    spaces_ = 0;
    repeatBars_ = 0;
  }

  // The chords on their cells, or evenly where the cells do not fall on beats.
  std::vector<PlacedChord> Placed(int beats) const {
    std::vector<PlacedChord> out;
    const size_t cells = std::max(cells_.size(), cursor_ + 1);
    bool onBeats = cells <= 16;
    for (size_t k = 0; k < cells_.size(); ++k)
      if (cells_[k].filled && (k * static_cast<size_t>(beats)) % cells != 0) onBeats = false;
    size_t count = 0;
    for (const Cell& c : cells_) count += c.filled;
    size_t nth = 0;
    for (size_t k = 0; k < cells_.size(); ++k) {
      if (!cells_[k].filled) continue;
      const double at = onBeats ? static_cast<double>(k) / static_cast<double>(cells)
                                : static_cast<double>(nth) / static_cast<double>(count);
      ++nth;
      if (cells_[k].slot.kind != ChartSlot::Kind::Continue || at > 0) out.push_back({at, cells_[k].slot});
    }
    return out;
  }

  // The first Q is where to go on to the coda, the last the coda itself.
  void PlaceCodas() {
    if (codas_.size() < 2) {
      if (!codas_.empty()) result_.sheet.warnings.push_back("the song has a coda sign but no coda");
      return;
    }
    const auto [toBar, inside] = codas_.front();
    const size_t to = inside || toBar == 0 ? toBar : toBar - 1;
    if (to < bars().size()) bars()[to].toCoda = true;
    const size_t coda = codas_.back().first;
    if (coda < bars().size()) bars()[coda].coda = true;
  }

  std::string_view s_;
  size_t at_ = 0;
  SheetResult result_;
  SheetBar open_;
  std::vector<Cell> cells_;
  size_t cursor_ = 0;
  int spaces_ = 0;
  int repeatBars_ = 0;
  int pendingTimes_ = 0;
  bool pendingSecond_ = false;
  std::vector<PlacedChord> secondOfTwo_;
  std::vector<int> ending_;
  std::pair<int, int> time_{4, 4};
  std::optional<ChartSlot> last_;
  std::vector<std::pair<size_t, bool>> codas_;
};

}  // namespace

SheetResult ReadIrealMusic(std::string_view music, LeadSheet sheet) {
  return MusicReader(music, std::move(sheet)).Read();
}

}  // namespace vambrio::songs
