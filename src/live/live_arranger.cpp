#include "live/live_arranger.h"

#include <algorithm>

#include "midi/midi_bytes.h"

namespace vambrio::live {

// The arranger's events as the block's events: each at the sample its tick
// begins, sysex copied into the block's own room. A tempo event (a chart's
// tempo change) sets the clock's tempo from its tick on; other meta events
// (markers, chord names) carry nothing to the synthesizer.
class LiveArranger::BlockSink final : public midi::EventSink {
 public:
  BlockSink(TickClock& clock, int64_t blockStart, realtime::RealtimeEventSink& events, realtime::MetaTap* tap)
      : clock_(clock), blockStart_(blockStart), events_(events), tap_(tap) {}

  void Send(const midi::Event& e) override {
    if (e.IsMeta()) {
      const auto tick = static_cast<int64_t>(e.tick);
      if (e.metaType == midi::meta::kTempo && e.size == 3) {
        const uint32_t tempo = (uint32_t{e.data[0]} << 16) | (uint32_t{e.data[1]} << 8) | e.data[2];
        clock_.SetTempo(clock_.SampleOf(tick), tempo);
      }
      if (tap_) tap_->Meta(std::max(clock_.SampleOf(tick), blockStart_), tick, e.metaType, e.data, e.size);
      return;
    }
    const int64_t at = clock_.SampleOf(static_cast<int64_t>(e.tick)) - blockStart_;
    const auto offset = static_cast<uint32_t>(std::clamp<int64_t>(at, 0, events_.frames() - 1));
    if (e.IsChannel()) {
      events_.Add(realtime::RealtimeEvent::Short(offset, e.status, e.size > 0 ? e.data[0] : 0,
                                                 e.size > 1 ? e.data[1] : 0));
    } else if (e.status == 0xF0 && e.size + 1 <= sizeof scratch_) {
      scratch_[0] = 0xF0;
      std::copy_n(e.data, e.size, scratch_ + 1);
      events_.AddCopy(offset, scratch_, e.size + 1);
    }
  }

 private:
  TickClock& clock_;
  int64_t blockStart_;
  realtime::RealtimeEventSink& events_;
  realtime::MetaTap* tap_;
  uint8_t scratch_[4096];
};

namespace {

// A chord in one word, so that it crosses threads whole: bit 31 set, the
// root in bits 16..19, the type in bits 8..15, the bass + 1 in bits 0..7.
uint32_t PackChord(const Chord* chord) {
  if (!chord) return 0;
  return 0x80000000u | (static_cast<uint32_t>(chord->root) << 16) | (static_cast<uint32_t>(chord->type) << 8) |
         static_cast<uint32_t>(chord->bass + 1);
}

Chord UnpackChord(uint32_t word) {
  return Chord{static_cast<int>((word >> 16) & 0x0F), static_cast<int>((word >> 8) & 0xFF),
               static_cast<int>(word & 0xFF) - 1};
}

std::vector<std::string> SectionNames(const arranger::StylePatterns& style) {
  std::vector<std::string> names;
  for (const auto& section : style.sections) names.push_back(section.name);
  return names;
}

}  // namespace

LiveArranger::LiveArranger(arranger::Arranger& arranger, int sampleRate)
    : arranger_(arranger),
      style_(arranger.Style()),
      buttons_(SectionButtons::Of(SectionNames(arranger.Style()))),
      clock_(arranger.Style().division, sampleRate, arranger.Tempo()),
      metronome_(arranger.Style().beatLength, arranger.Style().barLength) {
  selectedMain_ = std::max(0, buttons_.FirstMain());
  Publish();
}

LiveArranger::LiveArranger(arranger::Arranger& arranger, arranger::SongPlayer& song, int sampleRate)
    : LiveArranger(arranger, sampleRate) {
  song_ = &song;
}

bool LiveArranger::Post(const LiveCommand& command, Producer from) {
  return commands_.TryPush(static_cast<size_t>(from), command);
}

void LiveArranger::Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) {
  BlockSink out(clock_, block.sampleTime, events, metaTap_);
  blockTick_ = clock_.TickAt(block.sampleTime);
  while (auto command = commands_.TryPop()) Apply(*command, out, block.sampleTime);
  if (running_) {
    const int64_t limit = clock_.TickLimit(block.sampleTime + block.frames);
    if (counting_) {
      metronome_.ClickUpTo(std::min(limit, songStartTick_), out);
      if (limit > songStartTick_) {
        counting_ = false;
        if (!metronomeOn_) metronome_.Release(songStartTick_, out);
        Begin(out);
      }
    }
    if (running_ && !counting_) {
      if (metronomeOn_) metronome_.ClickUpTo(limit, out);
      Advance(limit, out);
    }
    if (!running_) metronome_.Release(limit, out);
  }
  ++blocks_;
  Publish();
}

