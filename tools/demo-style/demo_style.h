// The project's own demo style: a light pop groove in C major, 4/4, 100
// quarter notes per minute, 1920 ticks per quarter note. Drums, a second
// percussion part, bass, two chord parts, a pad and two phrase parts on
// channels 9-16, six sections and a CASM block that lets every part sound on
// every chord, with a rule for each part (bass, chord tones, melody) that
// fits it to any root and chord type.
//
// The parts are written so that they stay pleasant after the classic
// Major and Minor interval rules as well: the chord parts use the chord tones
// C, E, G (E becomes E flat in minor); bass and phrase parts, whose rule has
// no minor form, keep to C, D and G. Intro and ending, which are copied
// without interval rules, avoid the third altogether.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "style_builder.h"

namespace vambrio::demo {

using test::Bytes;

inline constexpr int kQuarter = 1920;
inline constexpr int kBar = 4 * kQuarter;
inline constexpr int kEighth = kQuarter / 2;
inline constexpr int kSixteenth = kQuarter / 4;

// MIDI channels (0-based) and the parts they play.
enum Channel : int {
  kRhythmSub = 8,
  kDrums = 9,
  kBass = 10,
  kChord1 = 11,
  kChord2 = 12,
  kPad = 13,
  kPhrase1 = 14,
  kPhrase2 = 15,
};

// General MIDI drum notes.
enum Drum : int {
  kKick = 36,
  kSideStick = 37,
  kSnare = 38,
  kClosedHat = 42,
  kPedalHat = 44,
  kOpenHat = 46,
  kLowTom = 45,
  kMidTom = 47,
  kHighTom = 50,
  kCrash = 49,
  kRide = 51,
  kTambourine = 54,
  kShaker = 70,
};

// The notes of one section, gathered in any order and written sorted by time.
class Section {
 public:
  Section(std::string name, int bars) : name_(std::move(name)), length_(bars * kBar) {}

  void Note(int channel, int tick, int note, int velocity, int duration) {
    const int off = std::min(tick + duration, length_);
    events_.push_back({tick, 1, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note),
                       static_cast<uint8_t>(velocity)});
    events_.push_back({off, 0, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), 0});
  }
  void Chord(int channel, int tick, std::initializer_list<int> notes, int velocity, int duration) {
    for (int n : notes) Note(channel, tick, n, velocity, duration);
  }
  void Controller(int channel, int tick, int controller, int value) {
    events_.push_back({tick, 2, static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller),
                       static_cast<uint8_t>(value)});
  }

  // Writes the marker and the events; the next event follows `length` ticks
  // after the marker. Returns the ticks from the last event to the section's end.
  int WriteTo(test::TrackBuilder& t, int deltaBeforeMarker) {
    std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;  // note offs first at the same time
    });
    t.Delta(static_cast<uint32_t>(deltaBeforeMarker)).Marker(name_);
    int now = 0;
    for (const Event& e : events_) {
      t.Delta(static_cast<uint32_t>(e.tick - now)).Channel(e.status, {e.data1, e.data2});
      now = e.tick;
    }
    return length_ - now;
  }

 private:
  struct Event {
    int tick;
    int order;  // at the same tick: note offs, then note ons, then controllers
    uint8_t status, data1, data2;
  };
  std::string name_;
  int length_;
  std::vector<Event> events_;
};

// --- the patterns -------------------------------------------------------

inline void BackBeat(Section& s, int bar, bool busy) {
  const int t0 = bar * kBar;
  for (int beat = 0; beat < 4; ++beat) {
    const int t = t0 + beat * kQuarter;
    if (beat == 0 || beat == 2) s.Note(kDrums, t, kKick, beat == 0 ? 112 : 100, kSixteenth);
    if (beat == 1 || beat == 3) s.Note(kDrums, t, kSnare, 104, kSixteenth);
    if (busy && beat == 2) s.Note(kDrums, t + kEighth + kSixteenth, kKick, 84, kSixteenth);
  }
  const int step = busy ? kSixteenth : kEighth;
  for (int t = 0; t < kBar; t += step) {
    const bool onBeat = t % kQuarter == 0;
    const int note = busy && t == kBar - kEighth ? kOpenHat : (busy ? kRide : kClosedHat);
    s.Note(kDrums, t0 + t, note, onBeat ? 92 : 70, step / 2);
  }
}

