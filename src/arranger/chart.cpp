#include "arranger/chart.h"

#include "model/shown_text.h"

#include <charconv>
#include <cmath>

#include "chord/chord_symbols.h"

namespace vambrio::arranger {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// The column of a byte of one line, counted in characters, not bytes (a
// UTF-8 continuation byte starts no character). The places asked for only
// move forward along the line, so each is counted on from the one before:
// a line of any length is counted once.
class Columns {
 public:
  explicit Columns(std::string_view line) : line_(line) {}
  int At(size_t byte) {
    for (; counted_ < byte && counted_ < line_.size(); ++counted_)
      if ((static_cast<unsigned char>(line_[counted_]) & 0xC0) != 0x80) ++column_;
    return column_;
  }

 private:
  std::string_view line_;
  size_t counted_ = 0;
  int column_ = 1;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool IsNoChord(std::string_view t) { return t == "N.C." || t == "N.C" || t == "NC"; }


class ChartReader {
 public:
  std::variant<Chart, ChartError> Read(std::string_view text) {
    int lineNumber = 0;
    size_t at = 0;
    while (at <= text.size() && !failed_) {
      const size_t end = std::min(text.find('\n', at), text.size());
      ++lineNumber;
      ReadLine(text.substr(at, end - at), lineNumber);
      if (!failed_) CloseBar();
      at = end + 1;
    }
    if (!failed_) Finish({lineNumber, 1});
    if (failed_) return error_;
    return std::move(chart_);
  }

 private:
  void Fail(ChartPlace place, std::string message) {
    if (failed_) return;
    failed_ = true;
    error_ = ChartError{place, std::move(message)};
  }

  void ReadLine(std::string_view line, int lineNumber) {
    Columns columns(line);
    size_t i = 0;
    while (i < line.size() && !failed_) {
      if (IsSpace(line[i])) {
        ++i;
        continue;
      }
      const ChartPlace place{lineNumber, columns.At(i)};
      if (line[i] == '#') return KeepTag(line.substr(i + 1));  // a comment runs to the end of the line
      if (line[i] == '|') {
        CloseBar();
        ++i;
        continue;
      }
      if (line[i] == '[') {
        const size_t close = line.find(']', i);
        if (close == std::string_view::npos) return Fail(place, "a section name needs its closing ]");
        Section(line.substr(i + 1, close - i - 1), place);
        i = close + 1;
        continue;
      }
      size_t end = i;
      while (end < line.size() && !IsSpace(line[end]) && line[end] != '|') ++end;
      const std::string_view token = line.substr(i, end - i);
      if (token == "tempo") {
        size_t from = end;
        while (from < line.size() && IsSpace(line[from])) ++from;
        size_t to = from;
        while (to < line.size() && !IsSpace(line[to]) && line[to] != '|') ++to;
        Tempo(line.substr(from, to - from), place, {lineNumber, columns.At(from)});
        i = to;
        continue;
      }
      Token(token, place);
      i = end;
    }
  }

  // "# title: Autumn Leaves": a comment that names a fact of the song is kept.
  void KeepTag(std::string_view comment) {
    const size_t colon = comment.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view name = Trim(comment.substr(0, colon));
    if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyz-") != std::string_view::npos) return;
    chart_.tags.emplace_back(std::string(name), std::string(Trim(comment.substr(colon + 1))));
  }

  void Section(std::string_view raw, ChartPlace place) {
    const size_t first = raw.find_first_not_of(" \t");
    const size_t last = raw.find_last_not_of(" \t");
    const std::string name = first == std::string_view::npos ? "" : std::string(raw.substr(first, last - first + 1));
    if (name.empty()) return Fail(place, "a section needs a name between [ and ]");
    if (!open_.slots.empty()) return Fail(place, "a section starts at a bar line: end the bar with | first");
    if (pendingSection_) return Fail(pendingSection_->place, "section " + QuotedToken(pendingSection_->name) + " has no bars");
    pendingSection_ = ChartSection{name, 0, place};
  }

  void Tempo(std::string_view value, ChartPlace keyword, ChartPlace valuePlace) {
    if (!open_.slots.empty()) return Fail(keyword, "a tempo changes at a bar line: end the bar with | first");
    double qpm = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), qpm);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() || !std::isfinite(qpm) || qpm < 10 ||
        qpm > 500)
      return Fail(valuePlace, "tempo needs a number of quarter notes a minute from 10 to 500");
    pendingTempo_ = ChartTempo{qpm, 0, keyword};
  }

  void Token(std::string_view token, ChartPlace place) {
    if (token == "%") {
      if (!open_.slots.empty()) return Fail(place, "% repeats a whole bar: end the bar with | first");
      if (chart_.bars.empty()) return Fail(place, "% repeats the previous bar, but there is none");
      open_ = chart_.bars.back();
      open_.place = place;
      CloseBar();
      return;
    }
    ChartSlot slot;
    slot.text = std::string(token);
    slot.place = place;
    if (open_.slots.empty()) open_.place = place;
    if (token == ".") {
      slot.kind = ChartSlot::Kind::Continue;
      if (!anySlot_)
        return Fail(place, ". continues the chord before it, but no chord comes before it");
    } else if (IsNoChord(token)) {
      slot.kind = ChartSlot::Kind::NoChord;
    } else {
      std::string why;
      auto chord = ParseChord(token, &why);
      if (!chord) {
        // Lead-sheet spellings ("C^7", "Bh7", "F7alt") play as their nearest type.
        auto symbol = ReadChordSymbol(token);
        if (!symbol) return Fail(place, "unknown chord " + QuotedToken(token) + (why.empty() ? "" : " (" + why + ")"));
        chord = symbol->chord;
      }
      slot.kind = ChartSlot::Kind::Chord;
      slot.chord = *chord;
    }
    anySlot_ = true;
    open_.slots.push_back(std::move(slot));
  }

  void CloseBar() {
    if (open_.slots.empty()) return;
    if (!pendingSection_ && chart_.sections.empty())
      return Fail(open_.place, "the chart names no section before its first bar: start it with [SECTION]");
    AttachPending(chart_.bars.size());
    chart_.bars.push_back(std::move(open_));
    open_ = ChartBar{};
  }

  void AttachPending(size_t bar) {
    if (pendingSection_) {
      pendingSection_->firstBar = bar;
      chart_.sections.push_back(std::move(*pendingSection_));
      pendingSection_.reset();
    }
    if (pendingTempo_) {
      pendingTempo_->bar = bar;
      chart_.tempos.push_back(*pendingTempo_);
      pendingTempo_.reset();
    }
  }

  void Finish(ChartPlace end) {
    // A section may close the chart without bars of its own (an ending that
    // plays to its end); whether that suits the section is the song's call.
    AttachPending(chart_.bars.size());
    if (chart_.sections.empty()) Fail(end, "the chart names no section: start it with [SECTION]");
  }

  Chart chart_;
  ChartBar open_;
  std::optional<ChartSection> pendingSection_;
  std::optional<ChartTempo> pendingTempo_;
  bool anySlot_ = false;
  bool failed_ = false;
  ChartError error_;
};

}  // namespace

std::string ChartError::Text() const {
  return "line " + std::to_string(place.line) + ", column " + std::to_string(place.column) + ": " + message;
}

std::variant<Chart, ChartError> ReadChart(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // the byte-order mark some editors write
  return ChartReader().Read(text);
}

}  // namespace vambrio::arranger