void LiveArranger::Advance(int64_t limit, midi::EventSink& out) {
  if (song_) {
    song_->AdvanceTo(limit - songStartTick_, out);
    running_ = !song_->Done();
    return;
  }
  FollowInTurn();
  arranger_.AdvanceTo(limit, out);
  running_ = arranger_.Playing();  // an Ending stops by itself
  FollowInTurn();
}

void LiveArranger::Apply(const LiveCommand& c, midi::EventSink& out, int64_t blockStart) {
  using Kind = LiveCommand::Kind;
  switch (c.kind) {
    case Kind::Start:
      if (!running_) Start(out, blockStart, c.value);
      break;
    case Kind::Stop:
      Stop(out);
      break;
    case Kind::StartStop:
      running_ ? Stop(out) : Start(out, blockStart, 0);
      break;
    case Kind::Metronome:
      metronomeOn_ = c.value != 0;
      if (!metronomeOn_ && !counting_) metronome_.Release(blockTick_, out);
      if (metronomeOn_ && running_ && !counting_) metronome_.Align(songStartTick_, blockTick_);
      break;
    case Kind::Transpose:
      SetTranspose(c.value, out);
      break;
    case Kind::SyncStart:
      syncArmed_ = c.value != 0 && !running_;
      break;
    case Kind::Intro:
      PressIntro(c.value);
      break;
    case Kind::Main:
      PressMain(c.value);
      break;
    case Kind::Break:
      PressBreak();
      break;
    case Kind::Ending:
      PressEnding(c.value);
      break;
    case Kind::AutoFill:
      autoFill_ = c.value != 0;
      break;
    case Kind::Chord:
    case Kind::NoChord:
      if (c.kind == Kind::Chord) {
        arranger_.SetChord(Transposed(c.chord, transpose_), out);
      } else {
        arranger_.SetNoChord(out);
      }
      if (syncArmed_ && !running_) Start(out, blockStart, 0);
      break;
    case Kind::Tempo:
      if (c.tempo == 0) break;
      clock_.SetTempo(blockStart, c.tempo);
      arranger_.SetTempo(c.tempo, out);
      break;
    case Kind::Part:
      arranger_.SetPartOn(c.value, c.on, out);
      break;
    case Kind::PlaySection:
      inTurnLast_ = -1;
      PlaySection(c.value, c.on ? arranger::kLoop : arranger::kStopAtEnd, out, blockStart);
      break;
    case Kind::PlayInTurn:
      if (c.value < 0 || static_cast<size_t>(c.value) >= style_.sections.size()) break;
      inTurnLast_ = static_cast<int>(std::min(style_.sections.size(), kSectionsInTurn)) - 1;
      inTurnAt_ = -1;
      PlaySection(c.value, c.value >= inTurnLast_ ? arranger::kStopAtEnd : arranger::kLoop, out, blockStart);
      FollowInTurn();
      break;
    case Kind::Repeat:
      if (running_ && !song_ && inTurnLast_ < 0) arranger_.SetThen(c.on ? arranger::kLoop : arranger::kStopAtEnd);
      break;
  }
}

// The clock starts at the block's first sample with the arranger's tick, or
// with the count-in's bars before it (at the song's tempo): then the music
// begins when the clock reaches the arranger's tick.
void LiveArranger::Start(midi::EventSink& out, int64_t blockStart, int countInBars) {
  syncArmed_ = false;
  const int64_t tick = arranger_.Now().tick;
  if (song_) clock_.SetTempo(blockStart, song_->StartTempo());
  const int64_t countIn = static_cast<int64_t>(std::clamp(countInBars, 0, 2)) * style_.barLength;
  clock_.Anchor(blockStart, tick - countIn);
  running_ = true;
  songStartTick_ = tick;
  metronome_.Align(tick - countIn, tick - countIn);
  counting_ = countIn > 0;
  if (!counting_) Begin(out);
}

