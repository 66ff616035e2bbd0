#include "arranger/style_patterns.h"

#include <algorithm>

#include "midi/tempo_map.h"
#include "midi/track_walk.h"
#include "model/style_model.h"

namespace vambrio::arranger {
namespace {

// XG System On, without F0 and its length.
constexpr uint8_t kXgSystemOn[] = {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};

// One event of the track, as the walk meets it.
struct TrackEvent {
  size_t start = 0;  // index of its delta time's first byte
  uint64_t tick = 0;
  uint8_t status = 0;
  uint8_t metaType = 0;
  uint8_t data[2] = {0, 0};
  size_t payload = 0;  // index of a sysex or meta event's data in the file
  uint32_t size = 0;
};

// The track from its first event to End of Track (or its announced end),
// tolerating what the scan tolerates and stopping at anything else.
std::vector<TrackEvent> ReadTrack(const std::vector<uint8_t>& d, uint64_t& endTick) {
  std::vector<TrackEvent> events;
  const size_t trackEnd = midi::StyleTrackEnd(d.data(), d.size());
  endTick = midi::WalkTrack(d.data(), midi::kStyleTrackStart, trackEnd, [&](const midi::TrackEvent& walked) {
              TrackEvent e;
              e.start = walked.start;
              e.tick = walked.tick;
              e.status = walked.status;
              e.metaType = walked.metaType;
              e.size = walked.size;
              if (walked.status >= 0xF0) {
                e.payload = walked.first;
              } else {
                // A data byte of 128 or more is taken as 127, as the classic copy does.
                for (size_t k = 0; k < walked.size; ++k) e.data[k] = std::min<uint8_t>(d[walked.first + k], 0x7F);
              }
              events.push_back(e);
            }).reachedTick;
  return events;
}

class PatternBuilder {
 public:
  PatternBuilder(const StyleModel& m, StylePatterns& p) : m_(m), p_(p) {}

  PatternEvent From(const TrackEvent& e, uint32_t tick) {
    PatternEvent pe;
    pe.tick = tick;
    pe.status = e.status;
    pe.metaType = e.metaType;
    pe.data[0] = e.data[0];
    pe.data[1] = e.data[1];
    pe.size = e.size;
    if (e.status >= 0xF0) {
      pe.payload = static_cast<uint32_t>(p_.payloads.size());
      p_.payloads.insert(p_.payloads.end(), m_.StyleData.begin() + static_cast<ptrdiff_t>(e.payload),
                         m_.StyleData.begin() + static_cast<ptrdiff_t>(e.payload + e.size));
    }
    return pe;
  }

  PatternEvent Bytes(uint8_t status, const uint8_t* payload, uint32_t size) {
    PatternEvent pe;
    pe.status = status;
    pe.payload = static_cast<uint32_t>(p_.payloads.size());
    pe.size = size;
    p_.payloads.insert(p_.payloads.end(), payload, payload + size);
    return pe;
  }

