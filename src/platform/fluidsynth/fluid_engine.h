// The sound source: one FluidSynth synthesizer with its SoundFont and the
// audio output that plays it. Loaded once per run, in the background, and
// shared by its two users, which never sound at once: the sequencer
// (fluid_sequencer.h), which plays files with FluidSynth's own player, and a
// live client (realtime/realtime_client.h), which the audio callback asks for
// the events of every block and applies at their frame.
//
// The audio callback never takes a lock of ours, allocates or waits. Other
// threads that must change what the callback works on (swap the synthesizer,
// delete a player, attach a client) park the rendering first: the callback
// then outputs silence for as long as they need (a few microseconds) instead
// of waiting for them. FluidSynth's own functions take FluidSynth's API mutex
// internally; while a live client plays, no other thread calls into the
// synthesizer, so that mutex is never contended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "realtime/live_output.h"
#include "realtime/audio_latency.h"
#include "realtime/realtime_client.h"
#include "realtime/underrun_detector.h"
#include "platform/fluidsynth/fluid_log.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace vambrio::platform {

struct SoundOptions {
  std::string soundFont;     // an explicit choice; empty: looked up (soundfont.h)
  std::string audioDriver;   // a FluidSynth driver name; empty: "pulseaudio", then "alsa"
  bool xgBankSelect = true;  // XG player (chkGM clear): bank select MSB 127 chooses drum kits
  realtime::AudioLatency latency = realtime::AudioLatency::Normal;
};

// The synthesizer's MIDI channels: the style's sixteen, and sixteen more on
// which the voice map plays the articulations that need a voice of their own.
inline constexpr int kSynthChannels = 32;

// Who plays through the engine; taking the output from the other stops it.
enum class OutputUser { None, Sequencer, Live };

inline constexpr const char* kNoAudioOutputText =
    "No audio output could be opened: neither PulseAudio nor ALSA answered. Make sure a sound server is running "
    "(Debian packages pulseaudio, or pipewire-pulse with PipeWire) or that a sound card is present.";
inline constexpr const char* kAudioOutputUnansweredText =
    "The audio output does not answer: the sound server seems to be stopped. Play again once it answers, or choose "
    "another audio driver.";
inline constexpr const char* kAudioOutputLostText =
    "The audio output stopped during playback (the sound server went away); playback has ended.";

class FluidEngine final : public LiveOutput {
 public:
  explicit FluidEngine(SoundOptions options);
  ~FluidEngine() override;
  FluidEngine(const FluidEngine&) = delete;
  FluidEngine& operator=(const FluidEngine&) = delete;

  // Starts loading the synthesizer, its SoundFont and the audio output on a
  // thread of its own; returns at once. Later calls do nothing.
  void StartLoading();
  // Waits for the load (starting it if needed); false when it failed.
  bool WaitLoaded();
  // Why the engine cannot play, in words for the user (empty when it can).
  std::string Problem() const override;

  // The choices; a change takes effect at the next Prepare (an empty
  // SoundFont or driver means the usual ones).
  void SetXgBankSelect(bool xg);
  void SetSoundFont(const std::string& explicitChoice);
  void SetAudioDriver(const std::string& name);
  void SetLatency(realtime::AudioLatency latency);
  SoundOptions Options() const;

  // Makes the engine ready for a file: loaded, the synthesizer interpreting
  // bank selects for the player type, the audio output running (opened again
  // after it failed). False when it cannot play (see Problem).
  bool Prepare();

  fluid_synth_t* Synth() const { return synth_; }
  // FluidSynth's file player keeps its time on a synthesizer of its own
  // (sixteen channels, no SoundFont) and plays into Synth() through its
  // playback callback: while `clock` is set, the callback renders it before
  // each step of 64 frames of Synth(), as the player would run inside Synth()
  // itself. Null: no player plays.
  void SetPlayerClock(fluid_synth_t* clock);
  // Runs `f` while the audio callback stays out of the synthesizer (it
  // outputs silence meanwhile). Not to be nested.
  void WithRenderingParked(const std::function<void()>& f);

  // Makes `user` the one that plays: the other one's `onTakenAway` (given
  // when it took the output) runs first, on this thread, and stops it.
  void TakeOutput(OutputUser user, std::function<void()> onTakenAway);
  // `user` no longer plays (nothing is called).
  void ReleaseOutput(OutputUser user);

  // The live client: Prepare first. From the next block on, the callback
  // asks `client` for its events. `onOutputLost` is called once, from a
  // thread of the engine, when the output fails while the client is attached
  // (the client is then detached and every note is off).
  // A client attached in place of another one takes the output from it.
  bool AttachLiveClient(realtime::RealtimeClient& client, std::function<void()> onTakenAway,
                        std::function<void()> onOutputLost) override;
  // Detaches the client (if it is attached) and turns every note off.
  void DetachLiveClient() override;
  bool LiveClientAttached() const override { return liveClient_.load() != nullptr; }
  void Release() override { TakeOutput(OutputUser::None, nullptr); }