void LiveArranger::Begin(midi::EventSink& out) {
  if (song_) {
    song_->AdvanceTo(0, out);
    return;
  }
  const int main = CurrentMainSection();
  const int intro = selectedIntro_ >= 0 ? buttons_.intro[selectedIntro_] : -1;
  selectedIntro_ = -1;  // an Intro plays once, at the Start it was chosen for
  if (intro >= 0) {
    arranger_.Start(intro, out, main >= 0 ? main : arranger::kLoop);
  } else {
    arranger_.Start(main >= 0 ? main : 0, out);
  }
  running_ = arranger_.Playing();
}

void LiveArranger::Stop(midi::EventSink& out) {
  syncArmed_ = false;
  inTurnLast_ = -1;
  metronome_.Release(blockTick_, out);
  counting_ = false;
  if (!running_ && !arranger_.Playing()) return;
  arranger_.Stop(out);
  running_ = false;
}

// The chord in force moves at once by the difference; the next ones come moved.
void LiveArranger::SetTranspose(int semitones, midi::EventSink& out) {
  semitones = std::clamp(semitones, -11, 11);
  if (semitones == transpose_) return;
  if (const Chord* now = arranger_.CurrentChord()) arranger_.SetChord(Transposed(*now, semitones - transpose_), out);
  transpose_ = semitones;
  if (song_) song_->SetTranspose(semitones);
}

int LiveArranger::CurrentMainSection() const {
  return selectedMain_ >= 0 && selectedMain_ < kVariations ? buttons_.main[selectedMain_] : -1;
}

// The bars a section plays from `from` ticks before its end: one bar of a
// longer section is its last bar.
uint32_t LiveArranger::BarsFrom(int section) const {
  const uint32_t length = style_.sections[static_cast<size_t>(section)].length;
  return length > style_.barLength ? length - style_.barLength : 0;
}

void LiveArranger::PressMain(int variation) {
  if (variation < 0 || variation >= kVariations || buttons_.main[variation] < 0) return;
  const int previous = selectedMain_;
  selectedMain_ = variation;
  if (!running_ || song_) return;
  const int target = buttons_.main[variation];
  // While an Intro plays, the Intro plays on and the new Main follows it.
  if (buttons_.ButtonOf(arranger_.Now().section).first == Button::Intro) {
    arranger_.StartSectionAt(target, arranger_.PassEnd(), 0, arranger::kLoop);
    return;
  }
  const int fill = autoFill_ ? buttons_.FillInto(variation, previous) : -1;
  if (fill < 0) {
    arranger_.RequestSection(target);
    return;
  }
  // The fill from the next beat to the bar line (its last part), or its
  // whole last bar when less than a beat is left.
  const int64_t beat = arranger_.NextBeat();
  const int64_t barLine = arranger_.NextBarLine();
  const uint32_t length = style_.sections[static_cast<size_t>(fill)].length;
  if (beat >= barLine) {
    arranger_.StartSectionAt(fill, barLine, BarsFrom(fill), target);
  } else {
    const auto rest = static_cast<uint32_t>(barLine - beat);
    arranger_.StartSectionAt(fill, beat, length > rest ? length - rest : 0, target);
  }
}

void LiveArranger::PressIntro(int variation) {
  if (variation < 0 || variation >= kVariations || buttons_.intro[variation] < 0) return;
  if (!running_) {
    selectedIntro_ = selectedIntro_ == variation ? -1 : variation;
    return;
  }
  if (song_) return;
  const int main = CurrentMainSection();
  arranger_.StartSectionAt(buttons_.intro[variation], arranger_.NextBarLine(), 0, main >= 0 ? main : arranger::kLoop);
}

void LiveArranger::PressBreak() {
  if (!running_ || song_ || buttons_.breakFill < 0) return;
  const int main = CurrentMainSection();
  arranger_.StartSectionAt(buttons_.breakFill, arranger_.NextBarLine(), BarsFrom(buttons_.breakFill),
                           main >= 0 ? main : arranger::kLoop);
}

void LiveArranger::PressEnding(int variation) {
  if (!running_ || song_ || variation < 0 || variation >= kVariations || buttons_.ending[variation] < 0) return;
  arranger_.StartSectionAt(buttons_.ending[variation], arranger_.NextBarLine(), 0, arranger::kStopAtEnd);
}

