// bench_main_play [STYLE [low|normal|safe]]: the main window's Play on a style (the demo style
// when none is named) at 80 a minute
// (its tempo edited in the window), until the first sound at a private
// PulseAudio server's null sink: seamless (goal: 20 ms plus one audio
// period) and classic. Then Repeat on a one-bar section, recorded sample by
// sample: the time from one pass to the next against the section's length,
// as a loop without a gap has it (goal: within 1 ms when seamless), with
// where that time was added (at the loop point or elsewhere in the pass, as
// seam_track.h finds it) and the output's underruns counted during the pass.
// VAMBRIO_BENCH_KEEP=DIR keeps the seamless Repeat's recording there (seam.raw).
#include <fluidsynth.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "arranger/style_patterns.h"
#include "bench_server.h"
#include "seam_track.h"
#include "fakes/fake_desktop_shell.h"
#include "fakes/fake_file_dialogs.h"
#include "fakes/fake_input_box.h"
#include "fakes/fake_message_boxes.h"
#include "fakes/fake_mixer.h"
#include "monitor_recorder.h"
#include "platform/desktop/qt_timer.h"
#include "platform/clock/system_clock.h"
#include "shell/arranger/fluid_arranger_service.h"
#include "shell/main_window/fluid_sound.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/section_combo.h"
#include "temp_dir.h"

namespace vb = vambrio::bench;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 48000;

// Every frame of the monitor, mono, with the steady time of the first one.
class RawRecorder {
 public:
  bool Start() {
    pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    pa_buffer_attr attr{static_cast<uint32_t>(-1), static_cast<uint32_t>(-1), static_cast<uint32_t>(-1),
                        static_cast<uint32_t>(-1), 480 * 2};
    int err = 0;
    stream_ = pa_simple_new(nullptr, "bench_main_play", PA_STREAM_RECORD, "vambrio_test.monitor", "seam", &format,
                            nullptr, &attr, &err);
    if (!stream_) return false;
    thread_ = std::thread([this] {
      int16_t buf[480];
      while (!quit_) {
        int err = 0;
        if (pa_simple_read(stream_, buf, sizeof buf, &err) < 0) break;
        std::lock_guard<std::mutex> lock(mutex_);
        if (keep_) frames_.insert(frames_.end(), buf, buf + 480);
      }
    });
    return true;
  }
  ~RawRecorder() {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_) pa_simple_free(stream_);
  }
  void Keep(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    keep_ = on;
    if (on) frames_.clear();
  }
  std::vector<float> Frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return {frames_.begin(), frames_.end()};
  }

 private:
  pa_simple* stream_ = nullptr;
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::mutex mutex_;
  bool keep_ = false;
  std::vector<int16_t> frames_;
};

void Pump(std::chrono::milliseconds span, const std::function<void()>& each = {}) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < span.count()) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (each) each();
    std::this_thread::sleep_for(2ms);
  }
}

// The output's underruns in each pass of the section playing, as the live
// arranger's position (beats into the pass) counts the passes.
class UnderrunsPerPass {
 public:
  UnderrunsPerPass(const vambrio::ArrangerService& live, vambrio::FluidSound& sound, int beatsPerBar)
      : live_(live), sound_(sound), beatsPerBar_(beatsPerBar), last_(sound.Underruns()) {}
  void Poll() {
    const vambrio::live::LiveState s = live_.State();
    if (!s.playing) return;
    const int beat = static_cast<int>(s.bar) * beatsPerBar_ + static_cast<int>(s.beat);
    if (beat < lastBeat_) ++pass_;
    lastBeat_ = beat;
    const uint64_t now = sound_.Underruns();
    if (counts_.size() <= pass_) counts_.resize(pass_ + 1, 0), latest_.resize(pass_ + 1, 0);
    counts_[pass_] += now - last_;
    latest_[pass_] = std::max(latest_[pass_], sound_.Engine().CallbackLatenessNs());
    last_ = now;
  }
  uint64_t In(size_t pass) const { return pass < counts_.size() ? counts_[pass] : 0; }
  // The latest callback seen in the pass: how late against the audio clock (ms).
  double LatestMs(size_t pass) const { return pass < latest_.size() ? static_cast<double>(latest_[pass]) / 1e6 : 0; }

 private:
  const vambrio::ArrangerService& live_;
  vambrio::FluidSound& sound_;
  int beatsPerBar_;
  uint64_t last_;
  int lastBeat_ = -1;
  size_t pass_ = 0;
  std::vector<uint64_t> counts_;
  std::vector<int64_t> latest_;
};

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[96];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// ", a, b" as " (a, b)"; nothing as nothing.
std::string Listed(const std::string& items) { return items.empty() ? "" : " (" + items.substr(2) + ")"; }

size_t FirstLoud(const std::vector<float>& x, size_t from) {
  for (size_t i = from; i < x.size(); ++i)
    if (std::fabs(x[i]) > vb::MonitorRecorder::kLoud) return i;
  return x.size();
}

