#include "songs/chart_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chord/chord_symbols.h"

namespace vambrio::songs {
namespace {

using arranger::ChartBar;
using arranger::ChartSlot;

// The slot as a token the reader reads back to the same chord.
std::string Token(const ChartSlot& s) {
  if (s.kind == ChartSlot::Kind::Continue) return ".";
  if (s.kind == ChartSlot::Kind::NoChord) return "N.C.";
  std::string text;
  for (char c : s.text)
    if (c != ' ' && c != '\t' && c != '|' && c != '[' && c != ']') text += c;
  const auto read = ReadChordSymbol(text);
  if (text.empty() || text == "%" || text == "." || !read || read->chord != s.chord) return ChordName(s.chord);
  return text;
}

std::string Tempo(double qpm) {
  char text[32];
  std::snprintf(text, sizeof text, "tempo %g\n", std::round(qpm * 100) / 100);
  return text;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The section the style has in place of `name`; "" to leave it out.
std::string Nearest(const std::string& name, const std::vector<std::string>& names) {
  if (Has(names, name)) return name;
  const std::string kind = name.substr(0, name.rfind(' ') + 1);  // "Main ", "Fill In ", "Intro ", "Ending "
  if (kind == "Main " || kind == "Ending ")
    for (char letter = name.back(); letter >= 'A'; --letter)
      if (Has(names, kind + letter)) return kind + letter;
  if (kind == "Main " || kind == "Ending ")
    for (const std::string& n : names)
      if (n.rfind(kind, 0) == 0) return n;
  return "";
}

}  // namespace

std::string WriteChart(const arranger::Chart& chart) {
  std::string out;
  for (const auto& [name, value] : chart.tags) out += "# " + name + ": " + value + "\n";
  size_t tempo = 0, section = 0;
  if (tempo < chart.tempos.size() && chart.tempos[tempo].bar == 0) out += Tempo(chart.tempos[tempo++].qpm);
  int onLine = 0;
  for (size_t b = 0; b <= chart.bars.size(); ++b) {
    const bool newTempo = tempo < chart.tempos.size() && chart.tempos[tempo].bar == b;
    const bool newSection = section < chart.sections.size() && chart.sections[section].firstBar == b;
    if ((newTempo || newSection || onLine == 4) && onLine > 0) {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      out += "\n", onLine = 0;
    }
    if (newTempo) out += Tempo(chart.tempos[tempo++].qpm);
    while (section < chart.sections.size() && chart.sections[section].firstBar == b)
      out += "[" + chart.sections[section++].name + "] ";
    if (b == chart.bars.size()) break;
    for (size_t k = 0; k < chart.bars[b].slots.size(); ++k) out += (k ? " " : "") + Token(chart.bars[b].slots[k]);
    out += " | ";
    ++onLine;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out + "\n";
}

void TransposeChart(arranger::Chart& chart, int semitones) {
  const auto move = [&](int pc) { return pc < 0 ? pc : ((pc + semitones) % 12 + 12) % 12; };
  for (ChartBar& bar : chart.bars)
    for (ChartSlot& s : bar.slots) {
      if (s.kind != ChartSlot::Kind::Chord) continue;
      s.chord.root = move(s.chord.root);
      s.chord.bass = move(s.chord.bass);
      s.text = TransposeSymbol(s.text, semitones);
    }
  for (auto& [name, value] : chart.tags)
    if (name == "key" && !value.empty()) value = TransposeSymbol(value, semitones);
}

std::vector<std::string> FitChart(arranger::Chart& chart, const std::vector<std::string>& styleSections, int beats) {
  std::vector<std::string> notes;
  for (ChartBar& bar : chart.bars) {
    const int k = static_cast<int>(bar.slots.size());
    if (k == 2 || k == 0 || beats % k == 0) continue;
    ChartBar fitted;
    fitted.place = bar.place;
    fitted.slots.assign(static_cast<size_t>(beats), ChartSlot{ChartSlot::Kind::Continue, {}, ".", {}});
    for (int j = 0; j < k; ++j)
      if (bar.slots[static_cast<size_t>(j)].kind != ChartSlot::Kind::Continue)
        fitted.slots[static_cast<size_t>(std::min(beats - 1, j * beats / k))] = bar.slots[static_cast<size_t>(j)];
    bar = std::move(fitted);
  }
  std::vector<arranger::ChartSection> kept;
  for (arranger::ChartSection& s : chart.sections) {
    const std::string nearest = Nearest(s.name, styleSections);
    if (nearest != s.name) notes.push_back("the style has no \"" + s.name + "\": " +
                                           (nearest.empty() ? "left out" : "\"" + nearest + "\" plays instead"));
    if (nearest.empty() && (s.firstBar > 0 || kept.empty())) {
      if (kept.empty() && s.firstBar < chart.bars.size()) kept.push_back({Nearest("Main A", styleSections), 0, s.place});
      continue;
    }
    if (nearest.empty()) continue;
    s.name = nearest;
    if (!kept.empty() && kept.back().name == s.name) continue;
    kept.push_back(s);
  }
  std::erase_if(kept, [](const arranger::ChartSection& s) { return s.name.empty(); });
  chart.sections = std::move(kept);
  std::sort(notes.begin(), notes.end());
  notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
  return notes;
}

}  // namespace vambrio::songs