// Stopped: the section starts at once (with the style's setup); playing:
// from the next bar line.
void LiveArranger::PlaySection(int section, int then, midi::EventSink& out, int64_t blockStart) {
  if (song_ || section < 0 || static_cast<size_t>(section) >= style_.sections.size()) return;
  if (running_) {
    arranger_.RequestSection(section, then);
    return;
  }
  syncArmed_ = false;
  songStartTick_ = arranger_.Now().tick;
  clock_.Anchor(blockStart, songStartTick_);
  metronome_.Align(songStartTick_, songStartTick_);
  arranger_.Start(section, out, then);
  running_ = arranger_.Playing();
}

// Sections in turn: once a section plays, the next one is set to follow it,
// and the last one stops at its end. A section is longer than a block, so
// each is seen before its pass ends.
void LiveArranger::FollowInTurn() {
  if (inTurnLast_ < 0 || !running_) return;
  const int now = arranger_.Now().section;
  if (now < 0 || now == inTurnAt_) return;
  inTurnAt_ = now;
  arranger_.SetThen(now >= inTurnLast_ ? arranger::kStopAtEnd : now + 1);
}

void LiveArranger::Publish() {
  const arranger::Position at = arranger_.Now();
  pubPlaying_.store(running_, std::memory_order_relaxed);
  pubSync_.store(syncArmed_, std::memory_order_relaxed);
  pubAutoFill_.store(autoFill_, std::memory_order_relaxed);
  pubSection_.store(running_ ? at.section : -1, std::memory_order_relaxed);
  pubQueued_.store(running_ ? at.queued : -1, std::memory_order_relaxed);
  pubMain_.store(selectedMain_, std::memory_order_relaxed);
  pubIntro_.store(selectedIntro_, std::memory_order_relaxed);
  const int64_t songTick = at.tick - songStartTick_;
  pubBar_.store(song_ ? static_cast<uint32_t>(std::max<int64_t>(0, songTick) / style_.barLength) : at.bar,
                std::memory_order_relaxed);
  pubBeat_.store(counting_ ? metronome_.BeatAt(blockTick_) : at.beat, std::memory_order_relaxed);
  pubSongBar_.store(running_ ? static_cast<uint32_t>(std::max<int64_t>(0, songTick) / style_.barLength) : 0,
                    std::memory_order_relaxed);
  pubTempo_.store(clock_.Tempo(), std::memory_order_relaxed);
  pubChord_.store(PackChord(arranger_.CurrentChord()), std::memory_order_relaxed);
  pubTick_.store(at.tick, std::memory_order_relaxed);
  pubCounting_.store(counting_, std::memory_order_relaxed);
  pubMetronome_.store(metronomeOn_, std::memory_order_relaxed);
  pubTranspose_.store(transpose_, std::memory_order_relaxed);
  pubChordStep_.store(song_ && running_ ? song_->ChordStep() : -1, std::memory_order_relaxed);
  published_.store(blocks_, std::memory_order_release);
}

LiveState LiveArranger::State() const {
  LiveState s;
  s.blocks = published_.load(std::memory_order_acquire);
  s.playing = pubPlaying_.load(std::memory_order_relaxed);
  s.syncArmed = pubSync_.load(std::memory_order_relaxed);
  s.autoFill = pubAutoFill_.load(std::memory_order_relaxed);
  s.section = pubSection_.load(std::memory_order_relaxed);
  s.queued = pubQueued_.load(std::memory_order_relaxed);
  s.selectedMain = pubMain_.load(std::memory_order_relaxed);
  s.selectedIntro = pubIntro_.load(std::memory_order_relaxed);
  s.bar = pubBar_.load(std::memory_order_relaxed);
  s.beat = pubBeat_.load(std::memory_order_relaxed);
  s.songBar = pubSongBar_.load(std::memory_order_relaxed);
  s.tempo = pubTempo_.load(std::memory_order_relaxed);
  const uint32_t chord = pubChord_.load(std::memory_order_relaxed);
  s.hasChord = chord != 0;
  if (s.hasChord) s.chord = UnpackChord(chord);
  s.tick = pubTick_.load(std::memory_order_relaxed);
  s.countingIn = pubCounting_.load(std::memory_order_relaxed);
  s.metronome = pubMetronome_.load(std::memory_order_relaxed);
  s.transpose = pubTranspose_.load(std::memory_order_relaxed);
  s.songChord = pubChordStep_.load(std::memory_order_relaxed);
  return s;
}

}  // namespace vambrio::live
