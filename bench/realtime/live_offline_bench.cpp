// bench_live_offline [CHART [low|normal|safe]]: the demo chart played live into a private
// PulseAudio server's null sink (its monitor recorded) against the same chart
// exported offline to WAV. Each bar of the live recording is matched to the
// offline bar by cross-correlating where their loudness rises (1 ms steps);
// prints each bar's timing error against the median offset and against the
// bar before, and the drift from the first bar to the last; then the same for
// FluidSynth's own player on the exported MIDI file with the same buffer,
// which shows what the audio path and the matching add by themselves.
// VAMBRIO_BENCH_BARS=1 prints every bar's offset; VAMBRIO_BENCH_KEEP=DIR keeps
// both recordings there.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bench_server.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/files/soundfont.h"

namespace vb = vambrio::bench;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;
constexpr int kStep = 44;  // envelope step: 44 frames, just under 1 ms

// 16-bit stereo samples of a raw recording, or of a WAV file's data chunk.
std::vector<int16_t> ReadSamples(const std::string& path, bool wav) {
  std::ifstream f(path, std::ios::binary);
  std::string b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  size_t skipBytes = 0;
  if (wav) {
    const size_t data = b.find("data");
    skipBytes = data == std::string::npos ? b.size() : data + 8;
  }
  std::vector<int16_t> s(b.size() > skipBytes ? (b.size() - skipBytes) / 2 : 0);
  if (!s.empty()) std::copy_n(b.data() + skipBytes, s.size() * 2, reinterpret_cast<char*>(s.data()));
  return s;
}

// Mean absolute level of each 1 ms of interleaved stereo.
std::vector<double> Envelope(const std::vector<int16_t>& s) {
  std::vector<double> env(s.size() / 2 / kStep);
  for (size_t i = 0; i < env.size(); ++i) {
    double sum = 0;
    for (size_t k = 0; k < kStep * 2; ++k) sum += std::abs(s[i * kStep * 2 + k]);
    env[i] = sum / (kStep * 2);
  }
  return env;
}

// Where the level rises: the attacks of the notes, which mark time far more
// sharply than the level itself (a sustained chord correlates with itself at
// any small lag).
std::vector<double> Onsets(const std::vector<double>& env) {
  std::vector<double> rise(env.size(), 0.0);
  for (size_t i = 1; i < env.size(); ++i) rise[i] = std::max(0.0, env[i] - env[i - 1]);
  return rise;
}

// The lag (in steps) within ±range around `guess` where `live` best matches
// `ref[from, from+len)`: the correlation normalised by the live window's
// energy, so that a louder stretch does not pull the match towards it.
int BestLag(const std::vector<double>& ref, size_t from, size_t len, const std::vector<double>& live, long guess,
            int range) {
  double best = -1;
  int bestLag = 0;
  for (int lag = -range; lag <= range; ++lag) {
    const long at = guess + lag;
    if (at < 0 || static_cast<size_t>(at) + len > live.size()) continue;
    double dot = 0, energy = 0;
    for (size_t i = 0; i < len; ++i) {
      const double l = live[static_cast<size_t>(at) + i];
      dot += ref[from + i] * l;
      energy += l * l;
    }
    const double score = energy > 0 ? dot / std::sqrt(energy) : 0;
    if (score > best) {
      best = score;
      bestLag = lag;
    }
  }
  return bestLag;
}

// Matches each bar of the recording `raw` to the offline WAV's and prints the figures.
void Report(const std::string& title, const std::string& offline, const std::string& raw, size_t bars,
            double barSeconds) {
  const std::vector<double> refLevel = Envelope(ReadSamples(offline, true)), liveLevel = Envelope(ReadSamples(raw, false));
  const std::vector<double> ref = Onsets(refLevel), live = Onsets(liveLevel);
  // The first sound of each: the live song's start in the recording.
  auto firstLoud = [](const std::vector<double>& e) {
    for (size_t i = 0; i < e.size(); ++i)
      if (e[i] > 200) return static_cast<long>(i);
    return -1L;
  };
  const long refStart = firstLoud(refLevel), liveStart = firstLoud(liveLevel);
  if (refStart < 0 || liveStart < 0) {
    std::printf("%s: no sound recorded\n", title.c_str());
    return;
  }
  const double barSteps = barSeconds * kRate / kStep;  // a bar in envelope steps
  std::vector<double> offsets;  // of each bar of the song, in ms
  long trackedLag = 0;          // in steps
  const double msPerStep = 1000.0 * kStep / kRate;
  const size_t barLength = static_cast<size_t>(barSteps);
  for (size_t bar = 0; bar < bars; ++bar) {
    const auto into = static_cast<long>(std::lround(bar * barSteps));
    if (static_cast<size_t>(refStart + into) + barLength > ref.size()) break;
    // Each bar is looked for near where the bar before it was found, so that
    // the search follows the recording when the audio path has stretched it.
    trackedLag += BestLag(ref, static_cast<size_t>(refStart + into), barLength, live, liveStart + into + trackedLag, 60);
    offsets.push_back(trackedLag * msPerStep);
  }
  if (offsets.empty()) return;
  if (std::getenv("VAMBRIO_BENCH_BARS"))
    for (size_t bar = 0; bar < offsets.size(); ++bar) std::printf("  bar %2zu: %+.1f ms\n", bar + 1, offsets[bar]);
  // The output's latency is unknown but constant: the median offset stands
  // for it, and each bar's error is its distance from it.
  std::vector<double> sortedOffsets = offsets;
  std::sort(sortedOffsets.begin(), sortedOffsets.end());
  const double latencyMs = sortedOffsets[sortedOffsets.size() / 2];
  std::vector<double> barErrors, steps;
  for (size_t bar = 0; bar < offsets.size(); ++bar) {
    barErrors.push_back(std::abs(offsets[bar] - latencyMs));
    if (bar > 0) steps.push_back(std::abs(offsets[bar] - offsets[bar - 1]));
  }
  std::sort(barErrors.begin(), barErrors.end());
  std::sort(steps.begin(), steps.end());
  auto pct = [](const std::vector<double>& v, double p) {
    return v.empty() ? 0.0 : v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
  };
  const auto steady = std::count_if(steps.begin(), steps.end(), [](double ms) { return ms <= 3.0; });
  std::printf("%s against offline, %zu bars of %.2f s (1 ms envelope resolution):\n", title.c_str(), offsets.size(),
              barSeconds);
  std::printf("  bar timing error against the median offset: p50 %.1f ms, p99 %.1f ms, max %.1f ms\n",
              pct(barErrors, 0.5), pct(barErrors, 0.99), barErrors.back());
  std::printf("  each bar against the bar before: p50 %.1f ms, p99 %.1f ms; %ld of %zu within 3 ms\n", pct(steps, 0.5),
              pct(steps, 0.99), static_cast<long>(steady), steps.size());
  std::printf("  drift from the first bar to the last: %+.1f ms\n", offsets.back() - offsets.front());
}

