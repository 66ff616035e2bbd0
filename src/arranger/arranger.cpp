#include "arranger/arranger.h"

#include <algorithm>
#include <cstring>

#include "midi/midi_bytes.h"

namespace vambrio::arranger {
namespace {

constexpr int64_t kNever = INT64_MAX;

// The classic reset that ends every assembled file: sustain off, sostenuto
// off, all notes off.
constexpr uint8_t kResetControllers[] = {0x40, 0x42, 0x7B};

void Append(char (&text)[24], uint32_t& n, const char* part) {
  while (*part && n < sizeof text - 1) text[n++] = *part++;
}

}  // namespace

uint32_t FormatChord(const Chord* chord, char (&text)[24]) {
  uint32_t n = 0;
  if (!chord) {
    Append(text, n, "N.C.");
  } else {
    Append(text, n, RootName(chord->root));
    Append(text, n, ChordTypeName(chord->type));
    if (chord->bass >= 0 && chord->bass != chord->root) {
      Append(text, n, "/");
      Append(text, n, RootName(chord->bass));
    }
  }
  text[n] = '\0';
  return n;
}

Arranger::Arranger(const StylePatterns& style, const ArrangerOptions& options)
    : style_(style), options_(options), tempo_(style.tempo) {}

void Arranger::Send(midi::EventSink& out, uint8_t status, uint8_t data1, uint8_t data2) {
  const uint8_t data[2] = {data1, data2};
  out.Send(midi::Event{static_cast<uint64_t>(now_), status, 0, static_cast<uint32_t>(midi::ChannelDataLength(status)),
                       data});
}

void Arranger::SendMeta(midi::EventSink& out, uint8_t type, const char* text, uint32_t size) {
  out.Send(midi::Event{static_cast<uint64_t>(now_), 0xFF, type, size, reinterpret_cast<const uint8_t*>(text)});
}

void Arranger::SendPattern(midi::EventSink& out, const PatternEvent& e) {
  if (midi::IsChannelStatus(e.status)) {
    const int kind = e.status >> 4;
    if (kind == 0x8 || kind == 0x9) return Note(out, e);
    return Send(out, e.status, e.data[0], e.data[1]);
  }
  out.Send(midi::Event{static_cast<uint64_t>(now_), e.status, e.metaType, e.size, style_.payloads.data() + e.payload});
}

bool Arranger::Admits(int channel) const {
  const SectionHarmony& h = Current().harmony;
  const int part = PartOf(h, channel);
  if (part >= 8 && part < 16 && !options_.partsOn[static_cast<size_t>(part - 8)]) return false;
  // Before the first chord and on N.C. the drums play alone; with a chord in
  // force every channel, drums included, sounds only on the chord types and
  // roots its switches allow (a crash cymbal kept for the count-in, say).
  if (!haveChord_) return IsRhythm(h, channel);
  return ChannelSounds(h, channel, chord_);
}

void Arranger::Note(midi::EventSink& out, const PatternEvent& e) {
  const int channel = e.status & 0x0F;
  const int note = e.data[0];
  if (e.IsNoteOff()) return Release(out, channel, note);
  if (!Admits(channel)) return;
  const SectionHarmony& h = Current().harmony;
  int outChannel = channel;
  int outNote = note;
  if (IsRhythm(h, channel)) {
    if (PartOf(h, channel) == kRhythmSub && options_.gmPlayer && channel < 15) ++outChannel;
  } else {
    outNote = FollowNote(h, channel, note, chord_);
  }
  Acquire(out, channel, note, outChannel, outNote, e.data[1]);
}

void Arranger::Acquire(midi::EventSink& out, int channel, int note, int outChannel, int outNote, int velocity) {
  Release(out, channel, note);  // a note on over a sounding one ends that first
  uint16_t& count = outCount_[static_cast<size_t>(outChannel)][static_cast<size_t>(outNote)];
  const uint8_t status = static_cast<uint8_t>(0x90 | outChannel);
  if (count > 0) Send(out, static_cast<uint8_t>(0x80 | outChannel), static_cast<uint8_t>(outNote), 0);
  ++count;
  Send(out, status, static_cast<uint8_t>(outNote), static_cast<uint8_t>(velocity));
  voices_[static_cast<size_t>(channel)][static_cast<size_t>(note)] =
      Voice{static_cast<uint8_t>(outChannel), static_cast<uint8_t>(outNote), static_cast<uint8_t>(velocity), true};
}

void Arranger::Release(midi::EventSink& out, int channel, int note) {
  Voice& v = voices_[static_cast<size_t>(channel)][static_cast<size_t>(note)];
  if (!v.on) return;
  v.on = false;
  uint16_t& count = outCount_[v.outChannel][v.outNote];
  if (count > 0 && --count == 0) Send(out, static_cast<uint8_t>(0x80 | v.outChannel), v.outNote, 0);
}

void Arranger::ReleaseAll(midi::EventSink& out) {
  for (int c = 0; c < 16; ++c)
    for (int n = 0; n < 128; ++n) Release(out, c, n);
}

// The sounding notes of the transposed channels after a chord change: each
// follows its channel's retrigger rule, or stops when the channel is silent
// on the new chord.
void Arranger::Follow(midi::EventSink& out) {
  if (!playing_) return;
  const SectionHarmony& h = Current().harmony;
  for (int c = 0; c < 16; ++c) {
    if (IsRhythm(h, c)) continue;
    const bool sounds = Admits(c);
    for (int n = 0; n < 128; ++n) {
      const Voice v = voices_[static_cast<size_t>(c)][static_cast<size_t>(n)];
      if (!v.on) continue;
      const Rtr rule = RetriggerOf(h, c, n);
      if (!sounds || rule == Rtr::Stop) {
        Release(out, c, n);
        continue;
      }
      const int moved = FollowNote(h, c, n, chord_);
      const bool shift = rule == Rtr::PitchShift || rule == Rtr::PitchShiftToRoot;
      if (shift && moved == v.outNote) continue;  // a shift by nothing leaves the note ringing
      Release(out, c, n);
      Acquire(out, c, n, v.outChannel, moved, v.velocity);
    }
  }
}

void Arranger::BeginSection(midi::EventSink& out, int section, uint32_t from, int then) {
  ReleaseAll(out);
  section_ = section;
  const SectionPattern& s = Current();
  from = s.length > 0 ? from % s.length : 0;
  passStart_ = now_ - from;
  then_ = then;
  const auto& events = s.events;
  next_ = static_cast<size_t>(std::lower_bound(events.begin(), events.end(), from,
                                               [](const PatternEvent& e, uint32_t t) { return e.tick < t; }) -
                              events.begin());
  SendMeta(out, midi::meta::kMarker, s.name.data(), static_cast<uint32_t>(s.name.size()));
}

void Arranger::EndPass(midi::EventSink& out) {
  ReleaseAll(out);
  if (then_ == kStopAtEnd) return Stop(out);
  if (then_ == kLoop) {
    passStart_ += Current().length;
    next_ = 0;
    return;
  }
  BeginSection(out, then_, 0, kLoop);
}

void Arranger::Start(int section, midi::EventSink& out, int then) {
  if (section < 0 || static_cast<size_t>(section) >= style_.sections.size()) return;
  if (playing_) Stop(out);
  const uint8_t tempo[3] = {static_cast<uint8_t>(tempo_ >> 16), static_cast<uint8_t>(tempo_ >> 8),
                            static_cast<uint8_t>(tempo_)};
  SendMeta(out, midi::meta::kTempo, reinterpret_cast<const char*>(tempo), 3);
  for (const PatternEvent& e : style_.setup) {
    if (midi::IsChannelStatus(e.status)) {
      Send(out, e.status, e.data[0], e.data[1]);
    } else {
      out.Send(midi::Event{static_cast<uint64_t>(now_), e.status, e.metaType, e.size,
                           style_.payloads.data() + e.payload});
    }
  }
  playing_ = true;
  switch_.pending = false;
  if (then < kStopAtEnd || then >= static_cast<int>(style_.sections.size())) then = kLoop;
  BeginSection(out, section, 0, then);
  if (haveChord_) SendMeta(out, midi::meta::kText, chordText_, chordTextLength_);
}

void Arranger::StartSectionAt(int section, int64_t tick, uint32_t from, int then) {
  if (section < 0 || static_cast<size_t>(section) >= style_.sections.size()) return;
  if (then < kStopAtEnd || then >= static_cast<int>(style_.sections.size())) then = kLoop;
  switch_ = Switch{true, section, std::max(tick, now_), from, then};
}

void Arranger::SetThen(int then) {
  if (then < kStopAtEnd || then >= static_cast<int>(style_.sections.size())) then = kLoop;
  then_ = then;
  if (switch_.pending) switch_.then = then;
}

void Arranger::SetChord(const Chord& chord, midi::EventSink& out, std::string_view text) {
  haveChord_ = true;
  chord_ = chord;
  if (text.empty() || text.size() >= sizeof chordText_) {
    chordTextLength_ = FormatChord(&chord_, chordText_);
  } else {
    std::copy(text.begin(), text.end(), chordText_);
    chordTextLength_ = static_cast<uint32_t>(text.size());
  }
  if (!playing_) return;
  SendMeta(out, midi::meta::kText, chordText_, chordTextLength_);
  Follow(out);
}

void Arranger::SetNoChord(midi::EventSink& out) {
  haveChord_ = false;
  if (!playing_) return;
  const uint32_t n = FormatChord(nullptr, chordText_);
  SendMeta(out, midi::meta::kText, chordText_, n);
  Follow(out);
}

void Arranger::SetPartOn(int part, bool on, midi::EventSink& out) {
  if (part < 0 || part > 7) return;
  options_.partsOn[static_cast<size_t>(part)] = on;
  if (on || !playing_) return;
  const SectionHarmony& h = Current().harmony;
  for (int c = 0; c < 16; ++c)
    if (PartOf(h, c) == 8 + part)
      for (int n = 0; n < 128; ++n) Release(out, c, n);
}

void Arranger::SetTempo(uint32_t microsPerQuarter, midi::EventSink& out) {
  if (microsPerQuarter == 0 || microsPerQuarter > 0xFFFFFF) return;
  tempo_ = microsPerQuarter;
  if (!playing_) return;
  const uint8_t tempo[3] = {static_cast<uint8_t>(tempo_ >> 16), static_cast<uint8_t>(tempo_ >> 8),
                            static_cast<uint8_t>(tempo_)};
  SendMeta(out, midi::meta::kTempo, reinterpret_cast<const char*>(tempo), 3);
}

void Arranger::Stop(midi::EventSink& out) {
  if (!playing_) return;
  ReleaseAll(out);
  for (uint8_t c = 0; c < 16; ++c)
    for (uint8_t controller : kResetControllers) Send(out, static_cast<uint8_t>(0xB0 | c), controller, 0);
  playing_ = false;
  switch_.pending = false;
}

// Reaching tick T: every pattern event before T, and the section switches
// and pass ends at T itself, so that a command given at T finds the section
// that plays from T on.
void Arranger::AdvanceTo(int64_t tick, midi::EventSink& out) {
  while (playing_) {
    const SectionPattern& s = Current();
    const int64_t eventAt = next_ < s.events.size() ? passStart_ + s.events[next_].tick : kNever;
    const int64_t switchAt = switch_.pending ? switch_.tick : kNever;
    const int64_t boundary = std::min(passStart_ + s.length, switchAt);
    if (eventAt < boundary) {
      if (eventAt >= tick) break;
      now_ = eventAt;
      SendPattern(out, s.events[next_++]);
      continue;
    }
    if (boundary > tick) break;
    now_ = boundary;
    if (switchAt == boundary) {
      switch_.pending = false;
      BeginSection(out, switch_.section, switch_.from, switch_.then);
    } else {
      EndPass(out);  // note offs that fall on the section's end are in ReleaseAll
    }
  }
  now_ = std::max(now_, tick);
}

Position Arranger::Now() const {
  Position p;
  p.playing = playing_;
  p.tick = now_;
  if (!playing_) return p;
  p.section = section_;
  p.queued = switch_.pending ? switch_.section : -1;
  const SectionPattern& s = Current();
  const int64_t into = s.length > 0 ? (now_ - passStart_) % s.length : 0;
  p.bar = static_cast<uint32_t>(into / style_.barLength);
  p.beat = static_cast<uint32_t>(into % style_.barLength / style_.beatLength);
  return p;
}

int64_t Arranger::NextBarLine() const {
  if (!playing_) return now_;
  const int64_t into = now_ - passStart_;
  const int64_t bar = style_.barLength;
  return passStart_ + (into + bar - 1) / bar * bar;
}

int64_t Arranger::NextBeat() const {
  if (!playing_) return now_;
  const int64_t into = now_ - passStart_;
  const int64_t beat = style_.beatLength;
  return passStart_ + (into + beat - 1) / beat * beat;
}

}  // namespace vambrio::arranger