inline void Percussion(Section& s, int bar, bool busy) {
  const int t0 = bar * kBar;
  for (int t = 0; t < kBar; t += kSixteenth) {
    const int inBeat = t % kQuarter;
    if (inBeat == kSixteenth || (busy && inBeat == 3 * kSixteenth)) s.Note(kRhythmSub, t0 + t, kShaker, 58, 120);
  }
  if (busy) s.Note(kRhythmSub, t0 + kQuarter + kEighth, kTambourine, 66, 240);
  s.Note(kRhythmSub, t0 + 3 * kQuarter + kEighth, kTambourine, 70, 240);
}

// Root and fifth with a lift to the octave; D passes back to the root.
inline void BassLine(Section& s, int bar, bool busy) {
  const int t0 = bar * kBar;
  s.Note(kBass, t0, 36, 104, kQuarter + kEighth - 60);
  s.Note(kBass, t0 + kQuarter + kEighth, 36, 84, kEighth - 60);
  s.Note(kBass, t0 + 2 * kQuarter, 43, 98, kQuarter - 60);
  if (busy) {
    s.Note(kBass, t0 + 3 * kQuarter, 48, 90, kEighth - 60);
    s.Note(kBass, t0 + 3 * kQuarter + kEighth, 38, 86, kEighth - 60);
  } else {
    s.Note(kBass, t0 + 3 * kQuarter, 43, 86, kEighth - 60);
    s.Note(kBass, t0 + 3 * kQuarter + kEighth, bar % 2 == 0 ? 48 : 38, 80, kEighth - 60);
  }
}

// Electric piano: offbeat chords on two and four, pushed in the busy variation.
inline void PianoComp(Section& s, int bar, bool busy) {
  const int t0 = bar * kBar;
  s.Chord(kChord1, t0 + kQuarter, {64, 67, 72}, 76, kEighth);
  s.Chord(kChord1, t0 + 3 * kQuarter, {64, 67, 72}, 74, kEighth);
  if (busy) {
    s.Chord(kChord1, t0 + 2 * kQuarter - kSixteenth, {67, 72, 76}, 70, kSixteenth);
    s.Chord(kChord1, t0 + kBar - kEighth, {64, 67, 72}, 72, kEighth);
  }
}

// Guitar: a picked eighth-note figure.
inline void GuitarPicking(Section& s, int bar, bool busy) {
  const int t0 = bar * kBar;
  const int figure[8] = {55, 60, 64, 60, 67, 64, 60, 64};
  for (int i = 0; i < 8; ++i) {
    if (!busy && i % 2 == 1 && i != 3 && i != 7) continue;
    s.Note(kChord2, t0 + i * kEighth, figure[i], i % 2 == 0 ? 72 : 60, kEighth - 80);
  }
}

inline void PadHold(Section& s, int bar, int bars, std::initializer_list<int> notes, int velocity) {
  s.Chord(kPad, bar * kBar, notes, velocity, bars * kBar - 120);
}

// --- the sections ---------------------------------------------------------

inline Section IntroA() {
  Section s("Intro A", 2);
  // Two bars of open fifths and a suspended second, then the lift into Main.
  s.Note(kDrums, 0, kCrash, 96, kQuarter);
  for (int t = 0; t < 2 * kBar; t += kQuarter) s.Note(kDrums, t, t % kBar == 0 ? kKick : kSideStick, 82, 240);
  for (int t = kBar + 2 * kQuarter; t < 2 * kBar; t += kEighth) s.Note(kDrums, t, kSnare, 70 + (t / kEighth) % 8 * 4, 200);
  for (int bar = 0; bar < 2; ++bar) Percussion(s, bar, false);
  s.Note(kBass, 0, 36, 100, kBar - 120);
  s.Note(kBass, kBar, 43, 96, 2 * kQuarter - 60);
  s.Note(kBass, kBar + 2 * kQuarter, 38, 90, kQuarter - 60);
  s.Note(kBass, kBar + 3 * kQuarter, 43, 92, kQuarter - 60);
  s.Chord(kChord1, 0, {60, 62, 67}, 70, kBar - 240);
  s.Chord(kChord1, kBar, {62, 67, 72}, 72, kBar - 240);
  for (int i = 0; i < 16; ++i) s.Note(kChord2, i * kEighth, (i % 4 == 0) ? 55 : (i % 2 ? 62 : 60), 62, kEighth - 80);
  PadHold(s, 0, 2, {48, 55, 62}, 60);
  const int melody[][3] = {{0, 67, 88}, {3, 72, 84}, {4, 74, 86}, {6, 79, 90}, {8, 74, 84}, {10, 72, 82}, {12, 67, 80}};
  for (const auto& m : melody) s.Note(kPhrase1, m[0] * kEighth, m[1], m[2], 2 * kEighth - 60);
  s.Note(kPhrase2, 0, 79, 60, kQuarter);
  s.Note(kPhrase2, kBar, 84, 58, kQuarter);
  return s;
}