  // While playing, an output that stops asking for sound counts as failed:
  // `onFailure` is then called once, from a thread of the engine.
  void SetPlaying(bool playing);
  void SetFailureHandler(std::function<void()> onFailure);

  // The output as it runs: its sample rate and buffer, the frames handed to
  // it since it was opened (the audio clock), and the underruns counted
  // since the engine was made.
  int SampleRate() const override { return realtime::kOutputSampleRate; }
  realtime::LatencyFrames Buffer() const { return realtime::FramesOf(Options().latency); }
  int64_t AudioClock() const { return sampleTime_.load(std::memory_order_relaxed); }
  // The output stopped asking for sound while it played (see SetPlaying) and
  // has not been opened again since.
  bool OutputHasFailed() const { return outputFailed_.load(); }
  uint64_t Underruns() const override;
  // How late the latest callback came against the audio clock (see
  // realtime/underrun_detector.h), in nanoseconds.
  int64_t CallbackLatenessNs() const { return underruns_ ? underruns_->LatenessNs() : 0; }

  const std::string& SoundFontPath() const { return soundFontPath_; }
  // What the user should know about the SoundFont chosen (an explicit choice
  // that could not be used); valid once loaded.
  const std::string& Notice() const { return notice_; }

 private:
  void Load();
  bool LoadSoundFont();
  bool EnsureBankSelect();
  void SetProblem(const std::string& text);
  fluid_synth_t* NewSynth(bool xg, const std::string& font, fluid_settings_t*& settings, std::string& problem);
  void SwapSynth(fluid_synth_t* synth, fluid_settings_t* settings);
  bool OpenOutput();
  void CloseOutput();
  void Watch();
  void OutputFailed();
  void SilenceEveryChannel();
  bool EnterRendering();
  void LeaveRendering();
  static int Render(void* data, int len, int nfx, float* fx[], int nout, float* out[]);
  int RenderBlock(int len, int nfx, float* fx[], int nout, float* out[]);

  // How an output's callback reaches the engine. An output is cut off from
  // the engine before it is closed, and closed on a thread of its own: one
  // whose sound server stopped answering never blocks the thread that closes
  // it, nor reaches an engine that has gone.
  struct RenderLink {
    std::atomic<FluidEngine*> engine{nullptr};
    std::atomic<int> inside{0};  // callbacks between reading `engine` and leaving
    fluid_settings_t* settings = nullptr;  // the output's own, freed with it
  };
  RenderLink* link_ = nullptr;
  // Opens the driver `name` on a thread of its own, waiting for it a short
  // while: a sound server that does not answer (stopped) is left to that
  // thread, and `unanswered` set.
  fluid_audio_driver_t* OpenDriver(const std::string& name, bool& unanswered);
  static void FreeOutput(fluid_audio_driver_t* driver, RenderLink* link);
  void CutOff(RenderLink* link);

  mutable std::mutex optionsMutex_;  // the choices and whether they changed since the load
  SoundOptions options_;
  bool fontChanged_ = false;
  bool driverChanged_ = false;
  bool latencyChanged_ = false;
  std::string soundFontPath_;
  std::string notice_;
  std::thread loader_;
  bool loadStarted_ = false;
  bool loaded_ = false;

  mutable std::mutex problemMutex_;
  std::string problem_;

  fluid_settings_t* synthSettings_ = nullptr;
  fluid_settings_t* audioSettings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  bool synthXg_ = true;
  std::atomic<bool> wantXg_{true};
  fluid_audio_driver_t* driver_ = nullptr;
  std::atomic<int64_t> unansweredAtNs_{0};  // when an output last did not answer its opening (0: it did)

  // The audio callback's state. renderState_: free, rendering (the callback
  // is inside the synthesizer) or parked (another thread is).
  std::atomic<int> renderState_{0};
  std::atomic<realtime::RealtimeClient*> liveClient_{nullptr};
  std::atomic<fluid_synth_t*> playerClock_{nullptr};
  std::atomic<int64_t> sampleTime_{0};
  std::unique_ptr<realtime::UnderrunDetector> underruns_;  // replaced only while the output is closed
  uint64_t underrunsBefore_ = 0;                          // counted by earlier outputs
  realtime::RealtimeEventSink events_;

  std::mutex userMutex_;  // who plays, and what stops them
  OutputUser user_ = OutputUser::None;
  std::function<void()> onTakenAway_;
  std::function<void()> onLiveOutputLost_;

  std::atomic<int64_t> lastRenderNs_{0};
  std::atomic<int64_t> playingSinceNs_{0};
  std::atomic<int64_t> playingSinceFrames_{0};  // the audio clock when playing began
  std::atomic<bool> playing_{false};
  std::atomic<bool> outputFailed_{false};
  std::function<void()> onFailure_;
  std::mutex watchMutex_;
  std::condition_variable watchWake_;
  bool watchQuit_ = false;
  std::thread watcher_;
};

}  // namespace vambrio::platform
