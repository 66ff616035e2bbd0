// The arranger played live from inside the audio callback: the tick clock
// follows the audio clock, every event is applied at its sample, and the
// player's commands (start, stop, sections, chords, tempo, parts) come
// through a lock-free queue and take effect in the next audio block. The
// rules are an arranger keyboard's: Sync Start, Intro then Main, Auto Fill
// into the next Main from the next beat, a one-bar Break, an Ending that
// stops.
//
// Made on the window's (or the command line's) thread, then attached to the
// audio output; from then on only the audio thread touches the arranger,
// and no member called there allocates, locks or waits.
#pragma once

#include <atomic>
#include <cstdint>

#include "arranger/arranger.h"
#include "arranger/song.h"
#include "live/live_command.h"
#include "live/metronome.h"
#include "live/section_buttons.h"
#include "live/tick_clock.h"
#include "realtime/meta_tap.h"
#include "realtime/producer_lanes.h"
#include "realtime/realtime_client.h"

namespace vambrio::live {

// Who posts a command: each producer is one thread, with a queue of its own.
// The window posts from its thread; the player's keyboard from the thread that
// reads it (the audio callback or the MIDI sending thread).
enum class Producer : uint8_t { Window, Keyboard };

class LiveArranger final : public realtime::RealtimeClient {
 public:
  LiveArranger(arranger::Arranger& arranger, int sampleRate);
  // A chart plays instead of the buttons: Start starts the song from its
  // beginning; it stops at its end.
  LiveArranger(arranger::Arranger& arranger, arranger::SongPlayer& song, int sampleRate);

  // From the producer's own thread; false when its queue is full. The
  // commands of all producers are taken at the start of the next block.
  bool Post(const LiveCommand& command, Producer from = Producer::Window);
  LiveState State() const;
  // Before the client is attached: who hears the markers, chord names and
  // tempo changes (a recorder); null for nobody.
  void SetMetaTap(realtime::MetaTap* tap) { metaTap_ = tap; }
  const SectionButtons& Buttons() const { return buttons_; }

  void Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) override;

 private:
  class BlockSink;
  void Apply(const LiveCommand& c, midi::EventSink& out, int64_t blockStart);
  void Start(midi::EventSink& out, int64_t blockStart, int countInBars);
  void Begin(midi::EventSink& out);
  void Advance(int64_t limit, midi::EventSink& out);
  void Stop(midi::EventSink& out);
  void SetTranspose(int semitones, midi::EventSink& out);
  void PressMain(int variation);
  void PressIntro(int variation);
  void PressBreak();
  void PressEnding(int variation);
  void PlaySection(int section, int then, midi::EventSink& out, int64_t blockStart);
  void FollowInTurn();
  int CurrentMainSection() const;
  uint32_t BarsFrom(int section) const;
  void Publish();

  arranger::Arranger& arranger_;
  arranger::SongPlayer* song_ = nullptr;
  const arranger::StylePatterns& style_;
  SectionButtons buttons_;
  TickClock clock_;
  realtime::ProducerLanes<LiveCommand, 256, 2> commands_;
  realtime::MetaTap* metaTap_ = nullptr;
  Metronome metronome_;

  // The audio thread's own state.
  bool running_ = false;  // the clock runs (the arranger or the song plays)
  bool syncArmed_ = false;
  bool autoFill_ = true;
  int selectedMain_ = 0;
  int selectedIntro_ = -1;
  int64_t songStartTick_ = 0;  // the tick of the last Start
  int inTurnLast_ = -1;     // playing sections in turn up to this one; -1: not in turn
  int inTurnAt_ = -1;       // the section whose successor is set
  uint64_t blocks_ = 0;
  bool counting_ = false;      // the count-in's clicks play; the music starts at songStartTick_
  bool metronomeOn_ = false;
  int transpose_ = 0;
  int64_t blockTick_ = 0;      // the clock's tick at the start of the block

  // Published for other threads.
  std::atomic<uint64_t> published_{0};
  std::atomic<bool> pubPlaying_{false}, pubSync_{false}, pubAutoFill_{true}, pubCounting_{false}, pubMetronome_{false};
  std::atomic<int> pubTranspose_{0}, pubChordStep_{-1};
  std::atomic<int> pubSection_{-1}, pubQueued_{-1}, pubMain_{-1}, pubIntro_{-1};
  std::atomic<uint32_t> pubBar_{0}, pubBeat_{0}, pubTempo_{0}, pubSongBar_{0};
  std::atomic<uint32_t> pubChord_{0};  // the chord in force, packed (0: none)
  std::atomic<int64_t> pubTick_{0};
};

}  // namespace vambrio::live