inline Section MainA() {
  Section s("Main A", 4);
  for (int bar = 0; bar < 4; ++bar) {
    BackBeat(s, bar, false);
    Percussion(s, bar, false);
    BassLine(s, bar, false);
    PianoComp(s, bar, false);
    GuitarPicking(s, bar, false);
  }
  PadHold(s, 0, 2, {48, 55, 64}, 56);
  PadHold(s, 2, 2, {48, 55, 67}, 56);
  // A short flute answer in the fourth bar, vibraphone bells in the first.
  const int answer[][3] = {{0, 79, 84}, {1, 74, 78}, {2, 72, 80}, {4, 67, 76}};
  for (const auto& m : answer) s.Note(kPhrase1, 3 * kBar + m[0] * kEighth, m[1], m[2], kEighth - 40);
  s.Note(kPhrase2, 0, 84, 62, kQuarter);
  s.Note(kPhrase2, kQuarter + kEighth, 79, 56, kQuarter);
  s.Note(kPhrase2, 2 * kBar, 84, 60, kQuarter);
  return s;
}

inline Section MainB() {
  Section s("Main B", 4);
  for (int bar = 0; bar < 4; ++bar) {
    BackBeat(s, bar, true);
    Percussion(s, bar, true);
    BassLine(s, bar, true);
    PianoComp(s, bar, true);
    GuitarPicking(s, bar, true);
  }
  s.Note(kDrums, 0, kCrash, 100, kQuarter);
  PadHold(s, 0, 4, {48, 55, 60, 64}, 62);
  const int melody[][3] = {{0, 72, 90}, {2, 74, 86}, {3, 79, 92}, {6, 74, 84}, {8, 72, 88}, {11, 67, 80},
                           {12, 72, 86}, {16, 79, 92}, {18, 84, 94}, {20, 79, 88}, {22, 74, 84}, {24, 72, 90}};
  for (const auto& m : melody) s.Note(kPhrase1, m[0] * kEighth, m[1], m[2], 2 * kEighth - 60);
  for (int bar = 0; bar < 4; ++bar) {
    s.Note(kPhrase2, bar * kBar + kEighth, 79, 54, kEighth);
    s.Note(kPhrase2, bar * kBar + 5 * kEighth, 86, 50, kEighth);
  }
  return s;
}

// A one-bar fill: toms down the kit (A), or a snare roll (B), into a crash.
inline Section Fill(const std::string& name, bool roll) {
  Section s(name, 1);
  if (roll) {
    for (int t = 2 * kQuarter; t < kBar; t += kSixteenth) s.Note(kDrums, t, kSnare, 64 + (t - 2 * kQuarter) / kSixteenth * 6, 100);
  } else {
    const int toms[] = {kHighTom, kHighTom, kMidTom, kMidTom, kLowTom, kLowTom, kLowTom, kSnare};
    for (int i = 0; i < 8; ++i) s.Note(kDrums, 2 * kQuarter + i * kSixteenth, toms[i], 90 + i * 3, 200);
  }
  s.Note(kDrums, 0, kKick, 110, kSixteenth);
  s.Note(kDrums, kQuarter, kSnare, 100, kSixteenth);
  s.Note(kDrums, kQuarter + kEighth, kKick, 90, kSixteenth);
  for (int t = 0; t < 2 * kQuarter; t += kEighth) s.Note(kDrums, t, kClosedHat, 80, 120);
  Percussion(s, 0, roll);
  s.Note(kBass, 0, 36, 104, kQuarter - 60);
  s.Note(kBass, kQuarter, 48, 92, kQuarter - 60);
  s.Note(kBass, 2 * kQuarter, 43, 96, kEighth - 60);
  s.Note(kBass, 2 * kQuarter + kEighth, 38, 90, kEighth - 60);
  s.Note(kBass, 3 * kQuarter, 43, 94, kEighth - 60);
  s.Note(kBass, 3 * kQuarter + kEighth, 31, 96, kEighth - 60);
  s.Chord(kChord1, 0, {64, 67, 72}, 80, kQuarter);
  s.Chord(kChord1, 2 * kQuarter - kSixteenth, {67, 72, 76}, 76, kEighth);
  s.Chord(kChord2, 0, {55, 60, 64, 67}, 74, kQuarter);
  s.Chord(kChord2, 3 * kQuarter + kEighth, {55, 60, 64, 67}, 70, kEighth);
  s.Chord(kPad, 0, {48, 55, 64}, 58, kBar - 120);
  const int run[] = {67, 72, 74, 79};
  for (int i = 0; i < 4; ++i) s.Note(kPhrase1, 2 * kQuarter + i * kEighth, run[i], 82 + i * 3, kEighth - 40);
  s.Note(kPhrase2, 3 * kQuarter + kEighth, 86, 60, kEighth);
  return s;
}

