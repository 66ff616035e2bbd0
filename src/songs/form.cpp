#include "songs/form.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "model/ascii_case.h"

namespace vambrio::songs {
namespace {

using arranger::ChartBar;
using arranger::ChartSection;
using arranger::ChartSlot;

class Unroller {
 public:
  explicit Unroller(const LeadSheet& sheet) : bars_(sheet.bars), n_(bars_.size()) {
    startOf_.assign(n_, 0);
    size_t start = 0;
    for (size_t i = 0; i < n_; ++i) {
      if (bars_[i].repeatStart) start = i;
      startOf_[i] = start;
      if (bars_[i].segno && segno_ >= n_) segno_ = i;
      if (bars_[i].coda) coda_ = i;
    }
    times_.assign(n_, 2);
    for (size_t i = 0; i < n_; ++i) {
      if (bars_[i].repeatEnd && bars_[i].repeatTimes > 0) times_[startOf_[i]] = bars_[i].repeatTimes;
      for (int e : bars_[i].endings) times_[startOf_[i]] = std::max(times_[startOf_[i]], e);
    }
    pass_.assign(n_, 1);
  }

  std::vector<PlayedBar> Run(std::string* error) {
    std::vector<PlayedBar> out;
    std::vector<bool> played(n_, false);
    const size_t limit = 64 * n_ + 64;
    size_t i = 0;
    bool back = false;
    while (i < n_) {
      if (out.size() > limit) {
        if (error) *error = "bar " + std::to_string(bars_[i].number) + ": the form does not end";
        return {};
      }
      const SheetBar& b = bars_[i];
      if (b.repeatStart && !back) pass_[i] = jumped_ ? times_[i] : 1;
      back = false;
      if (b.endingStart && !Takes(i)) {
        i = EndOfEnding(i) + 1;
        continue;
      }
      out.push_back({i, played[i]});
      played[i] = true;
      if (jumped_ && b.fine) break;
      if (jumped_ && b.toCoda && coda_ < n_ && coda_ > i) {
        i = coda_;
        continue;
      }
      const size_t s = startOf_[i];
      if (b.repeatEnd && pass_[s] < times_[s]) {
        ++pass_[s];
        i = s;
        back = true;
        continue;
      }
      if (b.jump != Jump::None && !jumped_) {
        jumped_ = true;
        for (size_t k = 0; k < n_; ++k) pass_[k] = times_[k];
        i = b.jump == Jump::DalSegno && segno_ < n_ ? segno_ : 0;
        back = true;
        continue;
      }
      ++i;
    }
    return out;
  }

 private:
  // Whether the ending starting at bar i is played on the pass in hand.
  bool Takes(size_t i) const {
    const int pass = pass_[startOf_[i]];
    const auto& mine = bars_[i].endings;
    if (std::find(mine.begin(), mine.end(), pass) != mine.end()) return true;
    if (std::find(mine.begin(), mine.end(), 0) == mine.end()) return false;
    for (size_t k = 0; k < n_; ++k)  // "the other passes": none of the repeat's other endings takes this one
      if (k != i && bars_[k].endingStart && startOf_[k] == startOf_[i])
        for (int e : bars_[k].endings)
          if (e == pass) return false;
    return true;
  }

  size_t EndOfEnding(size_t i) const {
    size_t k = i;
    while (k + 1 < n_ && !bars_[k].repeatEnd && !bars_[k + 1].endingStart && bars_[k + 1].endings == bars_[i].endings)
      ++k;
    return k;
  }

