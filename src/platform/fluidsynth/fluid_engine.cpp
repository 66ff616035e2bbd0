#include "platform/fluidsynth/fluid_engine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "platform/alsa_mixer/alsa_mixer.h"
#include "platform/fluidsynth/fluid_log.h"
#include "platform/files/soundfont.h"

namespace vambrio::platform {
namespace {

using namespace std::chrono_literals;

// An output silent this long while playing has failed; the watchdog looks
// every kWatchEvery, so that a stall is told within 2 s of the last block.
// Until the output has played kFlowingFrames since playing began, a busy
// server may take longer (kOpenWaitNs): a new stream may stop after its first
// block until the server has made room for it.
constexpr int64_t kOutputStallNs = 1'800'000'000;
constexpr int64_t kFlowingFrames = realtime::kOutputSampleRate / 4;
constexpr auto kWatchEvery = 100ms;
constexpr int64_t kCloseWaitNs = 1'000'000'000;     // how long a closing output that still answers is waited for
constexpr int64_t kAnsweringNs = 250'000'000;       // an output that asked for a block this recently still answers
constexpr int64_t kOpenWaitNs = 4'000'000'000;      // how long an output being opened is waited for (a busy server is slow)

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void CollectOption(void* data, const char*, const char* option) {
  static_cast<std::vector<std::string>*>(data)->push_back(option);
}

// The message for an explicitly named driver that did not open.
std::string NamedDriverProblem(fluid_settings_t* settings, const std::string& name) {
  std::vector<std::string> known;
  fluid_settings_foreach_option(settings, "audio.driver", &known, CollectOption);
  bool isKnown = false;
  std::string list;
  for (const auto& k : known) {
    if (k == "file") continue;  // writes a file, plays nothing
    isKnown = isKnown || k == name;
    list += (list.empty() ? "" : ", ") + k;
  }
  if (!isKnown) return "There is no audio driver \"" + name + "\". The drivers are: " + list + ".";
  std::string why = LastFluidError();
  return "The audio driver \"" + name + "\" could not be opened" + (why.empty() ? "." : " (" + why + ").");
}

}  // namespace

FluidEngine::FluidEngine(SoundOptions options) : options_(std::move(options)) {
  CollectFluidLog();
  QuietAlsaDiagnostics();
  wantXg_ = options_.xgBankSelect;
}

FluidEngine::~FluidEngine() {
  if (loader_.joinable()) loader_.join();
  {
    std::lock_guard<std::mutex> lock(watchMutex_);
    watchQuit_ = true;
  }
  watchWake_.notify_all();
  if (watcher_.joinable()) watcher_.join();
  CloseOutput();
  if (synth_) delete_fluid_synth(synth_);
  if (synthSettings_) delete_fluid_settings(synthSettings_);
  if (audioSettings_) delete_fluid_settings(audioSettings_);
}

void FluidEngine::StartLoading() {
  {
    std::lock_guard<std::mutex> lock(optionsMutex_);
    if (loadStarted_) return;
    loadStarted_ = true;
  }
  loader_ = std::thread([this] { Load(); });
}

bool FluidEngine::WaitLoaded() {
  StartLoading();
  if (loader_.joinable()) loader_.join();
  return loaded_;
}

std::string FluidEngine::Problem() const {
  std::lock_guard<std::mutex> lock(problemMutex_);
  return problem_;
}

void FluidEngine::SetXgBankSelect(bool xg) {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  options_.xgBankSelect = xg;
  wantXg_ = xg;
}

void FluidEngine::SetSoundFont(const std::string& explicitChoice) {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  if (explicitChoice == options_.soundFont) return;
  options_.soundFont = explicitChoice;
  fontChanged_ = loadStarted_;
}

void FluidEngine::SetAudioDriver(const std::string& name) {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  if (name == options_.audioDriver) return;
  options_.audioDriver = name;
  driverChanged_ = loadStarted_;
}

void FluidEngine::SetLatency(realtime::AudioLatency latency) {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  if (latency == options_.latency) return;
  options_.latency = latency;
  latencyChanged_ = loadStarted_;
}

SoundOptions FluidEngine::Options() const {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  return options_;
}

void FluidEngine::SetProblem(const std::string& text) {
  std::lock_guard<std::mutex> lock(problemMutex_);
  problem_ = text;
}

void FluidEngine::Load() {
  if (!LoadSoundFont()) return;
  loaded_ = true;
  if (OpenOutput()) SetProblem("");
}

// Finds the SoundFont for the current choice and loads it into a fresh
// synthesizer that replaces the current one.
bool FluidEngine::LoadSoundFont() {
  SoundFontChoice choice = FindSoundFont(Options().soundFont);
  notice_ = choice.note;
  if (choice.path.empty()) {
    SetProblem(choice.note.empty() ? std::string(kNoSoundFontText) : choice.note + " " + kNoSoundFontText);
    return false;
  }
  if (synth_ && choice.path == soundFontPath_) return true;
  std::string problem;
  bool xg = wantXg_;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = NewSynth(xg, choice.path, settings, problem);
  if (!synth) {
    SetProblem(problem);
    return false;
  }
  soundFontPath_ = choice.path;
  synthXg_ = xg;
  SwapSynth(synth, settings);
  return true;
}

// A new synthesizer for the player type, when it changed. The SoundFont's
// samples are shared with the old synthesizer, so this is quick.
bool FluidEngine::EnsureBankSelect() {
  bool xg = wantXg_;
  if (xg == synthXg_) return true;
  std::string problem;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = NewSynth(xg, soundFontPath_, settings, problem);
  if (!synth) {
    SetProblem(problem);
    return false;
  }
  synthXg_ = xg;
  SwapSynth(synth, settings);
  return true;
}

void FluidEngine::SwapSynth(fluid_synth_t* synth, fluid_settings_t* settings) {
  fluid_synth_t* old = synth_;
  fluid_settings_t* oldSettings = synthSettings_;
  WithRenderingParked([&] {
    synth_ = synth;
    synthSettings_ = settings;
  });
  if (old) delete_fluid_synth(old);
  if (oldSettings) delete_fluid_settings(oldSettings);
}

fluid_synth_t* FluidEngine::NewSynth(bool xg, const std::string& font, fluid_settings_t*& settings,
                                     std::string& problem) {
  settings = new_fluid_settings();
  fluid_settings_setstr(settings, "synth.midi-bank-select", xg ? "xg" : "gm");
  fluid_settings_setnum(settings, "synth.sample-rate", realtime::kOutputSampleRate);
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  fluid_settings_setint(settings, "synth.midi-channels", kSynthChannels);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (synth && fluid_synth_sfload(synth, font.c_str(), 1) != FLUID_FAILED) return synth;
  problem = "The SoundFont " + font + " could not be loaded.";
  if (synth) delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  settings = nullptr;
  return nullptr;
}

// The output asks for one period per callback and keeps `periods` of them
// queued: ALSA takes both as they are; PulseAudio (and PipeWire through
// pipewire-pulse) takes their product as its target latency when
// audio.pulseaudio.adjust-latency is on, and may round it up to what the
// server can do.
bool FluidEngine::OpenOutput() {
  if (!audioSettings_) audioSettings_ = new_fluid_settings();
  const realtime::LatencyFrames frames = realtime::FramesOf(Options().latency);
  underruns_ = std::make_unique<realtime::UnderrunDetector>(realtime::kOutputSampleRate, frames.BufferFrames());
  sampleTime_ = 0;
  const std::string named = Options().audioDriver;
  std::vector<std::string> names = {"pulseaudio", "alsa"};
  if (!named.empty()) names = {named};
  bool unanswered = false;
  for (const auto& name : names) {
    lastRenderNs_ = NowNs();
    driver_ = OpenDriver(name, unanswered);
    if (driver_ || unanswered) break;
  }
  unansweredAtNs_ = unanswered ? NowNs() : 0;
  std::lock_guard<std::mutex> lock(problemMutex_);
  if (!driver_) {
    problem_ = unanswered     ? kAudioOutputUnansweredText
               : named.empty() ? kNoAudioOutputText
                               : NamedDriverProblem(audioSettings_, named);
    return false;
  }
  outputFailed_ = false;
  if (!watcher_.joinable()) watcher_ = std::thread([this] { Watch(); });
  return true;
}

fluid_audio_driver_t* FluidEngine::OpenDriver(const std::string& name, bool& unanswered) {
  auto* link = new RenderLink;
  link->engine = this;
  link->settings = new_fluid_settings();
  const realtime::LatencyFrames frames = realtime::FramesOf(Options().latency);
  fluid_settings_setnum(link->settings, "synth.sample-rate", realtime::kOutputSampleRate);
  fluid_settings_setint(link->settings, "audio.period-size", frames.periodSize);
  fluid_settings_setint(link->settings, "audio.periods", frames.periods);
  fluid_settings_setint(link->settings, "audio.pulseaudio.adjust-latency", 1);
  fluid_settings_setint(link->settings, "audio.realtime-prio", 60);
  if (fluid_settings_setstr(link->settings, "audio.driver", name.c_str()) != FLUID_OK) {
    FreeOutput(nullptr, link);
    return nullptr;
  }
  struct Opening {
    std::mutex mutex;
    std::condition_variable opened;
    bool done = false, abandoned = false;
    fluid_audio_driver_t* driver = nullptr;
  };
  auto opening = std::make_shared<Opening>();
  std::thread([opening, link] {
    fluid_audio_driver_t* driver = new_fluid_audio_driver2(link->settings, &FluidEngine::Render, link);
    std::unique_lock<std::mutex> lock(opening->mutex);
    if (opening->abandoned) {
      lock.unlock();
      FreeOutput(driver, link);
      return;
    }
    opening->driver = driver;
    opening->done = true;
    opening->opened.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(opening->mutex);
  if (!opening->opened.wait_for(lock, std::chrono::nanoseconds(kOpenWaitNs), [&] { return opening->done; })) {
    opening->abandoned = true;
    lock.unlock();
    CutOff(link);  // the driver may already call back while it is being made
    unanswered = true;
    return nullptr;
  }
  if (!opening->driver) {
    FreeOutput(nullptr, link);
    return nullptr;
  }
  link_ = link;
  return opening->driver;
}

void FluidEngine::FreeOutput(fluid_audio_driver_t* driver, RenderLink* link) {
  if (driver) delete_fluid_audio_driver(driver);
  delete_fluid_settings(link->settings);
  delete link;
}

// From here on the output's callbacks render silence and never reach the engine.
void FluidEngine::CutOff(RenderLink* link) {
  link->engine.store(nullptr);
  while (link->inside.load() != 0) std::this_thread::sleep_for(50us);
}

// Cuts the output off from the engine, then closes it on a thread of its
// own: a working output is waited for (its device may be opened again at
// once); one that stopped answering (its server frozen) is left to close
// whenever its server answers again, or with the process.
void FluidEngine::CloseOutput() {
  if (driver_) {
    CutOff(link_);
    const bool answering = !outputFailed_ && NowNs() - lastRenderNs_.load() < kAnsweringNs;
    auto closed = std::make_shared<std::promise<void>>();
    std::future<void> done = closed->get_future();
    std::thread([driver = driver_, link = link_, closed] {
      FreeOutput(driver, link);
      closed->set_value();
    }).detach();
    if (answering) done.wait_for(std::chrono::nanoseconds(kCloseWaitNs));
  }
  driver_ = nullptr;
  link_ = nullptr;
  if (underruns_) underrunsBefore_ += underruns_->Underruns();
  underruns_.reset();
}

uint64_t FluidEngine::Underruns() const {
  return underrunsBefore_ + (underruns_ ? underruns_->Underruns() : 0);
}

bool FluidEngine::Prepare() {
  WaitLoaded();
  bool fontChanged = false, driverChanged = false;
  {
    std::lock_guard<std::mutex> lock(optionsMutex_);
    std::swap(fontChanged, fontChanged_);
    std::swap(driverChanged, driverChanged_);
    driverChanged = driverChanged || latencyChanged_;
    latencyChanged_ = false;
  }
  if (!synth_ || fontChanged) {  // also: a SoundFont may have been installed since the start
    if (!LoadSoundFont()) return false;
    loaded_ = true;
  }
  if (!EnsureBankSelect()) return false;
  if (!driver_ || outputFailed_ || driverChanged) {
    // An output found not answering a moment ago (the load's try) is not waited for again at once.
    const int64_t unanswered = unansweredAtNs_.load();
    if (!driver_ && !driverChanged && unanswered != 0 && NowNs() - unanswered < kOpenWaitNs) return false;
    CloseOutput();
    if (!OpenOutput()) return false;
  }
  SetProblem("");
  return true;
}

void FluidEngine::SetPlaying(bool playing) {
  if (playing) {
    playingSinceFrames_ = AudioClock();
    playingSinceNs_ = NowNs();
  }
  playing_ = playing;
}

void FluidEngine::SetFailureHandler(std::function<void()> onFailure) {
  std::lock_guard<std::mutex> lock(watchMutex_);
  onFailure_ = std::move(onFailure);
}

// The watchdog: an output that no longer asks for sound while a file plays
// (its server went away, its device was unplugged) has failed.
void FluidEngine::Watch() {
  std::unique_lock<std::mutex> lock(watchMutex_);
  while (!watchQuit_) {
    watchWake_.wait_for(lock, kWatchEvery);
    if (watchQuit_ || !playing_ || outputFailed_) continue;
    const int64_t rendered = lastRenderNs_.load(), since = playingSinceNs_.load();
    const bool flowing = rendered >= since && AudioClock() - playingSinceFrames_.load() >= kFlowingFrames;
    if (NowNs() - (flowing ? rendered : since) < (flowing ? kOutputStallNs : kOpenWaitNs)) continue;
    outputFailed_ = true;
    OutputFailed();  // under the lock: SetFailureHandler waits for it
  }
}

}  // namespace vambrio::platform
