#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "arranger/style_patterns.h"
#include "midi/smf_writer.h"
#include "recording/performance.h"

namespace vambrio::recording {
namespace {

// Samples to ticks of the file: the tempo in force from each tempo change on.
class SampleTicks {
 public:
  SampleTicks(int64_t origin, uint32_t tempo, int rate) : rate_(rate) { segments_.push_back({origin, 0, tempo}); }
  void Tempo(int64_t sample, uint32_t tempo) {
    if (tempo == 0) return;
    const Segment s{sample, TickAt(sample), tempo};
    if (segments_.back().sample == sample) segments_.back() = s;
    else segments_.push_back(s);
  }
  uint64_t TickAt(int64_t sample) const {
    const Segment& s = segments_.back();
    const long double ticks = static_cast<long double>(std::max<int64_t>(0, sample - s.sample)) * 1e6L *
                              kRecordDivision / (static_cast<long double>(s.tempo) * rate_);
    return s.tick + static_cast<uint64_t>(std::llround(ticks));
  }

 private:
  struct Segment {
    int64_t sample;
    uint64_t tick;
    uint32_t tempo;
  };
  int rate_;
  std::vector<Segment> segments_;
};

std::vector<RecordedEvent> InTimeOrder(const std::vector<RecordedEvent>& events) {
  std::vector<RecordedEvent> sorted = events;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const RecordedEvent& a, const RecordedEvent& b) { return a.sample < b.sample; });
  return sorted;
}

// What is still held at the end: notes per channel and key, the pedal.
struct Held {
  std::array<std::array<uint8_t, 128>, 16> notes{};
  std::array<bool, 16> pedal{};

  void Note(const RecordedEvent& e) {
    const int kind = e.Status() >> 4, ch = e.Status() & 0x0F;
    uint8_t& n = notes[ch][e.bytes[1] & 0x7F];
    if (kind == 0x9 && e.bytes[2] > 0) ++n;
    else if ((kind == 0x8 || kind == 0x9) && n > 0) --n;
    if (kind == 0xB && e.bytes[1] == 64) pedal[ch] = e.bytes[2] >= 64;
  }
  void Release(std::array<midi::SmfWriter*, 16>& tracks, uint64_t tick) const {
    for (int ch = 0; ch < 16; ++ch) {
      if (!tracks[ch]) continue;
      for (int key = 0; key < 128; ++key)
        for (int k = 0; k < notes[ch][key]; ++k) tracks[ch]->Channel(tick, static_cast<uint8_t>(0x80 | ch), key, 0);
      if (pedal[ch]) tracks[ch]->Channel(tick, static_cast<uint8_t>(0xB0 | ch), 64, 0);
    }
  }
};

bool IsChannelMessage(const RecordedEvent& e) {
  const uint8_t status = e.Status();
  return !e.IsMeta() && status >= 0x80 && status <= 0xEF && e.size == realtime::RealtimeEvent::MessageSize(status);
}

// Letting go (pedals off, all notes or controllers off) is not playing: a
// channel that did nothing else gets no track.
bool Plays(const RecordedEvent& e) {
  if ((e.Status() & 0xF0) != 0xB0) return true;
  const uint8_t controller = e.bytes[1];
  return !((controller == 64 || controller == 66 || controller >= 120) && e.bytes[2] == 0) && controller != 121;
}

int Log2(int v) {
  int n = 0;
  while (v > 1) v >>= 1, ++n;
  return n;
}

void AppendBE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int s = 8 * (bytes - 1); s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

}  // namespace

PerformanceGeometry PerformanceGeometry::Of(const arranger::StylePatterns& style, const std::string& name) {
  PerformanceGeometry g;
  g.division = style.division;
  g.beatsPerBar = style.beatsPerBar;
  g.beatLength = style.beatLength;
  g.barLength = style.barLength;
  g.tempo = style.tempo;
  g.name = name;
  return g;
}

std::vector<uint8_t> PerformanceMidiFile(const Performance& p) {
  const std::vector<RecordedEvent> events = InTimeOrder(p.events);
  const int64_t origin = events.empty() ? 0 : events.front().sample;
  SampleTicks ticks(origin, p.geometry.tempo, p.sampleRate);
  midi::SmfWriter conductor(kRecordDivision);
  std::vector<midi::SmfWriter> channelTracks(16, midi::SmfWriter(kRecordDivision));
  std::array<midi::SmfWriter*, 16> used{};
  const PerformanceGeometry& g = p.geometry;
  if (!g.name.empty()) conductor.Meta(0, 0x03, reinterpret_cast<const uint8_t*>(g.name.data()), static_cast<uint32_t>(g.name.size()));
  const int denominator = g.beatLength > 0 ? static_cast<int>(4 * g.division / g.beatLength) : 4;
  const uint8_t timeSignature[4] = {static_cast<uint8_t>(g.beatsPerBar), static_cast<uint8_t>(Log2(denominator)), 24, 8};
  conductor.Meta(0, 0x58, timeSignature, 4);
  const bool tempoAtStart = std::any_of(events.begin(), events.end(), [&](const RecordedEvent& e) {
    return e.sample == origin && e.IsMeta() && e.metaType == 0x51;
  });
  if (!tempoAtStart) conductor.Tempo(0, g.tempo);
  std::array<bool, 16> playing{};
  for (const RecordedEvent& e : events)
    if (IsChannelMessage(e) && Plays(e)) playing[e.Status() & 0x0F] = true;
  Held held;
  uint64_t last = 0;
  for (const RecordedEvent& e : events) {
    if (e.IsMeta() && e.metaType == 0x51 && e.size == 3) ticks.Tempo(e.sample, (uint32_t{e.bytes[0]} << 16) | (uint32_t{e.bytes[1]} << 8) | e.bytes[2]);
    const uint64_t tick = ticks.TickAt(e.sample);
    last = std::max(last, tick);
    if (e.IsMeta()) {
      if (e.metaType == 0x51 || e.metaType == 0x06 || e.metaType == 0x01) conductor.Meta(tick, e.metaType, e.bytes.data(), e.size);
      continue;
    }
    const uint8_t status = e.Status();
    if (status == 0xF0 && e.size > 1) {
      conductor.Send(midi::Event{tick, 0xF0, 0, static_cast<uint32_t>(e.size - 1), e.bytes.data() + 1});
      continue;
    }
    const int ch = status & 0x0F;
    if (!IsChannelMessage(e) || !playing[ch]) continue;
    if (!used[ch]) {
      used[ch] = &channelTracks[ch];
      const std::string name = "Channel " + std::to_string(ch + 1);
      used[ch]->Meta(0, 0x03, reinterpret_cast<const uint8_t*>(name.data()), static_cast<uint32_t>(name.size()));
    }
    used[ch]->Channel(tick, status, e.bytes[1], e.size > 2 ? e.bytes[2] : 0);
    held.Note(e);
  }
  held.Release(used, last);

  std::vector<const midi::SmfWriter*> tracks{&conductor};
  for (const midi::SmfWriter* t : used)
    if (t) tracks.push_back(t);
  std::vector<uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  AppendBE(out, static_cast<uint32_t>(tracks.size()), 2);
  AppendBE(out, kRecordDivision, 2);
  for (const midi::SmfWriter* t : tracks) {
    const std::vector<uint8_t> file = t->Finish(last);
    out.insert(out.end(), file.begin() + 14, file.end());  // the track chunk after the writer's header
  }
  return out;
}

}  // namespace vambrio::recording