  const std::vector<SheetBar>& bars_;
  size_t n_;
  std::vector<size_t> startOf_;
  std::vector<int> times_, pass_;
  size_t segno_ = static_cast<size_t>(-1) / 2, coda_ = static_cast<size_t>(-1) / 2;
  bool jumped_ = false;
};

bool IsMain(const std::string& name) { return name.rfind("Main ", 0) == 0 && name.size() == 6; }

// The slots of a bar: the fewest equal parts that put each chord on its place.
ChartBar Slots(const SheetBar& bar) {
  const int beats = std::max(1, bar.beats);
  std::vector<int> counts;
  for (int k = 1; k <= beats; ++k)
    if (beats % k == 0 || k == 2) counts.push_back(k);
  int k = beats;
  for (int c : counts) {
    const bool fits = std::all_of(bar.chords.begin(), bar.chords.end(), [&](const PlacedChord& p) {
      return std::abs(p.at * c - std::round(p.at * c)) < 0.02;
    });
    if (fits) {
      k = c;
      break;
    }
  }
  ChartBar out;
  out.slots.assign(static_cast<size_t>(k), ChartSlot{ChartSlot::Kind::Continue, {}, ".", {}});
  for (const PlacedChord& p : bar.chords) {
    const int slot = std::clamp(static_cast<int>(std::lround(p.at * k)), 0, k - 1);
    out.slots[static_cast<size_t>(slot)] = p.slot;
  }
  return out;
}

}  // namespace

std::vector<PlayedBar> Unroll(const LeadSheet& sheet, std::string* error) {
  std::vector<PlayedBar> once = Unroller(sheet).Run(error);
  std::vector<PlayedBar> all = once;
  for (int c = 1; c < std::clamp(sheet.choruses, 1, 16); ++c)
    for (PlayedBar p : once) all.push_back({p.bar, true});
  return all;
}

arranger::Chart MakeChart(const LeadSheet& sheet, const std::vector<PlayedBar>& order, const SectionMapping& mapping) {
  arranger::Chart chart;
  const SongInfo& info = sheet.info;
  for (auto [name, value] : {std::pair<const char*, std::string>{"title", info.title}, {"composer", info.composer},
                             {"key", info.key}, {"style", info.style},
                             {"time", std::to_string(info.beats) + "/" + std::to_string(info.beatType)}})
    if (!value.empty()) chart.tags.emplace_back(name, value);
  if (info.tempo >= 10 && info.tempo <= 500) chart.tempos.push_back({info.tempo, 0, {}});

  // The written mark in force at each bar of the page.
  std::vector<std::string> markAt(sheet.bars.size());
  bool anyMark = false;
  std::string mark;
  for (size_t i = 0; i < sheet.bars.size(); ++i) {
    if (!sheet.bars[i].mark.empty()) mark = AsciiLower(sheet.bars[i].mark), anyMark = true;
    markAt[i] = mark;
  }
  std::vector<std::string> names;
  bool again = false;
  for (const PlayedBar& p : order) {
    again = again || p.again;
    std::string name = names.empty() ? mapping.unmarked : names.back();
    if (!anyMark) name = again ? mapping.unmarkedAgain : mapping.unmarked;
    for (const auto& [written, section] : mapping.marks)
      if (written == markAt[p.bar]) name = section;
    names.push_back(name);
  }
  // The fill takes the last bar of a Main of two bars or more.
  if (mapping.fills)
    for (size_t j = 1; j + 1 < names.size(); ++j)
      if (IsMain(names[j]) && IsMain(names[j + 1]) && names[j] != names[j + 1] && names[j - 1] == names[j])
        names[j] = "Fill In " + std::string(2, names[j + 1].back());

  bool anyChord = false;
  for (size_t j = 0; j < order.size(); ++j) {
    const SheetBar& bar = sheet.bars[order[j].bar];
    ChartBar cb = Slots(bar);
    if (!anyChord && cb.slots[0].kind == ChartSlot::Kind::Continue) cb.slots[0] = {ChartSlot::Kind::NoChord, {}, "N.C.", {}};
    for (const ChartSlot& s : cb.slots) anyChord = anyChord || s.kind != ChartSlot::Kind::Continue;
    if (j == 0 || names[j] != names[j - 1]) chart.sections.push_back({names[j], j, {}});
    if (bar.tempo >= 10 && bar.tempo <= 500 && j > 0) chart.tempos.push_back({bar.tempo, j, {}});
    chart.bars.push_back(std::move(cb));
  }
  if (mapping.ending && !chart.bars.empty()) {
    char letter = 'A';
    for (const std::string& n : names)
      if (IsMain(n)) letter = n.back();
    chart.sections.push_back({std::string("Ending ") + letter, chart.bars.size(), {}});
  }
  return chart;
}

}  // namespace vambrio::songs
