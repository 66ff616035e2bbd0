// The audio callback of the FluidSynth engine and what shares the output
// with it: parking the rendering, the two users of the output, the live
// client's events applied at their frame.
#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/fluidsynth/fluid_apply.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "realtime/block_renderer.h"

namespace vambrio::platform {
namespace {

enum RenderState : int { kFree = 0, kRendering = 1, kParked = 2 };

constexpr int kPlayerStep = 64;  // FluidSynth's own rendering step

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The synthesizer as the block renderer drives it, writing into the
// callback's buffers from a frame offset on. FluidSynth itself renders in
// steps of 64 frames (1.3 ms at 48 kHz): an event applied inside such a step
// sounds from the start of the next one.
class FluidTarget final : public realtime::SynthTarget {
 public:
  FluidTarget(fluid_synth_t* synth, int nfx, float* fx[], int nout, float* out[])
      : synth_(synth), nfx_(nfx), nout_(nout), fx_(fx), out_(out) {}

  void Render(uint32_t offset, uint32_t frames) override { RenderSynth(synth_, offset, frames, nfx_, fx_, nout_, out_); }

  void Apply(const realtime::RealtimeEvent& e) override { ApplyToSynth(synth_, e.data(), e.size, e.channelGroup); }

 private:
  fluid_synth_t* synth_;
  int nfx_, nout_;
  float** fx_;
  float** out_;
};

}  // namespace

bool FluidEngine::EnterRendering() {
  int expected = kFree;
  return renderState_.compare_exchange_strong(expected, kRendering, std::memory_order_acq_rel);
}

void FluidEngine::LeaveRendering() { renderState_.store(kFree, std::memory_order_release); }

// The other side waits, never the audio thread: rendering one block takes
// a fraction of a period, and a parked callback outputs silence at once.
void FluidEngine::WithRenderingParked(const std::function<void()>& f) {
  int expected = kFree;
  while (!renderState_.compare_exchange_weak(expected, kParked, std::memory_order_acq_rel)) {
    expected = kFree;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  f();
  renderState_.store(kFree, std::memory_order_release);
}

int FluidEngine::Render(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
  auto* link = static_cast<RenderLink*>(data);
  link->inside.fetch_add(1);
  FluidEngine* self = link->engine.load();
  int status = FLUID_OK;
  if (self) {
    status = self->RenderBlock(len, nfx, fx, nout, out);
  } else {  // an output being closed: silence
    for (int i = 0; i < nout; ++i) std::memset(out[i], 0, sizeof(float) * static_cast<size_t>(len));
  }
  link->inside.fetch_sub(1);
  return status;
}

int FluidEngine::RenderBlock(int len, int nfx, float* fx[], int nout, float* out[]) {
  FluidEngine* self = this;
  const int64_t now = NowNs();
  self->lastRenderNs_.store(now, std::memory_order_relaxed);
  for (int i = 0; i < nout; ++i) std::memset(out[i], 0, sizeof(float) * static_cast<size_t>(len));
  for (int i = 0; i < nfx; ++i)
    if (fx[i]) std::memset(fx[i], 0, sizeof(float) * static_cast<size_t>(len));
  const int64_t sampleTime = self->sampleTime_.load(std::memory_order_relaxed);
  self->sampleTime_.store(sampleTime + len, std::memory_order_relaxed);
  if (self->underruns_) self->underruns_->OnBlock(now, sampleTime, self->playing_.load(std::memory_order_relaxed));
  if (!self->EnterRendering()) return FLUID_OK;  // parked: this block is silent
  fluid_synth_t* clock = self->playerClock_.load(std::memory_order_acquire);
  if (self->synth_ && clock) {
    FluidTarget target(self->synth_, nfx, fx, nout, out);
    float left[kPlayerStep], right[kPlayerStep];
    float* clockOut[2] = {left, right};
    for (int done = 0; done < len; done += kPlayerStep) {
      const int frames = std::min(kPlayerStep, len - done);
      fluid_synth_process(clock, frames, 0, nullptr, 2, clockOut);  // the player's events reach synth_ here
      target.Render(static_cast<uint32_t>(done), static_cast<uint32_t>(frames));
    }
  } else if (self->synth_) {
    FluidTarget target(self->synth_, nfx, fx, nout, out);
    realtime::BlockInfo block{sampleTime, len, realtime::kOutputSampleRate, now};
    realtime::RenderBlock(self->liveClient_.load(std::memory_order_acquire), block, self->events_, target);
  }
  self->LeaveRendering();
  return FLUID_OK;
}

void FluidEngine::SetPlayerClock(fluid_synth_t* clock) {
  WithRenderingParked([&] { playerClock_.store(clock, std::memory_order_release); });
}

void FluidEngine::TakeOutput(OutputUser user, std::function<void()> onTakenAway) {
  std::function<void()> previous;
  {
    std::lock_guard<std::mutex> lock(userMutex_);
    if (user_ != user) previous = std::move(onTakenAway_);
    user_ = user;
    onTakenAway_ = std::move(onTakenAway);
  }
  if (previous) previous();
  if (user != OutputUser::Live) DetachLiveClient();
}

void FluidEngine::ReleaseOutput(OutputUser user) {
  std::lock_guard<std::mutex> lock(userMutex_);
  if (user_ != user) return;
  user_ = OutputUser::None;
  onTakenAway_ = nullptr;
}

bool FluidEngine::AttachLiveClient(realtime::RealtimeClient& client, std::function<void()> onTakenAway,
                                   std::function<void()> onOutputLost) {
  realtime::RealtimeClient* playing = liveClient_.load();
  if (playing && playing != &client) {
    // Another live client (the library's preview, the Arranger) is let go and told.
    std::function<void()> previous;
    {
      std::lock_guard<std::mutex> lock(userMutex_);
      previous = std::move(onTakenAway_);
      onTakenAway_ = nullptr;
    }
    DetachLiveClient();
    if (previous) previous();
  }
  TakeOutput(OutputUser::Live, std::move(onTakenAway));
  if (!Prepare()) {
    ReleaseOutput(OutputUser::Live);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(userMutex_);
    onLiveOutputLost_ = std::move(onOutputLost);
  }
  WithRenderingParked([&] { liveClient_.store(&client, std::memory_order_release); });
  SetPlaying(true);
  return true;
}

void FluidEngine::DetachLiveClient() {
  if (!liveClient_.load()) return;
  SetPlaying(false);
  WithRenderingParked([&] {
    liveClient_.store(nullptr, std::memory_order_release);
    SilenceEveryChannel();
  });
  ReleaseOutput(OutputUser::Live);
  std::lock_guard<std::mutex> lock(userMutex_);
  onLiveOutputLost_ = nullptr;
}

// Every note off, the pedals up; what is sounding dies away with its release.
void FluidEngine::SilenceEveryChannel() {
  if (!synth_) return;
  ReleasePedals(synth_);
  fluid_synth_all_notes_off(synth_, -1);
}

// From the watchdog: the live client, when one plays, is detached and told;
// otherwise the sequencer is.
void FluidEngine::OutputFailed() {
  std::function<void()> lost;
  {
    std::lock_guard<std::mutex> lock(userMutex_);
    lost = onLiveOutputLost_;
  }
  if (liveClient_.load()) {
    DetachLiveClient();
    if (lost) lost();
    return;
  }
  if (onFailure_) onFailure_();
}

}  // namespace vambrio::platform