double Ms(double frames) { return frames * 1000.0 / kRate; }

// Each pass: from its start to the next one's against the section's length;
// what was added at the loop point and elsewhere (where: at the sink's
// silence next to the place the matching found, if there is one); the
// sink's silences (those at the loop point apart); the output's underruns.
void PrintPasses(const vb::SeamTrack& track, const std::vector<float>& x, const UnderrunsPerPass& underruns) {
  const double near = kRate * 0.03;  // within 30 ms of the loop point
  // The matching places added time within some windows; a silence of the
  // sink close by is where it happened.
  const std::vector<vb::Silence> silences = vb::SilentRuns(x, 0, x.size(), kRate / 2000);
  auto placeOf = [&](const vb::AddedTime& a) {
    double place = a.atFrame, distance = 2 * near;  // up to 60 ms away
    for (const vb::Silence& d : silences) {
      const double from = std::fabs(static_cast<double>(d.atFrame) - a.atFrame);
      if (from <= distance) place = static_cast<double>(d.atFrame), distance = from;
    }
    return place;
  };
  for (size_t k = 0; k < track.passes.size(); ++k) {
    const double start = track.passStart[k], next = track.passStart[k + 1];
    double atLoop = 0, elsewhere = 0;
    std::string where;
    for (vb::AddedTime a : track.added) {
      a.atFrame = placeOf(a);
      if (a.atFrame <= start + near || a.atFrame > next + near) continue;
      if (a.atFrame >= next - near) {
        atLoop += a.frames;
        continue;
      }
      elsewhere += a.frames;
      where += Format(", %+.2f ms at %.0f ms", Ms(a.frames), Ms(a.atFrame - start));
    }
    const double from = k == 0 ? start : start + near;  // what lies at the loop point before belongs to that pass
    const std::vector<vb::Silence> dry =
        vb::SilentRuns(x, static_cast<size_t>(from), static_cast<size_t>(next + near), kRate / 2000);
    double silent = 0;
    int silentAtLoop = 0;
    for (const vb::Silence& d : dry) {
      silent += static_cast<double>(d.frames);
      silentAtLoop += static_cast<double>(d.atFrame) >= next - near;
    }
    const std::string startToStart =
        std::isnan(track.passes[k]) ? "not matched" : Format("%+.2f ms", Ms(track.passes[k]));
    std::printf("    pass %zu -> %zu: %s; at the loop point %+.2f ms; elsewhere %+.2f ms%s; silences at the sink: %zu "
                "(%.2f ms, %d at the loop point); underruns counted by the output: %llu (callbacks up to %.1f ms "
                "late)\n",
                k + 1, k + 2, startToStart.c_str(), Ms(atLoop), Ms(elsewhere), Listed(where).c_str(), dry.size(),
                Ms(silent), silentAtLoop, static_cast<unsigned long long>(underruns.In(k)), underruns.LatestMs(k));
  }
}

}  // namespace