inline Section EndingA() {
  Section s("Ending A", 2);
  // Three hits, a held suspension, and the final chord on the downbeat of bar 2.
  for (int hit : {0, 3, 6}) {
    s.Note(kDrums, hit * kEighth, kKick, 108, kSixteenth);
    s.Note(kDrums, hit * kEighth, kCrash, 90, kSixteenth);
    s.Chord(kChord1, hit * kEighth, {62, 67, 72}, 84, kEighth);
    s.Chord(kChord2, hit * kEighth, {55, 62, 67}, 78, kEighth);
    s.Note(kBass, hit * kEighth, 36, 104, kEighth);
  }
  for (int t = kBar / 2; t < kBar; t += kSixteenth) s.Note(kDrums, t, kSnare, 60 + (t - kBar / 2) / kSixteenth * 5, 100);
  s.Chord(kPad, 0, {48, 55, 62}, 60, kBar);
  s.Note(kBass, kBar / 2, 43, 96, kQuarter);
  s.Note(kBass, kBar / 2 + kQuarter, 38, 92, kQuarter);
  s.Note(kPhrase1, kBar / 2, 74, 84, kQuarter);
  s.Note(kPhrase1, kBar / 2 + kQuarter, 79, 88, kQuarter);
  // The last bar: one long chord on C with open fifths.
  s.Note(kDrums, kBar, kKick, 112, kSixteenth);
  s.Note(kDrums, kBar, kCrash, 100, kBar);
  s.Note(kRhythmSub, kBar, kTambourine, 72, 480);
  s.Note(kBass, kBar, 36, 108, kBar - 240);
  s.Chord(kChord1, kBar, {60, 67, 72}, 80, kBar - 240);
  s.Chord(kChord2, kBar, {48, 55, 60, 67}, 76, kBar - 240);
  s.Chord(kPad, kBar, {48, 55, 60}, 64, kBar - 120);
  s.Note(kPhrase1, kBar, 84, 86, kBar - 240);
  s.Note(kPhrase2, kBar, 79, 64, kBar / 2);
  return s;
}

// --- setup and chord rules ---------------------------------------------------

struct Voice {
  int channel;
  int bankMsb, program, volume, pan, reverb, chorus;
};
inline constexpr Voice kVoices[] = {
    {kRhythmSub, 127, 0, 80, 76, 40, 0},  // percussion kit
    {kDrums, 127, 0, 104, 64, 40, 0},     // standard kit
    {kBass, 0, 33, 100, 64, 10, 0},       // fingered bass
    {kChord1, 0, 4, 84, 48, 50, 30},      // electric piano
    {kChord2, 0, 25, 72, 84, 40, 20},     // steel-string guitar
    {kPad, 0, 48, 66, 64, 70, 30},        // string ensemble
    {kPhrase1, 0, 73, 78, 72, 60, 10},    // flute
    {kPhrase2, 0, 11, 64, 40, 70, 10},    // vibraphone
};

inline void WriteSetup(test::TrackBuilder& t) {
  t.TimeSignature(4, 2).Tempo(600000);  // 100 quarter notes per minute
  t.Marker("SFF1").TrackName("Vambrio Demo").Copyright("Vambrio project, free to use");
  t.Marker("SInt").GmSystemOn();
  bool first = true;
  for (const Voice& v : kVoices) {
    t.Delta(first ? 480 : 10).ControlChange(v.channel, 0, v.bankMsb);  // the sound source resets first
    first = false;
    t.ControlChange(v.channel, 32, 0).ProgramChange(v.channel, v.program);
    t.Delta(5).ControlChange(v.channel, 7, v.volume).ControlChange(v.channel, 11, 127);
    t.ControlChange(v.channel, 10, v.pan).ControlChange(v.channel, 91, v.reverb).ControlChange(v.channel, 93, v.chorus);
  }
}