// Records the null sink's monitor from a second on.
pid_t StartRecording(const std::string& raw) {
  const pid_t parec = fork();
  if (parec == 0) {
    execlp("parec", "parec", "-d", "vambrio_test.monitor", "--format=s16le", "--rate=44100", "--channels=2", "--raw",
           raw.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(1s);
  return parec;
}

void StopRecording(pid_t parec) {
  std::this_thread::sleep_for(3s);
  kill(parec, SIGINT);
  waitpid(parec, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = VAMBRIO_SOURCE_DIR;
  const std::string chartPath = argc > 1 ? argv[1] : root + "/examples/Demo.chart";
  vb::PrivateServer server;
  if (!server.ok()) return 1;
  const std::string dir = server.runtimeDir();
  const std::string offline = dir + "/offline.wav", raw = dir + "/live.raw";
  if (vb::RunMeasured({VAMBRIO_CLI, "arrange", root + "/examples/Demo.sty", chartPath, "-o", offline}).status != 0) {
    std::fprintf(stderr, "bench_live_offline: the offline export failed\n");
    return 1;
  }
  std::ifstream chartFile(chartPath);
  const std::string chart((std::istreambuf_iterator<char>(chartFile)), std::istreambuf_iterator<char>());
  vambrio::StyleModel model = vambrio::MakeStartupModel();
  vambrio::SilentErrorSink errors;
  vambrio::Entry(model, root + "/examples/Demo.sty", false, errors);
  auto made = vambrio::live::LiveSession::ForChart(model, vambrio::live::SessionChoices{}, chart);
  if (!std::holds_alternative<std::unique_ptr<vambrio::live::LiveSession>>(made)) return 1;
  auto& session = *std::get<std::unique_ptr<vambrio::live::LiveSession>>(made);
  const auto& patterns = session.Patterns();
  const double barSeconds = static_cast<double>(patterns.barLength) / patterns.division * session.Song()->tempo / 1e6;

  const auto latency = vambrio::realtime::ParseLatency(argc > 2 ? argv[2] : "normal");
  if (!latency) return 2;
  vambrio::platform::FluidEngine engine{vambrio::platform::SoundOptions{"", "", true, *latency}};
  if (!engine.AttachLiveClient(session.Client(), nullptr, nullptr)) return 1;
  const pid_t parec = StartRecording(raw);
  session.Client().Post(vambrio::live::Command(vambrio::live::LiveCommand::Kind::Start));
  while (!session.Client().State().playing) std::this_thread::sleep_for(1ms);
  while (session.Client().State().playing) std::this_thread::sleep_for(50ms);
  StopRecording(parec);
  const uint64_t underruns = engine.Underruns();
  engine.DetachLiveClient();

  if (const char* keep = std::getenv("VAMBRIO_BENCH_KEEP")) {  // both recordings, to look at
    std::filesystem::copy_file(offline, std::string(keep) + "/offline.wav", std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(raw, std::string(keep) + "/live.raw", std::filesystem::copy_options::overwrite_existing);
  }
  Report("Live (latency " + std::string(vambrio::realtime::LatencyName(*latency)) + ")", offline, raw,
         session.Song()->bars, barSeconds);
  std::printf("  buffer underruns during the live run: %llu (the output ran dry: what follows is heard that much later)\n",
              static_cast<unsigned long long>(underruns));

  // The same song from FluidSynth's own player with the same buffer: what
  // the audio path and this measurement add by themselves.
  const std::string midi = dir + "/offline.mid", reference = dir + "/reference.raw";
  const std::string font = vambrio::platform::FindSoundFont("").path;
  if (vb::RunMeasured({VAMBRIO_CLI, "arrange", root + "/examples/Demo.sty", chartPath, "-o", midi}).status != 0) return 1;
  const auto frames = vambrio::realtime::FramesOf(*latency);
  const pid_t referenceRecording = StartRecording(reference);
  vb::RunMeasured({"fluidsynth", "-ni", "-a", "pulseaudio", "-r", "48000", "-o",
                   "audio.period-size=" + std::to_string(frames.periodSize), "-o",
                   "audio.periods=" + std::to_string(frames.periods), font, midi});
  StopRecording(referenceRecording);
  Report("FluidSynth's own player, same buffer,", offline, reference, session.Song()->bars, barSeconds);
  return 0;
}
