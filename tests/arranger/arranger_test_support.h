// Styles for the arranger's tests, described section by section, and a sink
// that records what the arranger sends and checks that no note is left hanging.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "arranger/style_patterns.h"
#include "loading/scan.h"
#include "midi/event_sink.h"
#include "model/style_model.h"
#include "style_builder.h"

namespace vambrio::arranger::test {

using vambrio::test::Bytes;

inline constexpr uint32_t kQuarter = 480;
inline constexpr uint32_t kBar = 4 * kQuarter;

struct Ev {
  uint32_t tick;
  uint8_t status, d1, d2;
};
struct Sec {
  std::string name;
  uint32_t length;  // ticks from this marker to the next
  std::vector<Ev> events;
};

// A 4/4 style at 120 a minute, 480 ticks a quarter, with a setup of a
// program change, a sysex and a note, then the sections.
inline Bytes StyleOf(const std::vector<Sec>& sections, const Bytes& casm = {}) {
  vambrio::test::TrackBuilder t;
  t.TimeSignature(4, 2).Tempo(500000).Marker("SInt").ProgramChange(10, 33).Sysex({0x43, 0x10, 0x4C, 0xF7});
  t.NoteOn(10, 40, 90).Delta(10).NoteOff(10, 40);
  uint32_t carry = 0;
  for (const Sec& s : sections) {
    t.Delta(carry).Marker(s.name);
    uint32_t now = 0;
    for (const Ev& e : s.events) {
      t.Delta(e.tick - now).Channel(e.status, {e.d1, e.d2});
      now = e.tick;
    }
    carry = s.length - now;
  }
  t.Delta(carry).EndOfTrack();
  return vambrio::test::StyleBytes(t, casm, kQuarter);
}

inline StyleModel Loaded(const Bytes& bytes) {
  StyleModel m = MakeStartupModel();
  m.StyleData = bytes;
  SilentErrorSink errors;
  EXPECT_TRUE(ScanStyle(m, false, errors));
  return m;
}

struct Sent {
  int64_t tick;
  uint8_t status, metaType;
  std::vector<uint8_t> data;
  bool IsNoteOn() const { return (status >> 4) == 9 && data.size() == 2 && data[1] > 0; }
  bool IsNoteOff() const { return (status >> 4) == 8 || ((status >> 4) == 9 && data.size() == 2 && data[1] == 0); }
  std::string Text() const { return std::string(data.begin(), data.end()); }
};

class Recorder final : public midi::EventSink {
 public:
  Recorder() { events.reserve(1 << 16); }
  void Send(const midi::Event& e) override {
    EXPECT_GE(static_cast<int64_t>(e.tick), last_) << "events out of order";
    last_ = static_cast<int64_t>(e.tick);
    events.push_back(Sent{static_cast<int64_t>(e.tick), e.status, e.metaType, {e.data, e.data + e.size}});
  }
  // Note ons as (tick, channel, note, velocity), between ticks [from, to).
  std::vector<std::tuple<int64_t, int, int, int>> NoteOns(int64_t from = 0, int64_t to = INT64_MAX) const {
    std::vector<std::tuple<int64_t, int, int, int>> out;
    for (const Sent& e : events)
      if (e.IsNoteOn() && e.tick >= from && e.tick < to) out.emplace_back(e.tick, e.status & 15, e.data[0], e.data[1]);
    return out;
  }
  std::vector<Sent> Meta(uint8_t type) const {
    std::vector<Sent> out;
    for (const Sent& e : events)
      if (e.status == 0xFF && e.metaType == type) out.push_back(e);
    return out;
  }
  // Every note on ended by a note off on the same channel and note; a note
  // off for a note not sounding counts as a fault too. Empty when all is well.
  std::string Hanging() const {
    std::map<std::pair<int, int>, int> on;
    std::string faults;
    for (const Sent& e : events) {
      const auto key = std::make_pair(e.status & 15, e.data.empty() ? 0 : e.data[0]);
      if (e.IsNoteOn()) {
        if (on[key]++ > 0) faults += "double note on " + Where(e);
      } else if (e.IsNoteOff()) {
        if (on[key]-- <= 0) faults += "stray note off " + Where(e);
      }
    }
    for (const auto& [key, count] : on)
      if (count > 0) faults += "hanging " + std::to_string(key.first) + "/" + std::to_string(key.second) + "; ";
    return faults;
  }
  std::vector<Sent> events;

 private:
  static std::string Where(const Sent& e) {
    return std::to_string(e.status & 15) + "/" + std::to_string(e.data[0]) + " at " + std::to_string(e.tick) + "; ";
  }
  int64_t last_ = 0;
};

}  // namespace vambrio::arranger::test