// How a part follows the chord: transposition (0 root transpose, 1 root
// fixed), table (0 bypass, 1 melody, 2 chord, 3 bass), high key, note limits
// and what a sounding note does when the chord changes (0 stop, 1 pitch
// shift, 2 pitch shift to root).
struct PartRule {
  int channel;
  const char* name;  // 8 characters
  int ntr, ntt, highKey;
  int low, high;
  int rtr;
};

// A Ctab entry of 27 data bytes: source channel, name, destination (the same
// channel), the note and chord-type masks (every root and chord type),
// recorded on C major, and the part's rule.
inline Bytes CtabEntry(const PartRule& p) {
  Bytes e(27, 0);
  e[0] = static_cast<uint8_t>(p.channel);
  for (int i = 0; i < 8; ++i) e[static_cast<size_t>(1 + i)] = static_cast<uint8_t>(p.name[i]);
  e[9] = static_cast<uint8_t>(p.channel);
  e[11] = 0x0F;  // every note of the scale
  e[12] = 0xFF;
  e[13] = p.channel == kRhythmSub || p.channel == kDrums ? 0x07 : 0x03;  // the rhythm starts before the first chord
  e[14] = e[15] = 0xFF;
  e[16] = 0xFF;  // sounds on minor chords
  e[17] = 0xFF;  // sounds on major chords
  e[18] = 0;     // written for a C major chord
  e[19] = 0;
  e[20] = static_cast<uint8_t>(p.ntr);
  e[21] = static_cast<uint8_t>(p.ntt);
  e[22] = static_cast<uint8_t>(p.highKey);
  e[23] = static_cast<uint8_t>(p.low);
  e[24] = static_cast<uint8_t>(p.high);
  e[25] = static_cast<uint8_t>(p.rtr);
  Bytes out;
  test::AppendText(out, "Ctab");
  test::AppendBE32(out, static_cast<uint32_t>(e.size()));
  out.insert(out.end(), e.begin(), e.end());
  return out;
}

inline Bytes Casm() {
  // Main and fills: the piano and the strings keep their voicings in place
  // and take the chord's tones; the guitar figure moves with the root.
  const PartRule main[] = {{kRhythmSub, "Perc    ", 1, 0, 5, 0, 127, 1}, {kDrums, "Drums   ", 1, 0, 5, 0, 127, 1},
                           {kBass, "Bass    ", 0, 3, 5, 28, 55, 2},      {kChord1, "E.Piano ", 1, 2, 5, 57, 79, 1},
                           {kChord2, "Guitar  ", 0, 2, 5, 52, 76, 1},    {kPad, "Strings ", 1, 2, 5, 48, 72, 1},
                           {kPhrase1, "Flute   ", 0, 1, 5, 62, 91, 0},   {kPhrase2, "Vibes   ", 0, 1, 5, 67, 96, 0}};
  // Intro and ending: the open fifths and suspended seconds keep their colour
  // (the melody table) over every chord.
  const PartRule intro[] = {{kRhythmSub, "Perc    ", 1, 0, 5, 0, 127, 1}, {kDrums, "Drums   ", 1, 0, 5, 0, 127, 1},
                            {kBass, "Bass    ", 0, 3, 5, 28, 55, 2},      {kChord1, "E.Piano ", 1, 1, 5, 55, 79, 1},
                            {kChord2, "Guitar  ", 0, 1, 5, 48, 76, 1},    {kPad, "Strings ", 1, 1, 5, 43, 72, 1},
                            {kPhrase1, "Flute   ", 0, 1, 5, 60, 91, 0},   {kPhrase2, "Vibes   ", 0, 1, 5, 67, 96, 0}};
  const char* groups[] = {"Intro A,Ending A", "Main A,Fill In AA", "Main B,Fill In BB"};
  test::CasmBuilder casm;
  for (const char* g : groups) {
    casm.Group(g);
    const bool framing = std::string(g).rfind("Intro", 0) == 0;
    for (const PartRule& p : framing ? intro : main) casm.RawInGroup(CtabEntry(p));
  }
  return casm.Build();
}

inline Bytes BuildDemoStyle() {
  test::TrackBuilder t;
  WriteSetup(t);
  int carry = kEighth;  // the setup's last events, then the first section
  Section sections[] = {IntroA(), MainA(), MainB(), Fill("Fill In AA", false), Fill("Fill In BB", true), EndingA()};
  for (Section& s : sections) carry = s.WriteTo(t, carry);
  t.Delta(static_cast<uint32_t>(carry)).EndOfTrack();
  return test::StyleBytes(t, Casm(), kQuarter);
}

}  // namespace vambrio::demo
