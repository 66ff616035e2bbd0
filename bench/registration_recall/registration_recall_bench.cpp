// bench_registration_recall [RECALLS] [FRAMES]: from a registration recalled
// to the right hand's new voice sounding. The demo style plays (Main A) as
// the audio callback plays it: a thread that wakes every period of FRAMES
// frames (default 256) at 48 kHz on the monotonic clock and renders the block
// through the player's keyboard, the voice map and FluidSynth. The window's
// thread recalls RECALLS times (default 200), at a random moment of the
// period, a registration whose Right 1 voice differs from the one before
// (the recall planned, the voice handed to the keyboard as the window does)
// and plays a key at once. The time runs until the block that applies the
// new program and the key has been rendered, ready for the device. Goal: one
// period + 5 ms at most.
#include <fluidsynth.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "fakes/fake_midi.h"
#include "keyboard/player_keyboard.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "percentile.h"
#include "platform/fluidsynth/fluid_apply.h"
#include "platform/files/soundfont.h"
#include "platform/files/voice_choices.h"
#include "realtime/block_renderer.h"
#include "realtime/voice_mapping_client.h"
#include "registration/registration_recall.h"
#include "model/error_reporter.h"

namespace {

using vambrio::bench::Percentile;

using namespace vambrio;
using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;

// FluidSynth as the audio callback's synthesizer; notes when the right
// hand's program `awaited` has been applied together with a key.
class FluidTarget final : public realtime::SynthTarget {
 public:
  FluidTarget(fluid_synth_t* synth, int frames) : synth_(synth), left_(static_cast<size_t>(frames)), right_(left_) {}
  void Apply(const realtime::RealtimeEvent& e) override {
    const uint8_t* b = e.data();
    platform::ApplyToSynth(synth_, b, e.size, e.channelGroup);
    const int wanted = awaited.load(std::memory_order_acquire);
    if (e.Channel() == 0 && (b[0] & 0xF0) == 0xC0 && b[1] == wanted) programSeen_ = true;
    if (e.Channel() == 0 && (b[0] & 0xF0) == 0x90 && b[2] > 0 && programSeen_) keySeen_ = true;
  }
  void Render(uint32_t offset, uint32_t frames) override {
    fluid_synth_write_float(synth_, static_cast<int>(frames), left_.data(), static_cast<int>(offset), 1, right_.data(),
                            static_cast<int>(offset), 1);
  }
  // After a block: true once the new voice and its key were rendered.
  bool Sounded() {
    if (!keySeen_) return false;
    programSeen_ = keySeen_ = false;
    return true;
  }
  std::atomic<int> awaited{-1};

 private:
  fluid_synth_t* synth_;
  std::vector<float> left_, right_;
  bool programSeen_ = false, keySeen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const int recalls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const int frames = argc > 2 ? std::clamp(std::atoi(argv[2]), 32, 4096) : 256;
  const platform::SoundFontChoice font = platform::FindSoundFont("");
  if (font.path.empty()) {
    std::printf("not measured: no SoundFont\n");
    return 1;
  }
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter errors;
  if (Entry(m, VAMBRIO_SOURCE_DIR "/examples/Demo.sty", false, errors).outcome != EntryResult::Outcome::Loaded) return 1;
  live::SessionChoices choices;
  choices.sampleRate = kRate;
  live::LiveSession session(m, choices);

  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", kRate);
  fluid_settings_setint(settings, "synth.midi-channels", 32);
  fluid_settings_setstr(settings, "synth.midi-bank-select", "xg");
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (fluid_synth_sfload(synth, font.path.c_str(), 1) < 0) return 1;

  test::FakeMidiIn keys;
  keyboard::PlayerKeyboard keyboard({&keys});
  realtime::VoiceMappingClient mapped;
  mapped.Use(&keyboard.ClientFor(session.Client()),
             platform::MapForSynth(voices::GatherVoiceUse(m), font.path, platform::VoiceChoices{}));
  FluidTarget target(synth, frames);
  session.Client().Post(live::Command(live::LiveCommand::Kind::Start));

  // The audio thread: a block every period, on time.
  std::atomic<bool> running{true};
  std::atomic<int64_t> soundedNs{0};
  const auto period = std::chrono::nanoseconds(static_cast<int64_t>(1e9 * frames / kRate));
  std::thread audio([&] {
    realtime::RealtimeEventSink sink;
    auto next = Clock::now();
    for (int64_t block = 0; running; ++block) {
      std::this_thread::sleep_until(next);
      next += period;
      realtime::RenderBlock(&mapped, realtime::BlockInfo{block * frames, frames, kRate, 0}, sink, target);
      if (target.Sounded()) soundedNs = Clock::now().time_since_epoch().count();
    }
  });

  std::mt19937 random(7);
  std::vector<double> ms;
  registration::Registration now;
  for (int i = 0; i < recalls; ++i) {
    std::this_thread::sleep_for(period * 3 + std::chrono::microseconds(random() % (period.count() / 1000)));
    registration::Registration recalled = now;
    recalled.voices[0] = {true, 0, 0, 1 + i % 2 * 39, 100, 0};  // bright piano, violin in turns
    soundedNs = 0;
    target.awaited = recalled.voices[0].program;
    const auto start = Clock::now();
    for (const registration::RecallChange& c : registration::PlanRecall(now, recalled, {}, true))
      if (c.what == registration::RecallChange::What::Voice && c.index == 0)
        keyboard.SetSound(keyboard::Part::Right1, {0, 0, recalled.voices[0].program, recalled.voices[0].volume});
    keys.Receive({0x90, 72, 90});
    while (soundedNs == 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
    ms.push_back((soundedNs - start.time_since_epoch().count()) / 1e6);
    keys.Receive({0x80, 72, 0});
    now = recalled;
  }
  running = false;
  audio.join();
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);

  const double periodMs = 1000.0 * frames / kRate, goal = periodMs + 5;
  const auto within = std::count_if(ms.begin(), ms.end(), [&](double v) { return v <= goal; });
  double load[3] = {0, 0, 0};
  getloadavg(load, 3);
  std::printf("registration recall -> new right-hand voice sounding (%d recalls, %d frames = %.2f ms period)\n", recalls,
              frames, periodMs);
  std::printf("  median %.2f ms   p99 %.2f ms   max %.2f ms   goal <= %.2f ms: %ld of %d within\n", Percentile(ms, 0.5),
              Percentile(ms, 0.99), *std::max_element(ms.begin(), ms.end()), goal, static_cast<long>(within), recalls);
  std::printf("  load average (1, 5, 15 min)  %.2f %.2f %.2f\n", load[0], load[1], load[2]);
  return 0;
}