 private:
  const StyleModel& m_;
  StylePatterns& p_;
};

void ReadTiming(const StyleModel& m, StylePatterns& p) {
  const auto& d = m.StyleData;
  const uint16_t division = d.size() >= 14 ? static_cast<uint16_t>(d[12] << 8 | d[13]) : 0;
  // A time-code division has no quarter notes: count it as 480 ticks a quarter.
  p.division = (division == 0 || (division & 0x8000)) ? 480 : division;
  p.beatsPerBar = m.TimeSigNumerator > 0 ? m.TimeSigNumerator : 4;
  const int denominator = m.TimeSigDenominator > 0 ? m.TimeSigDenominator : 4;
  p.beatLength = std::max<uint32_t>(1, static_cast<uint32_t>(p.division) * 4 / static_cast<uint32_t>(denominator));
  p.barLength = p.beatLength * static_cast<uint32_t>(p.beatsPerBar);
}

uint32_t WholeBars(uint64_t length, uint32_t barLength, uint32_t division) {
  const uint64_t slack = division / 4;  // a sixteenth note
  uint64_t bars = length / barLength;
  if (length % barLength >= slack || bars == 0) ++bars;
  return static_cast<uint32_t>(std::min<uint64_t>(bars, 0xFFFFFFFFu / barLength));
}

bool KeepInSetup(const TrackEvent& e, const SetupChoices& c) {
  if (e.status == 0xFF) return e.metaType == midi::meta::kTimeSignature || e.metaType == 0x59;  // key signature
  if (e.status == 0xF0 || e.status == 0xF7) return c.includeSysex;
  const int kind = e.status >> 4;
  return kind != 0x8 && kind != 0x9;
}

}  // namespace

int StylePatterns::Find(std::string_view name) const {
  for (size_t i = 0; i < sections.size(); ++i)
    if (sections[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string StylePatterns::SectionList() const {
  std::string list;
  for (const auto& s : sections) list += (list.empty() ? "" : ", ") + s.name;
  return list;
}

StylePatterns ReadStylePatterns(const StyleModel& m, const SetupChoices& choices) {
  StylePatterns p;
  ReadTiming(m, p);
  PatternBuilder build(m, p);
  uint64_t endTick = 0;
  const std::vector<TrackEvent> track = ReadTrack(m.StyleData, endTick);

  const int count = SectionCount(m);
  std::vector<size_t> firstEvent(static_cast<size_t>(count) + 1, track.size());
  for (int s = count - 1; s >= 0; --s) {
    const size_t start = static_cast<size_t>(m.SectionStart[static_cast<size_t>(s)]);
    auto at = std::lower_bound(track.begin(), track.end(), start,
                               [](const TrackEvent& e, size_t pos) { return e.start < pos; });
    firstEvent[static_cast<size_t>(s)] = static_cast<size_t>(at - track.begin());
  }

  if (choices.xgSystemOn) p.setup.push_back(build.Bytes(0xF0, kXgSystemOn, sizeof kXgSystemOn));
  for (size_t i = 0; i < firstEvent[0]; ++i)
    if (KeepInSetup(track[i], choices)) p.setup.push_back(build.From(track[i], 0));
  for (uint8_t channel : {0x09, 0x08}) {
    PatternEvent e;
    e.status = static_cast<uint8_t>(0xB0 | channel);
    e.size = 2;
    e.data[0] = 0x00, e.data[1] = 0x7F;
    p.setup.push_back(e);
    e.data[0] = 0x20, e.data[1] = 0x00;
    p.setup.push_back(e);
    e.status = static_cast<uint8_t>(0xC0 | channel);
    e.size = 1;
    e.data[0] = 0, e.data[1] = 0;
    p.setup.push_back(e);
  }

  const ChordRules rules = ReadChordRules(m);
  for (int s = 0; s < count; ++s) {
    SectionPattern section;
    section.name = m.SectionName[static_cast<size_t>(s)];
    section.harmony = HarmonyFor(rules, section.name);
    const size_t first = firstEvent[static_cast<size_t>(s)];
    const size_t next = firstEvent[static_cast<size_t>(s) + 1];
    const uint64_t startTick = first < track.size() ? track[first].tick : endTick;
    const uint64_t endOfSection = next < track.size() ? track[next].tick : endTick;
    section.bars = WholeBars(endOfSection - startTick, p.barLength, p.division);
    section.length = section.bars * p.barLength;
    for (size_t i = first; i < next; ++i) {
      const TrackEvent& e = track[i];
      if (e.status == 0xFF) continue;
      if ((e.status == 0xF0 || e.status == 0xF7) && !choices.includeSysex) continue;
      uint64_t tick = e.tick - startTick;
      if (tick >= section.length) {
        const bool noteOff = (e.status >> 4) == 0x8 || ((e.status >> 4) == 0x9 && e.data[1] == 0);
        if (!noteOff) continue;
        tick = section.length;
      }
      section.events.push_back(build.From(e, static_cast<uint32_t>(tick)));
    }
    p.sections.push_back(std::move(section));
  }
  p.tempo = midi::kDefaultTempo;
  for (const TrackEvent& e : track) {
    if (e.status == 0xFF && e.metaType == midi::meta::kTempo && e.size == 3) {
      const auto* t = m.StyleData.data() + e.payload;
      const uint32_t tempo = uint32_t{t[0]} << 16 | uint32_t{t[1]} << 8 | t[2];
      if (tempo > 0) p.tempo = tempo;
      break;
    }
  }
  return p;
}

}  // namespace vambrio::arranger
