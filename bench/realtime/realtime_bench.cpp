// bench_realtime: for each audio latency choice, (a) a command sent from
// another thread until the audio callback applies it (goal: within one audio
// period), (b) a note sent until its first sample is played at the private
// server's null sink, (c) the buffer underruns counted meanwhile.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "bench_server.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "monitor_recorder.h"
#include "percentile.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "realtime/live_midi_client.h"

namespace vb = vambrio::bench;
namespace rt = vambrio::realtime;
using namespace std::chrono_literals;

namespace {

using vambrio::bench::Percentile;

constexpr int kCommandTrials = 300;
constexpr int kSoundTrials = 8;

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Milliseconds from Send until the callback that applied it began (0 when
// that callback had begun just before the send and still took it).
std::vector<double> CommandToApplied(rt::LiveMidiClient& live, double periodMs) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pause(0, static_cast<int>(periodMs * 1000));
  std::vector<double> ms;
  for (int i = 0; i < kCommandTrials; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    uint64_t before = live.Applied();
    int64_t sent = NowNs();
    live.Send(0xB0, 1, static_cast<uint8_t>(i & 0x7F));  // modulation: no sound of its own
    while (live.Applied() == before) std::this_thread::sleep_for(50us);
    ms.push_back(std::max<int64_t>(0, live.LastAppliedCallbackNs() - sent) / 1e6);
  }
  return ms;
}

std::vector<double> NoteToSound(rt::LiveMidiClient& live, vb::MonitorRecorder& rec) {
  std::vector<double> ms;
  live.Send(0xC0, 0);
  for (int i = 0; i < kSoundTrials; ++i) {
    double sent = vb::SteadySeconds(std::chrono::steady_clock::now());
    live.Send(0x90, 72, 127);
    std::this_thread::sleep_for(400ms);
    live.Send(0x80, 72, 0);
    std::this_thread::sleep_for(2500ms);  // the release has died away and the monitor has caught up
    auto [heard, received] = rec.FirstLoudAfter(sent - 0.05);
    (void)received;
    if (heard > 0 && heard < sent + 1.0) ms.push_back((heard - sent) * 1000.0);
  }
  return ms;
}

// The arranger's Start until its first note is heard, on the demo style
// (Main A, whose first note stands on its first tick).
std::vector<double> StartToSound(vambrio::platform::FluidEngine& engine, vb::MonitorRecorder& rec) {
  namespace live = vambrio::live;
  vambrio::StyleModel model = vambrio::MakeStartupModel();
  vambrio::SilentErrorSink errors;
  std::vector<double> ms;
  if (vambrio::Entry(model, std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty", false, errors).outcome !=
      vambrio::EntryResult::Outcome::Loaded)
    return ms;
  live::LiveSession session(model, live::SessionChoices{});
  if (!engine.AttachLiveClient(session.Client(), nullptr, nullptr)) return ms;
  session.Client().Post(live::Command(live::LiveCommand::Kind::Main, 0));
  for (int i = 0; i < kSoundTrials; ++i) {
    std::this_thread::sleep_for(500ms);
    double sent = vb::SteadySeconds(std::chrono::steady_clock::now());
    session.Client().Post(live::Command(live::LiveCommand::Kind::Start));
    std::this_thread::sleep_for(300ms);
    session.Client().Post(live::Command(live::LiveCommand::Kind::Stop));
    std::this_thread::sleep_for(2500ms);
    auto [heard, received] = rec.FirstLoudAfter(sent - 0.05);
    (void)received;
    if (heard > 0 && heard < sent + 1.0) ms.push_back((heard - sent) * 1000.0);
  }
  engine.DetachLiveClient();
  return ms;
}

}  // namespace

int main() {
  vb::PrivateServer server;
  if (!server.ok()) {
    std::fprintf(stderr, "bench_realtime: the private PulseAudio server did not start\n");
    return 1;
  }
  std::printf("Live output through FluidSynth's pulseaudio driver at %d Hz, private null sink\n",
              rt::kOutputSampleRate);
  std::printf("%-7s %-26s | command -> applied (ms)      | note -> heard (ms)  | Start -> heard (ms) | underruns\n",
              "latency", "buffer");
  std::printf("%-7s %-26s | median    p99    max  period | median    max   n   | median    max   n   |\n", "", "");
  for (rt::AudioLatency latency : {rt::AudioLatency::Low, rt::AudioLatency::Normal, rt::AudioLatency::Safe}) {
    vambrio::platform::FluidEngine engine{vambrio::platform::SoundOptions{"", "", true, latency}};
    rt::LiveMidiClient live;
    if (!engine.AttachLiveClient(live, nullptr, nullptr)) {
      std::fprintf(stderr, "bench_realtime: %s\n", engine.Problem().c_str());
      return 1;
    }
    std::this_thread::sleep_for(1s);  // the stream has settled
    const double periodMs = 1000.0 * rt::FramesOf(latency).periodSize / rt::kOutputSampleRate;
    std::vector<double> applied = CommandToApplied(live, periodMs);
    vb::MonitorRecorder rec;
    std::string problem;
    std::vector<double> heard, started;
    if (rec.Start(problem)) {
      std::this_thread::sleep_for(1s);
      heard = NoteToSound(live, rec);
      engine.DetachLiveClient();
      started = StartToSound(engine, rec);
    }
    std::printf("%-7s %-26s | %6.2f %6.2f %6.2f %6.2f | %6.1f %6.1f %3zu   | %6.1f %6.1f %3zu   | %llu\n",
                rt::LatencyName(latency), rt::DescribeLatency(latency).c_str(), Percentile(applied, 0.5),
                Percentile(applied, 0.99), Percentile(applied, 1.0), periodMs, Percentile(heard, 0.5),
                Percentile(heard, 1.0), heard.size(), Percentile(started, 0.5), Percentile(started, 1.0),
                started.size(), static_cast<unsigned long long>(engine.Underruns()));
    if (!problem.empty()) std::printf("        (%s)\n", problem.c_str());
    std::fflush(stdout);
    engine.DetachLiveClient();
  }
  return 0;
}
