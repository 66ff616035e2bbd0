// bench_midi [SECONDS]: (1) plays a dense stream (sixteenth notes on four
// channels at 120 bpm, with controllers: about 40 messages a second) for
// SECONDS (default 120) through Vambrio's timed output to a recording client,
// and prints how far each message's arrival lies from its scheduled time:
// the constant offset (the MIDI system's own delay), the jitter around it
// (p50, p99, max) and the drift (the offset in the last tenth of the run
// against the first tenth). (2) Sends 400 keys from a keyboard at "Vambrio
// In" and measures each until its note-on reaches the synthesizer through the
// keyboard's client on the sending thread (the right hand played through: the
// path a chord takes to the live arranger, without the arranger).
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "keyboard/keyboard_client.h"
#include "midi/midi_file_events.h"
#include "bench_jack.h"
#include "midi_peer.h"
#include "percentile.h"
#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/midi_ports/midi_file_source.h"
#include "platform/midi_ports/realtime_port_source.h"
#include "platform/midi_ports/midi_sender.h"
#include "platform/rtmidi/rtmidi_system.h"
#include "style_builder.h"

namespace {

using vambrio::bench::Percentile;

using namespace vambrio;

midi::MidiFileEvents Stream(int seconds) {
  test::TrackBuilder t;
  t.TempoBpm(120);
  const int sixteenths = seconds * 8;  // 8 sixteenths a second at 120 bpm
  for (int i = 0; i < sixteenths; ++i) {
    t.Delta(i == 0 ? 0 : 40).NoteOn(9, 36 + i % 8, 100).NoteOn(1, 48 + i % 12, 80);
    if (i % 4 == 0) t.ControlChange(2, 11, i % 128).NoteOn(3, 60 + i % 5, 70);
    t.Delta(20).NoteOff(9, 36 + i % 8).NoteOff(1, 48 + i % 12);
    if (i % 4 == 0) t.NoteOff(3, 60 + i % 5);
  }
  t.EndOfTrack();
  return *midi::ReadMidiFileEvents(test::StyleBytes(t, {}, 160));
}

bool Measure(const char* api, const char* setup, int seconds) {
  setenv("VAMBRIO_MIDI_API", api, 1);
  auto system = platform::OpenMidiSystem();
  if (system->ApiName().empty()) {
    std::printf("%s: not measured (%s)\n", api, system->Problem().c_str());
    return false;
  }
  test::MidiPeer peer;
  peer.OpenSynth();
  auto name = platform::FindPort(system->OutputPorts(), test::MidiPeer::kSynth);
  if (!name) return false;
  platform::KeptMidiOutput out(*system, *name);
  auto stream = Stream(seconds);

  platform::SystemMonoClock clock;
  platform::MidiSender sender(out, clock);
  sender.Start();
  platform::MidiFileSource source(stream);
  const int64_t start = clock.NowNs() + 50'000'000;
  source.Start(start);
  sender.SetSource(&source);
  peer.WaitFor([&](const auto& got) { return got.size() >= stream.events.size(); },
               std::chrono::seconds(seconds + 10));
  sender.SetSource(nullptr);

  // Each message received is matched with the next scheduled one of the same
  // bytes within 100 ms of its arrival, so that a message the MIDI system
  // lost shifts nothing (and one that matches nothing is not counted).
  auto got = peer.Received();
  std::vector<double> lateMs;
  size_t next = 0;
  for (const auto& m : got) {
    for (size_t i = next; i < stream.events.size(); ++i) {
      const auto& e = stream.events[i];
      const int64_t due = start + e.timeUs * 1000;
      if (due > m.timeNs + 100'000'000) break;
      if (due < m.timeNs - 100'000'000) continue;
      if (std::vector<uint8_t>(stream.Bytes(e), stream.Bytes(e) + e.size) != m.bytes) continue;
      lateMs.push_back((m.timeNs - due) / 1e6);
      next = i + 1;
      break;
    }
  }
  size_t n = lateMs.size();
  double offset = Percentile(lateMs, 0.5);
  std::vector<double> jitter(n);
  for (size_t i = 0; i < n; ++i) jitter[i] = std::fabs(lateMs[i] - offset);
  size_t tenth = std::max<size_t>(1, n / 10);
  std::vector<double> first(lateMs.begin(), lateMs.begin() + tenth), last(lateMs.end() - tenth, lateMs.end());
  std::printf("%s (%s): %zu of %zu messages arrived over %d s\n", system->ApiName().c_str(), setup, n,
              stream.events.size(), seconds);
  std::printf("  offset (median lateness)   %.3f ms\n", offset);
  std::printf("  jitter p50 / p99 / max     %.3f / %.3f / %.3f ms (goal p99 <= 1 ms)\n", Percentile(jitter, 0.5),
              Percentile(jitter, 0.99), Percentile(jitter, 1.0));
  std::printf("  drift (last tenth - first) %.3f ms\n", Percentile(last, 0.5) - Percentile(first, 0.5));
  return true;
}

class NoTarget final : public keyboard::KeyboardTarget {
  void ChordChanged(const std::optional<Chord>&) override {}
  void PlayThrough(uint8_t, uint8_t, uint8_t) override {}
  void ControlPressed(keyboard::Control, int) override {}
  void SplitChosen(int) override {}
  void Learned(keyboard::Control, keyboard::LearnedKey) override {}
};

void MeasureKeyToNote() {
  auto system = platform::OpenMidiSystem();
  test::MidiPeer synth;
  synth.OpenSynth();
  auto in = system->OpenVirtualInput(platform::kVirtualInName);
  auto name = platform::FindPort(system->OutputPorts(), test::MidiPeer::kSynth);
  if (!in || !name) return;
  platform::KeptMidiOutput out(*system, *name);
  keyboard::KeyboardRouter router;
  router.SetSplitOn(false);
  NoTarget none;
  keyboard::KeyboardClient client(router, none);
  client.AddInput(in.get());
  platform::SystemMonoClock clock;
  platform::MidiSender sender(out, clock);
  sender.Start();
  platform::RealtimePortSource source(client);
  source.Start(clock.NowNs());
  sender.SetSource(&source);
  test::MidiPeer keys;
  if (!keys.ConnectKeysTo(platform::kVirtualInName)) return;
  usleep(100000);

  constexpr int kKeys = 400;
  std::vector<int64_t> sentAt;
  for (int i = 0; i < kKeys; ++i) {
    uint8_t note = static_cast<uint8_t>(40 + i % 48);
    sentAt.push_back(test::PeerNowNs());
    keys.Send({0x90, note, 100});
    usleep(5000);
    keys.Send({0x80, note, 0});
    usleep(15000);
  }
  synth.WaitFor([](const auto& got) { return got.size() >= 2 * kKeys; }, std::chrono::seconds(5));
  sender.SetSource(nullptr);
  // Each note-on is matched with the last key of its note sent before it
  // arrived (a note comes again only every 48 keys), so a lost key shifts nothing.
  std::vector<double> latencyMs;
  for (const auto& m : synth.Received()) {
    if (m.bytes.size() != 3 || m.bytes[0] != 0x90) continue;
    for (int i = kKeys - 1; i >= 0; --i) {
      if (40 + i % 48 == m.bytes[1] && sentAt[static_cast<size_t>(i)] <= m.timeNs) {
        latencyMs.push_back((m.timeNs - sentAt[static_cast<size_t>(i)]) / 1e6);
        break;
      }
    }
  }
  std::printf("keyboard at Vambrio In -> note at the synth (%s): %zu of %d keys\n", system->ApiName().c_str(),
              latencyMs.size(), kKeys);
  std::printf("  latency p50 / p99 / max    %.3f / %.3f / %.3f ms (goal for chord -> note p99 <= 2 ms)\n",
              Percentile(latencyMs, 0.5), Percentile(latencyMs, 0.99), Percentile(latencyMs, 1.0));
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 120;
  {
    bench::JackServer jack;
    if (!jack.Start()) {
      std::printf("JACK: the private server did not start\n");
    } else {
      Measure("jack", "dummy backend, 32 frames at 48 kHz", seconds);
      std::printf("  late cycles reported by the JACK server: %d; clients it gave up on: %d\n", jack.Xruns(),
                  jack.Zombified());
      MeasureKeyToNote();
    }
  }
  if (access("/dev/snd/seq", R_OK | W_OK) == 0) {
    Measure("alsa", "sequencer", seconds);
  } else {
    std::printf("ALSA: not measured (no /dev/snd/seq on this machine)\n");
  }
  return 0;
}
