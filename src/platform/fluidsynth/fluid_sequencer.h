// The sequencer on FluidSynth: "open" loads the file into a player of the
// engine's synthesizer, "play" plays from the current position, "stop" halts
// and silences every sounding note, "prev" returns to the start, "close"
// releases the file and resets the synthesizer.
//
// Completion events are raised on the owner's thread: the owner watches
// NotifyFd() in its event loop (a socket notifier in the window, poll() on
// the command line) and calls Pump() when it is readable.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "playback/command_sequencer.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_player_voices.h"
#include "midi/midi_length.h"

typedef struct _fluid_player_t fluid_player_t;
typedef struct _fluid_hashtable_t fluid_settings_t;

namespace vambrio::platform {

class FluidSequencer final : public CommandSequencer {
 public:
  explicit FluidSequencer(FluidEngine& engine);
  ~FluidSequencer() override;
  FluidSequencer(const FluidSequencer&) = delete;
  FluidSequencer& operator=(const FluidSequencer&) = delete;

  int64_t Length() const override;

  int NotifyFd() const { return eventFd_; }
  void Pump();
  // Called, after the playing file has been stopped, when the live client
  // takes the output.
  void SetTakenAwayHandler(std::function<void()> handler) { takenAway_ = std::move(handler); }
  // The voice map the files opened from now on play through, asked for at
  // each "open" with the SoundFont the synthesizer plays (null: as written).
  using VoiceMapFor = std::function<std::shared_ptr<const voices::VoiceMap>(const std::string& soundFont)>;
  void SetVoices(VoiceMapFor mapFor) { mapFor_ = std::move(mapFor); }
  // What the map of the open file left out so far.
  voices::MapperCounts VoiceCounts() const { return voices_.Counts(); }

 private:
  struct Completion {
    NotifyCode code;
    uint64_t play;    // the play it completes (0: another command)
    bool outputLost;  // the audio output failed
  };

  bool Open() override;
  bool Play(bool notify) override;
  bool Stop() override;
  bool Prev() override;
  bool Close() override;
  void PostCompletion(NotifyCode code) override { Post({code, 0, false}); }
  fluid_player_t* NewPlayer();
  void Post(Completion c);
  void AbortNotifyingPlay();
  static int OnTick(void* data, int tick);

  FluidEngine& engine_;

  // The player runs on a synthesizer of its own that only keeps its time:
  // FluidSynth's player must not run on one of more than sixteen channels,
  // which the engine's has (the player then writes past its channel table
  // when it stops or seeks).
  fluid_settings_t* clockSettings_ = nullptr;
  fluid_synth_t* clock_ = nullptr;
  fluid_player_t* player_ = nullptr;
  VoiceMapFor mapFor_;
  PlayerVoices voices_;  // in front of the synthesizer while player_ plays
  std::vector<uint8_t> bytes_;  // the open file
  MidiTiming timing_;
  uint64_t plays_ = 0;        // plays started, numbering them from 1
  uint64_t closedUpTo_ = 0;   // completions of plays up to this one are stale
  std::atomic<uint64_t> notifyingPlay_{0};  // the play that raises Done at its end
  std::atomic<uint32_t> endTick_{0};

  std::function<void()> takenAway_;
  int eventFd_ = -1;
  std::mutex pendingMutex_;
  std::vector<Completion> pending_;
};

}  // namespace vambrio::platform