int main(int argc, char** argv) {
  vb::PrivateServer server;
  if (!server.ok()) {
    std::fprintf(stderr, "bench_main_play: the private PulseAudio server did not start\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  using namespace vambrio;
  test::TempDir work;
  vb::MonitorRecorder rec;
  RawRecorder raw;
  std::string problem;
  if (!rec.Start(problem) || !raw.Start()) {
    std::fprintf(stderr, "bench_main_play: the monitor cannot be recorded %s\n", problem.c_str());
    return 1;
  }
  std::this_thread::sleep_for(3s);  // the monitor's timing settles

  test::FakeMixer mixer;
  test::FakeFileDialogs dialogs;
  test::FakeMessageBoxes boxes;
  test::FakeInputBox input;
  test::FakeDesktopShell shell;
  platform::SystemClock clock;
  platform::QtTimer timer(clock);
  frmVambrio* window = nullptr;
  FluidSound sound([&window] { return window && window->Choices().GmPlayer; });
  FluidArrangerService live([&sound]() -> platform::FluidEngine& { return sound.Engine(); },
                            [&window] { return window ? window->Choices() : PlayChoices{}; });
  frmVambrio main(WindowServices{sound, mixer, dialogs, boxes, input, shell, clock, timer, sound,
                                 SettingsPaths{work.File("config"), work.File("Player.tmp")}, nullptr, nullptr, &live},
                  argc > 1 ? std::string(argv[1]) : std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty");
  window = &main;
  StartUp(main);
  input.answers.push_back("80");
  main.findChild<QAction*>("mnuTempo")->trigger();  // "&Edit Tempo"
  if (argc > 2) sound.ChooseLatency(realtime::ParseLatency(argv[2]).value_or(realtime::AudioLatency::Normal));
  sound.StartLoading();
  if (!sound.Engine().WaitLoaded()) {
    std::fprintf(stderr, "bench_main_play: %s\n", sound.Engine().Problem().c_str());
    return 1;
  }
  auto* sections = main.findChild<SectionCombo*>("cboSections");
  auto* seamless = main.findChild<QAction*>("mnuSeamless");
  auto* repeat = main.findChild<QCheckBox*>("chkRepeat");
  const arranger::StylePatterns patterns = arranger::ReadStylePatterns(main.model(), {});
  auto entryOf = [&](const char* name) {
    for (int i = 0; i < sections->count(); ++i)
      if (sections->itemText(i) == name) return i;
    std::fprintf(stderr, "bench_main_play: the style has no \"%s\"\n", name);
    std::exit(1);
  };
  std::printf("%s, %s\n", main.model().StyleFileName.c_str(), main.model().StyleName.c_str());
  auto sectionSeconds = [&](const std::string& name) {
    for (const auto& s : patterns.sections)
      if (s.name == name) return s.length * 0.75 / patterns.division;  // 80 a minute: 0.75 s a quarter
    return 0.0;
  };

  // Play -> first sound.
  for (bool smooth : {true, false}) {
    seamless->setChecked(smooth);
    repeat->setChecked(false);
    sections->setCurrentIndex(entryOf("Main A"));
    std::vector<double> ms;
    for (int i = 0; i < (smooth ? 6 : 3); ++i) {
      const double pressed = vb::SteadySeconds(std::chrono::steady_clock::now());
      main.cmdPlay_Click();
      Pump(smooth ? 800ms : 4500ms);
      main.cmdStop_Click();
      Pump(2500ms);
      auto [heard, received] = rec.FirstLoudAfter(pressed - 0.05);
      (void)received;
      if (heard > 0 && heard < pressed + 5.0) ms.push_back((heard - pressed) * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) {
      std::printf("Play -> first sound, %s: nothing heard\n", smooth ? "seamless" : "classic");
      continue;
    }
    std::printf("Play -> first sound at the sink, %s (%zu heard): median %.1f ms, max %.1f ms%s\n",
                smooth ? "seamless" : "classic", ms.size(), ms[ms.size() / 2], ms.back(),
                smooth ? "  (goal <= 20 ms + one period)" : "");
  }
  const auto period = sound.Engine().Buffer();
  std::printf("    one audio period: %.1f ms (latency \"%s\")\n", 1000.0 * period.periodSize / realtime::kOutputSampleRate,
              realtime::LatencyName(sound.Latency()));

  // The Repeat seam on "Fill In AA", seamless: each pass matched against the
  // next, where time was added and the underruns counted meanwhile. The
  // chorus is off meanwhile: its sweep moves the music by up to 8 ms from
  // one pass to the next, which no timing of ours does.
  const double pass = sectionSeconds("Fill In AA");
  const size_t passFrames = static_cast<size_t>(std::lround(pass * kRate));
  {
    seamless->setChecked(true);
    repeat->setChecked(true);
    sections->setCurrentIndex(entryOf("Fill In AA"));
    const int passes = 6;
    UnderrunsPerPass underruns(live, sound, static_cast<int>(patterns.beatsPerBar));
    raw.Keep(true);
    main.cmdPlay_Click();
    fluid_synth_chorus_on(sound.Engine().Synth(), -1, 0);
    Pump(std::chrono::milliseconds(std::lround((passes + 1.3) * pass * 1000)), [&underruns] { underruns.Poll(); });
    main.cmdStop_Click();
    Pump(500ms);
    const std::vector<float> x = raw.Frames();
    raw.Keep(false);
    if (const char* keep = std::getenv("VAMBRIO_BENCH_KEEP")) {  // 16-bit mono at 48 kHz, raw
      std::vector<int16_t> pcm(x.begin(), x.end());
      std::ofstream(std::string(keep) + "/seam.raw", std::ios::binary)
          .write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size() * 2));
    }
    const vb::SeamTrack track = vb::TrackSeams(x, FirstLoud(x, 0), passFrames, passes, kRate);
    std::printf("Repeat seam, seamless, passes of %.1f ms against a gap-free loop (goal within 1 ms); %d of %d "
                "10 ms windows matched:\n",
                pass * 1000.0, track.windows - track.unmatched, track.windows);
    PrintPasses(track, x, underruns);
  }

  // Classic: the pause between passes.
  {
    seamless->setChecked(false);
    repeat->setChecked(true);
    sections->setCurrentIndex(entryOf("Fill In AA"));
    const uint64_t underrunsBefore = sound.Underruns();
    raw.Keep(true);
    main.cmdPlay_Click();
    Pump(std::chrono::milliseconds(std::lround(3.4 * pass * 1000)));
    main.cmdStop_Click();
    Pump(500ms);
    const std::vector<float> x = raw.Frames();
    raw.Keep(false);
    const double added = vb::StartToStart(x, FirstLoud(x, 0), passFrames, 4 * kRate, kRate);
    std::printf("Repeat seam, classic: %+.2f ms between passes of %.1f ms; underruns meanwhile: %llu\n", Ms(added),
                pass * 1000.0,
                static_cast<unsigned long long>(sound.Underruns() - underrunsBefore));
  }
  return 0;
}
