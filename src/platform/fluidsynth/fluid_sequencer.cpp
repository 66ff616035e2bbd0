#include "platform/fluidsynth/fluid_sequencer.h"

#include <fluidsynth.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/fluidsynth/fluid_apply.h"
#include "realtime/audio_latency.h"

namespace vambrio::platform {

FluidSequencer::FluidSequencer(FluidEngine& engine) : engine_(engine) {
  eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  clockSettings_ = new_fluid_settings();
  fluid_settings_setnum(clockSettings_, "synth.sample-rate", realtime::kOutputSampleRate);
  fluid_settings_setint(clockSettings_, "synth.reverb.active", 0);
  fluid_settings_setint(clockSettings_, "synth.chorus.active", 0);
  fluid_settings_setint(clockSettings_, "synth.lock-memory", 0);
  clock_ = new_fluid_synth(clockSettings_);
  engine_.SetFailureHandler([this] {
    uint64_t play = notifyingPlay_.exchange(0);
    Post({NotifyCode::Failed, play, true});
  });
}

FluidSequencer::~FluidSequencer() {
  Close();
  engine_.ReleaseOutput(OutputUser::Sequencer);
  engine_.SetFailureHandler(nullptr);
  if (clock_) delete_fluid_synth(clock_);
  if (clockSettings_) delete_fluid_settings(clockSettings_);
  if (eventFd_ >= 0) close(eventFd_);
}

bool FluidSequencer::Open() {
  Close();
  std::optional<midi::MidiFileToPlay> file = midi::ReadMidiFileToPlay(fileName_, lastError_);
  if (!file) return false;
  // Opening a file to play takes the output from the live client.
  engine_.TakeOutput(OutputUser::Sequencer, [this] {
    Stop();
    if (takenAway_) takenAway_();
  });
  if (!engine_.Prepare()) {
    lastError_ = engine_.Problem();
    return false;
  }
  bytes_ = std::move(file->bytes);
  player_ = NewPlayer();
  if (!player_) {
    bytes_.clear();
    lastError_ = "The file " + fileName_ + " could not be opened.";
    return false;
  }
  voices_.Use(player_, engine_.Synth(), mapFor_ ? mapFor_(engine_.SoundFontPath()) : nullptr);
  timing_ = file->timing;
  lastError_.clear();
  return true;
}

fluid_player_t* FluidSequencer::NewPlayer() {
  fluid_player_t* player = clock_ ? new_fluid_player(clock_) : nullptr;
  if (!player) return nullptr;
  if (fluid_player_add_mem(player, bytes_.data(), bytes_.size()) != FLUID_OK) {
    delete_fluid_player(player);
    return nullptr;
  }
  fluid_player_set_tick_callback(player, &FluidSequencer::OnTick, this);
  return player;
}

// Back to the start: a fresh player of the same file. (A player seeking back
// would pass over the notes that stand at the very start.)
bool FluidSequencer::Prev() {
  if (!player_) return false;
  fluid_player_t* fresh = NewPlayer();
  if (!fresh) return false;
  AbortNotifyingPlay();
  engine_.SetPlaying(false);
  fluid_player_t* old = player_;
  engine_.WithRenderingParked([&] {
    fluid_player_stop(old);
    delete_fluid_player(old);
    voices_.SilenceHelpers();
    fluid_synth_system_reset(engine_.Synth());  // as the player does at a file's start
    voices_.Use(fresh, engine_.Synth(), voices_.Map());
  });
  player_ = fresh;
  return true;
}

bool FluidSequencer::Play(bool notify) {
  if (!player_) {
    if (lastError_.empty()) lastError_ = "No file is open.";
    return false;
  }
  ++plays_;
  if (notify) {
    endTick_ = timing_.EndTick;
    notifyingPlay_ = plays_;
  }
  engine_.SetPlaying(true);
  engine_.SetPlayerClock(clock_);
  return fluid_player_play(player_) == FLUID_OK;
}

// Halts the player and silences every sounding note at once, with the audio
// thread kept out so that no note of the player slips in after the silence.
bool FluidSequencer::Stop() {
  if (!player_) return false;
  AbortNotifyingPlay();
  engine_.SetPlaying(false);
  fluid_synth_t* synth = engine_.Synth();
  engine_.WithRenderingParked([&] {
    fluid_player_stop(player_);
    voices_.SilenceHelpers();
    ReleasePedals(synth);
    fluid_synth_all_sounds_off(synth, -1);
  });
  engine_.SetPlayerClock(nullptr);
  return true;
}

bool FluidSequencer::Close() {
  if (!player_) return true;
  AbortNotifyingPlay();
  closedUpTo_ = plays_;
  engine_.SetPlaying(false);
  fluid_synth_t* synth = engine_.Synth();
  engine_.WithRenderingParked([&] {
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    voices_.SilenceHelpers();
    fluid_synth_system_reset(synth);
    voices_.Use(nullptr, synth, nullptr);
  });
  engine_.SetPlayerClock(nullptr);
  player_ = nullptr;
  bytes_.clear();
  timing_ = {};
  return true;
}

int64_t FluidSequencer::Length() const { return player_ ? timing_.LengthMs : 0; }

void FluidSequencer::Post(Completion c) {
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    pending_.push_back(c);
  }
  uint64_t one = 1;
  ssize_t w = write(eventFd_, &one, sizeof one);
  (void)w;
}

void FluidSequencer::AbortNotifyingPlay() {
  if (uint64_t play = notifyingPlay_.exchange(0)) Post({NotifyCode::Aborted, play, false});
}

void FluidSequencer::Pump() {
  uint64_t count = 0;
  while (read(eventFd_, &count, sizeof count) == static_cast<ssize_t>(sizeof count)) {
  }
  std::vector<Completion> ready;
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    ready.swap(pending_);
  }
  for (const Completion& c : ready) {
    // The end of a file that has been closed since tells nothing any more.
    if (c.code == NotifyCode::Successful && c.play != 0 && c.play <= closedUpTo_) continue;
    if (c.outputLost) lastError_ = kAudioOutputLostText;
    RaiseDone(c.code);
  }
}

// From the audio thread, at every tick of the player.
int FluidSequencer::OnTick(void* data, int tick) {
  auto* self = static_cast<FluidSequencer*>(data);
  uint64_t play = self->notifyingPlay_.load();
  if (play != 0 && tick >= 0 && static_cast<uint32_t>(tick) >= self->endTick_.load() &&
      self->notifyingPlay_.compare_exchange_strong(play, 0)) {
    self->Post({NotifyCode::Successful, play, false});
  }
  return FLUID_OK;
}

}  // namespace vambrio::platform
