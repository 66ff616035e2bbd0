#include "arranger/song.h"

#include <algorithm>

#include "midi/tempo_map.h"
#include "model/shown_text.h"

namespace vambrio::arranger {
namespace {

bool IsEnding(const std::string& name) { return name.rfind("Endi", 0) == 0; }


class SongPlanner {
 public:
  SongPlanner(const Chart& chart, const StylePatterns& style) : chart_(chart), style_(style) {}

  std::variant<Song, ChartError> Plan(std::optional<double> tempo) {
    song_.tempo = style_.tempo;
    for (const ChartTempo& t : chart_.tempos) {
      if (t.bar == 0) song_.tempo = midi::MicrosPerQuarter(t.qpm);
      else Add({SongStep::Kind::Tempo, BarTick(t.bar), 0, kLoop, {}, {}, midi::MicrosPerQuarter(t.qpm)});
    }
    if (tempo) song_.tempo = midi::MicrosPerQuarter(*tempo);
    for (size_t i = 0; i < chart_.sections.size(); ++i)
      if (auto error = PlanSection(i)) return *error;
    std::stable_sort(song_.steps.begin(), song_.steps.end(), [](const SongStep& a, const SongStep& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.kind < b.kind;
    });
    // Steps past the end (tempo lines after a closing ending's end) do nothing.
    std::erase_if(song_.steps, [&](const SongStep& s) { return s.tick >= song_.end && s.tick > 0; });
    return std::move(song_);
  }

 private:
  int64_t BarTick(size_t bar) const { return static_cast<int64_t>(bar) * style_.barLength; }

  void Add(const SongStep& step) { song_.steps.push_back(step); }

  std::optional<ChartError> PlanSection(size_t i) {
    const ChartSection& cs = chart_.sections[i];
    const int index = style_.Find(cs.name);
    if (index < 0)
      return ChartError{cs.place, "unknown section " + QuotedToken(cs.name) + "; the style has: " + ShownText(style_.SectionList())};
    const size_t first = cs.firstBar;
    const size_t last = i + 1 < chart_.sections.size() ? chart_.sections[i + 1].firstBar : chart_.bars.size();
    const bool closingEnding = i + 1 == chart_.sections.size() && IsEnding(cs.name);
    const SectionPattern& pattern = style_.sections[static_cast<size_t>(index)];
    if (last == first && !closingEnding) return ChartError{cs.place, "section " + QuotedToken(cs.name) + " has no bars"};
    Add({SongStep::Kind::Section, BarTick(first), index, closingEnding ? kStopAtEnd : kLoop, {}, {}, 0});
    int64_t end = BarTick(last);
    if (closingEnding) end = BarTick(first) + pattern.length;
    for (size_t b = first; b < last; ++b)
      if (auto error = PlanBar(chart_.bars[b], BarTick(b), end)) return error;
    song_.end = end;
    song_.bars = static_cast<uint32_t>(end / style_.barLength);
    return std::nullopt;
  }

  std::optional<ChartError> PlanBar(const ChartBar& bar, int64_t start, int64_t end) {
    const int k = static_cast<int>(bar.slots.size());
    const int beats = style_.beatsPerBar;
    if (k != 2 && beats % k != 0)
      return ChartError{bar.place, "a bar of " + std::to_string(k) + " chords does not divide its " +
                                       std::to_string(beats) + " beats"};
    for (int j = 0; j < k; ++j) {
      const ChartSlot& slot = bar.slots[static_cast<size_t>(j)];
      const int64_t tick = start + static_cast<int64_t>(style_.barLength) * j / k;
      if (tick >= end || slot.kind == ChartSlot::Kind::Continue) continue;
      const bool none = slot.kind == ChartSlot::Kind::NoChord;
      if (started_ && none == !haveChord_ && (none || slot.chord == chord_)) continue;  // no change
      started_ = true;
      haveChord_ = !none;
      chord_ = slot.chord;
      Add({none ? SongStep::Kind::NoChord : SongStep::Kind::Chord, tick, 0, kLoop, slot.chord, none ? "" : slot.text, 0});
    }
    return std::nullopt;
  }

  const Chart& chart_;
  const StylePatterns& style_;
  Song song_;
  bool started_ = false;
  bool haveChord_ = false;
  Chord chord_;
};

}  // namespace

std::variant<Song, ChartError> PlanSong(const Chart& chart, const StylePatterns& style, std::optional<double> tempo) {
  return SongPlanner(chart, style).Plan(tempo);
}

void SongPlayer::Apply(const SongStep& step, midi::EventSink& out) {
  switch (step.kind) {
    case SongStep::Kind::Tempo: arranger_.SetTempo(step.tempo, out); break;
    case SongStep::Kind::Section:
      if (!started_) {
        started_ = true;
        arranger_.Start(step.section, out, step.then);
      } else {
        arranger_.StartSectionAt(step.section, step.tick, 0, step.then);
      }
      arranger_.AdvanceTo(step.tick, out);  // the switch is made at its tick, before the chord there
      break;
    case SongStep::Kind::Chord:
      if (transpose_ == 0) {
        arranger_.SetChord(step.chord, out, step.text);
      } else {
        arranger_.SetChord(Transposed(step.chord, transpose_), out);
      }
      break;
    case SongStep::Kind::NoChord: arranger_.SetNoChord(out); break;
  }
}

void SongPlayer::AdvanceTo(int64_t tick, midi::EventSink& out) {
  if (done_) return;
  if (!started_) arranger_.SetTempo(song_.tempo, out);  // before Start: only remembered, Start sends it
  while (next_ < song_.steps.size() && song_.steps[next_].tick <= tick) {
    const SongStep& step = song_.steps[next_++];
    if (step.kind == SongStep::Kind::Chord || step.kind == SongStep::Kind::NoChord)
      chordStep_ = static_cast<int>(next_ - 1);
    arranger_.AdvanceTo(step.tick, out);
    Apply(step, out);
  }
  arranger_.AdvanceTo(std::min(tick, song_.end), out);
  if (tick >= song_.end) {
    arranger_.Stop(out);
    done_ = true;
  }
}

void PlaySong(const Song& song, Arranger& arranger, midi::EventSink& out) {
  SongPlayer player(song, arranger);
  player.AdvanceTo(song.end, out);
}

}  // namespace vambrio::arranger
