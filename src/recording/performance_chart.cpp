// The chord chart of a performance, from the arranger's markers, chord names
// and tempo changes at their ticks: a bar per bar played, a token per beat
// (one token for a bar whose chord does not change inside it), a section
// where its marker came (the bar it fell in), a tempo line before the bar
// where a tempo change took effect.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>

#include "chord/chord_name.h"
#include "recording/performance.h"

namespace vambrio::recording {
namespace {

std::string Text(const RecordedEvent& e) { return std::string(e.bytes.begin(), e.bytes.begin() + e.size); }

std::string Qpm(uint32_t tempo) {
  if (tempo == 0) tempo = 500000;
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::clamp(60000000.0 / tempo, 10.0, 500.0));
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

class ChartMaker {
 public:
  ChartMaker(const Performance& p, const std::vector<RecordedEvent>& metas)
      : p_(p), g_(p.geometry), startTempo_(p.geometry.tempo) {
    for (const RecordedEvent& e : metas) Take(e);
  }

  std::string Write(int64_t lastSample) {
    if (!origin_) return "";
    const int64_t span = std::max<int64_t>(1, EndTick(lastSample) - *origin_);
    const int64_t bars = (span + g_.barLength - 1) / g_.barLength;
    std::ostringstream out;
    out << "# Recorded with " << (g_.name.empty() ? "the style" : g_.name) << "\n";
    out << "tempo " << Qpm(startTempo_) << "\n";
    bool lineOpen = false;
    for (int64_t bar = 0; bar < bars; ++bar) {
      const auto section = sections_.find(bar);
      const auto tempo = tempos_.find(bar);
      if ((section != sections_.end() || tempo != tempos_.end()) && lineOpen) out << "\n", lineOpen = false;
      if (tempo != tempos_.end()) out << "tempo " << Qpm(tempo->second) << "\n";
      if (section != sections_.end()) out << "[" << section->second << "] ";
      out << (lineOpen ? " | " : "") << Bar(bar);
      lineOpen = true;
    }
    out << " |\n";
    return out.str();
  }

 private:
  void Take(const RecordedEvent& e) {
    if (e.metaType == 0x06 && !origin_) origin_ = e.tick;
    if (e.metaType == 0x51 && e.size == 3) {
      const uint32_t tempo = (uint32_t{e.bytes[0]} << 16) | (uint32_t{e.bytes[1]} << 8) | e.bytes[2];
      if (!origin_ || e.tick <= *origin_) startTempo_ = tempo;
      else tempos_[(e.tick - *origin_ + g_.barLength - 1) / g_.barLength] = tempo;
    }
    if (e.metaType == 0x51) lastTempo_ = e;
    if (!origin_ || e.tick < *origin_) return;
    last_ = e;
    if (e.metaType == 0x06) sections_[(e.tick - *origin_) / g_.barLength] = Text(e);
    if (e.metaType == 0x01 && ParseChord(Text(e))) {
      const int64_t beat = std::llround(static_cast<double>(e.tick - *origin_) / g_.beatLength);
      chords_[beat] = Text(e);
    }
  }

  // The arranger's tick at the last sample recorded, from the last meta
  // event before it and the tempo then.
  int64_t EndTick(int64_t lastSample) const {
    if (!last_) return *origin_;
    const uint32_t tempo = lastTempo_ ? (uint32_t{lastTempo_->bytes[0]} << 16) | (uint32_t{lastTempo_->bytes[1]} << 8) |
                                            lastTempo_->bytes[2]
                                      : g_.tempo;
    const double samples = static_cast<double>(std::max<int64_t>(0, lastSample - last_->sample));
    return last_->tick + static_cast<int64_t>(samples * 1e6 * g_.division / (static_cast<double>(tempo) * p_.sampleRate));
  }

  std::string Bar(int64_t bar) const {
    std::vector<std::string> slots(static_cast<size_t>(g_.beatsPerBar), ".");
    bool changes = false;
    for (int b = 0; b < g_.beatsPerBar; ++b) {
      const auto chord = chords_.find(bar * g_.beatsPerBar + b);
      if (chord == chords_.end()) continue;
      slots[static_cast<size_t>(b)] = chord->second;
      changes = changes || b > 0;
    }
    if (bar == 0 && slots[0] == ".") slots[0] = "N.C.";  // nothing given before the start
    if (!changes) return slots[0];
    std::string text;
    for (const std::string& s : slots) text += (text.empty() ? "" : " ") + s;
    return text;
  }

  const Performance& p_;
  const PerformanceGeometry& g_;
  uint32_t startTempo_;
  std::optional<int64_t> origin_;
  std::optional<RecordedEvent> last_, lastTempo_;
  std::map<int64_t, std::string> sections_;  // by bar
  std::map<int64_t, uint32_t> tempos_;       // by the bar they take effect at
  std::map<int64_t, std::string> chords_;    // by beat
};

}  // namespace

std::string PerformanceChart(const Performance& p) {
  std::vector<RecordedEvent> metas;
  int64_t lastSample = 0;
  for (const RecordedEvent& e : p.events) {
    lastSample = std::max(lastSample, e.sample);
    if (e.IsMeta()) metas.push_back(e);
  }
  std::stable_sort(metas.begin(), metas.end(), [](const RecordedEvent& a, const RecordedEvent& b) { return a.tick < b.tick; });
  ChartMaker maker(p, metas);
  return maker.Write(lastSample);
}

}  // namespace vambrio::recording
