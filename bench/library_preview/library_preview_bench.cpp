// bench_library_preview: a style selected in the library until the first
// note of its preview is heard at a private PulseAudio server's null sink,
// through the same path as the window (the preview reads the style afresh
// and starts the live arranger on the synthesizer). The styles are copies
// of the demo style, whose Main A has a note on its first tick, selected in
// turn as the arrow keys would, once the engine has loaded as the program
// loads it at start-up; the first selection is printed apart. Goal: at most
// 100 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "bench_server.h"
#include "monitor_recorder.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "shell/arranger/fluid_arranger_service.h"
#include "shell/library/arranger_preview.h"

namespace vb = vambrio::bench;
using namespace std::chrono_literals;

int main() {
  vb::PrivateServer server;
  if (!server.ok()) {
    std::fprintf(stderr, "bench_library_preview: the private PulseAudio server did not start\n");
    return 1;
  }
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "vambrio-preview-bench";
  std::filesystem::create_directories(dir);
  std::vector<std::string> styles;
  for (int i = 0; i < 4; ++i) {
    std::filesystem::path p = dir / ("Demo " + std::to_string(i) + ".sty");
    std::filesystem::copy_file(std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty", p,
                               std::filesystem::copy_options::overwrite_existing);
    styles.push_back(p.string());
  }
  vb::MonitorRecorder rec;
  std::string problem;
  if (!rec.Start(problem)) {
    std::fprintf(stderr, "bench_library_preview: %s\n", problem.c_str());
    return 1;
  }
  // The recording settles first: in its first seconds the monitor's own
  // timing wanders by a few hundred milliseconds, which once passed for a
  // late first preview.
  std::this_thread::sleep_for(3s);
  vambrio::platform::FluidEngine engine{vambrio::platform::SoundOptions{}};
  // The program loads the synthesizer, its SoundFont and the output at start-up, in the background.
  const auto loadStart = std::chrono::steady_clock::now();
  if (!engine.WaitLoaded()) {
    std::fprintf(stderr, "bench_library_preview: %s\n", engine.Problem().c_str());
    return 1;
  }
  std::printf("start-up load of the synthesizer, the SoundFont and the output: %.0f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loadStart).count());
  vambrio::FluidArrangerService service([&engine]() -> vambrio::platform::FluidEngine& { return engine; },
                                        [] { return vambrio::PlayChoices{}; });
  const vambrio::live::ChosenChord chord;  // C, as the Arranger starts
  vambrio::shell::ArrangerPreview preview(service, chord);
  std::this_thread::sleep_for(1s);
  std::vector<double> ms;
  double first = -1;  // the first selection after start-up, apart
  for (int i = 0; i < 8; ++i) {
    double selected = vb::SteadySeconds(std::chrono::steady_clock::now());
    preview.Play(styles[static_cast<size_t>(i) % styles.size()]);
    std::this_thread::sleep_for(600ms);
    preview.Stop();
    std::this_thread::sleep_for(2500ms);  // the release has died away and the monitor has caught up
    auto [heard, received] = rec.FirstLoudAfter(selected - 0.05);
    (void)received;
    if (!(heard > 0 && heard < selected + 3.0)) continue;
    if (i == 0)
      first = (heard - selected) * 1000.0;
    else
      ms.push_back((heard - selected) * 1000.0);
  }
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) {
    std::printf("selection -> first note of the preview: nothing heard (%s)\n", service.Problem().c_str());
    return 1;
  }
  std::printf("selection -> first note of the preview at the sink (goal <= 100 ms)\n");
  if (first < 0)
    std::printf("    the first after start-up: not heard\n");
  else
    std::printf("    the first after start-up: %.1f ms\n", first);
  std::printf("    the next (%zu of 7 heard): median %.1f ms, max %.1f ms\n", ms.size(), ms[ms.size() / 2], ms.back());
  std::filesystem::remove_all(dir);
  return 0;
}
