// bench_next_song: Next in a set list, from the request to the next song's
// first note (goal: at most one bar). Ten songs imported from an iReal Pro
// playlist play with the demo style on a simulated audio output (blocks of
// 256 frames at 48 kHz, each made on time by an audio thread); while one
// plays, Next is asked for at a moment that falls anywhere in a block: the
// next song's chart is made ready for the style (as the Songs window does),
// its session built, started and put on the output in place of the one
// playing. The time from the request to the moment its first note on
// sounds (the start of the block that holds it plus its offset; a real
// output adds its own buffer, 2 x 256 frames at "Normal"), and that time
// in bars of the song, are printed: best, median, worst.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "lead_sheets.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "percentile.h"
#include "songs/set_list_play.h"

namespace {

using vambrio::bench::Median;

using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;
constexpr int kFrames = 256;

// The audio output: a thread that makes a block of the client on the output every 256 frames.
class SimulatedOutput {
 public:
  SimulatedOutput() : thread_([this] { Run(); }) {}
  ~SimulatedOutput() {
    stop_ = true;
    thread_.join();
  }
  // The client from the next block on (the output's attach); `watch`: the sample of its first note on is kept.
  void Attach(vambrio::realtime::RealtimeClient* client) {
    firstNote_ = -1;
    client_.store(client, std::memory_order_release);
  }
  int64_t Sample() const { return sample_.load(std::memory_order_acquire); }
  // The sample where the attached client's first note on sounds; -1 before it.
  int64_t FirstNote() const { return firstNote_.load(std::memory_order_acquire); }
  // When it sounds, on the steady clock (valid once FirstNote() is not -1).
  Clock::time_point FirstNoteAt() const { return firstNoteAt_; }

 private:
  void Run() {
    auto sink = std::make_unique<vambrio::realtime::RealtimeEventSink>();
    auto next = Clock::now();
    const auto period = std::chrono::nanoseconds(1'000'000'000LL * kFrames / kRate);
    while (!stop_) {
      const int64_t at = sample_.load(std::memory_order_relaxed);
      sink->Reset(kFrames);
      if (auto* client = client_.load(std::memory_order_acquire)) {
        const auto made = Clock::now();
        client->Process(vambrio::realtime::BlockInfo{at, kFrames, kRate, 0}, *sink);
        for (const auto& e : *sink)
          if (firstNote_.load(std::memory_order_relaxed) < 0 && (e.status() & 0xF0) == 0x90 && e.size == 3 &&
              e.data()[2] > 0) {
            // It sounds when the block's frames reach it: the block's start plus its offset.
            firstNoteAt_ = made + std::chrono::nanoseconds(1'000'000'000LL * e.offset / kRate);
            firstNote_.store(at + e.offset, std::memory_order_release);
          }
      }
      sample_.store(at + kFrames, std::memory_order_release);
      next += period;
      std::this_thread::sleep_until(next);
    }
  }
  std::atomic<vambrio::realtime::RealtimeClient*> client_{nullptr};
  std::atomic<int64_t> sample_{0};
  std::atomic<int64_t> firstNote_{-1};
  Clock::time_point firstNoteAt_{};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

std::vector<vambrio::songs::SetListSong> SetList() {
  const char* chords[] = {"C^7", "A-7", "D-7", "G7", "E-7", "A7b9", "Dh7", "G7alt", "F^7", "Bb7#11"};
  std::vector<vambrio::test::IrealSong> list;
  for (int s = 0; s < 10; ++s) {
    std::string music = "*A[T44";
    for (int bar = 0; bar < 16; ++bar) music += std::string(chords[(s + bar) % 10]) + (bar == 15 ? " Z" : " |");
    list.push_back({"Song " + std::to_string(s + 1), "Doe John", "Medium Swing", "C", music, 100 + 8 * s, 1});
  }
  const vambrio::songs::Imported imported = vambrio::songs::ImportBytes(vambrio::test::IrealLink(list), "the link");
  std::vector<vambrio::songs::SetListSong> songs;
  for (const auto& song : imported.songs) songs.push_back(vambrio::songs::SongFromImport(song, "", {}));
  return songs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string stylePath = argc > 1 ? argv[1] : std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  vambrio::StyleModel model = vambrio::MakeStartupModel();
  vambrio::SilentErrorSink errors;
  if (vambrio::Entry(model, stylePath, false, errors).outcome != vambrio::EntryResult::Outcome::Loaded) {
    std::printf("%s could not be loaded\n", stylePath.c_str());
    return 1;
  }
  vambrio::live::SessionChoices choices;
  choices.sampleRate = kRate;
  vambrio::songs::StyleShape shape;
  {
    const vambrio::live::LiveSession probe(model, choices);
    for (const auto& s : probe.Patterns().sections) {
      shape.sections.push_back(s.name);
      shape.sectionBars.push_back(s.length / probe.Patterns().barLength);
    }
    shape.beats = probe.Patterns().beatsPerBar;
  }
  const std::vector<vambrio::songs::SetListSong> songs = SetList();
  SimulatedOutput output;
  std::unique_ptr<vambrio::live::LiveSession> playing;
  std::mt19937 random(7);
  std::vector<double> ms, bars;
  for (size_t next = 0; next < songs.size(); ++next) {
    // The song before plays a while; the request falls anywhere in a block.
    std::this_thread::sleep_for(std::chrono::milliseconds(400 + random() % 400) + std::chrono::microseconds(random() % 5333));
    const auto requested = Clock::now();
    const vambrio::songs::PreparedSong prepared = vambrio::songs::PrepareSong(songs[next], shape);
    auto made = vambrio::live::LiveSession::ForChart(model, choices, prepared.chartText);
    if (!prepared.error.empty() || !std::holds_alternative<std::unique_ptr<vambrio::live::LiveSession>>(made)) {
      std::printf("song %zu cannot be played\n", next + 1);
      return 1;
    }
    auto session = std::move(std::get<std::unique_ptr<vambrio::live::LiveSession>>(made));
    session->Client().Post(vambrio::live::Command(vambrio::live::LiveCommand::Kind::Start));
    output.Attach(&session->Client());
    while (output.FirstNote() < 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double seconds = std::chrono::duration<double>(output.FirstNoteAt() - requested).count();
    const double qpm = 60'000'000.0 / session->Song()->tempo;
    ms.push_back(seconds * 1000);
    bars.push_back(seconds / (60.0 / qpm * shape.beats));
    playing = std::move(session);  // the one before is let go once off the output
  }
  std::printf("Next song in a set list -> its first note, %zu requests (blocks of %d frames at %d Hz; goal: at most one bar)\n",
              ms.size(), kFrames, kRate);
  std::printf("  time:    best %.1f ms, median %.1f ms, worst %.1f ms\n", *std::min_element(ms.begin(), ms.end()),
              Median(ms), *std::max_element(ms.begin(), ms.end()));
  std::printf("  in bars: best %.3f, median %.3f, worst %.3f of a bar\n", *std::min_element(bars.begin(), bars.end()),
              Median(bars), *std::max_element(bars.begin(), bars.end()));
  return 0;
}
