// bench_keyboard_arranger [CHORDS]: the way a chord takes from the player's
// keyboard to the synthesizer. A keyboard connected to "Vambrio In" plays
// CHORDS (default 200) triads below the split point, each over a new root,
// to the live arranger of examples/Demo.sty with Sync Start armed; the
// arranger plays through a MIDI port (the sending thread on the monotonic
// clock) to a recording synthesizer. For each chord it measures the time
// from the last key sent until the first note-on of an accompaniment part
// (not the drums) arrives, and checks that the note belongs to the chord.
// The machine's load average is printed with the figures.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_jack.h"
#include "keyboard/player_keyboard.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "midi_peer.h"
#include "percentile.h"
#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/midi_ports/port_output.h"
#include "platform/rtmidi/rtmidi_system.h"

namespace {

using vambrio::bench::Percentile;

using namespace vambrio;
using Kind = live::LiveCommand::Kind;

// The first note-on of an accompaniment part (bass, chords, pads, phrases
// on channels 11 to 16; the drums play on 9 and 10).
const test::PeerMessage* FirstPartNote(const std::vector<test::PeerMessage>& got) {
  for (const auto& m : got) {
    if (m.bytes.size() != 3 || (m.bytes[0] & 0xF0) != 0x90 || m.bytes[2] == 0) continue;
    const int channel = m.bytes[0] & 0x0F;
    if (channel >= 10) return &m;
  }
  return nullptr;
}

void LoadAverage() {
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) == 3) std::printf("  load average (1, 5, 15 min)  %.2f %.2f %.2f\n", load[0], load[1], load[2]);
}

int Run(int chords) {
  auto system = platform::OpenMidiSystem();
  if (system->ApiName().empty()) {
    std::printf("not measured: %s\n", system->Problem().c_str());
    return 1;
  }
  StyleModel style = MakeStartupModel();
  SilentErrorSink errors;
  if (Entry(style, VAMBRIO_SOURCE_DIR "/examples/Demo.sty", false, errors).outcome != EntryResult::Outcome::Loaded) {
    std::printf("examples/Demo.sty does not load\n");
    return 1;
  }
  live::LiveSession session(style, live::SessionChoices{});

  test::MidiPeer synth;
  synth.OpenSynth();
  auto in = system->OpenVirtualInput(platform::kVirtualInName);
  auto synthName = platform::FindPort(system->OutputPorts(), test::MidiPeer::kSynth);
  if (!in || !synthName) {
    std::printf("the ports could not be opened: %s\n", system->Problem().c_str());
    return 1;
  }
  keyboard::PlayerKeyboard keyboard({in.get()});
  platform::SystemMonoClock clock;
  platform::PortOutput output(std::make_unique<platform::KeptMidiOutput>(*system, *synthName), clock);
  output.AttachLiveClient(keyboard.ClientFor(session.Client()), nullptr, nullptr);
  test::MidiPeer keys;
  if (!keys.ConnectKeysTo(platform::kVirtualInName)) {
    std::printf("the keyboard could not connect to %s\n", platform::kVirtualInName);
    return 1;
  }
  usleep(200000);

  std::vector<double> latencyMs;
  int wrongNotes = 0, lost = 0;
  for (int i = 0; i < chords; ++i) {
    session.Client().Post(live::Command(Kind::Stop));
    usleep(30000);
    session.Client().Post(live::Command(Kind::SyncStart, 1));
    usleep(30000);
    synth.Clear();
    const int root = (i * 7) % 12;  // round the circle of fifths: each chord a new root
    const uint8_t triad[3] = {static_cast<uint8_t>(36 + root), static_cast<uint8_t>(40 + root),
                              static_cast<uint8_t>(43 + root)};  // at most F#3, the split point
    for (uint8_t key : triad) keys.Send({0x90, key, 90});
    const int64_t sent = test::PeerNowNs();
    const bool heard = synth.WaitFor([](const auto& got) { return FirstPartNote(got) != nullptr; },
                                     std::chrono::milliseconds(500));
    for (uint8_t key : triad) keys.Send({0x80, key, 0});
    if (!heard) {
      ++lost;
      continue;
    }
    const auto got = synth.Received();
    const test::PeerMessage* first = FirstPartNote(got);
    latencyMs.push_back((first->timeNs - sent) / 1e6);
    const int pc = (first->bytes[1] - root + 12) % 12;
    wrongNotes += pc != 0 && pc != 4 && pc != 7 && pc != 11 && pc != 2 && pc != 9;  // chord tones and tensions
  }
  output.DetachLiveClient();
  session.StopDetached();

  std::printf("chord at %s -> first transposed note-on at the synth, live arranger on a port (%s, dummy backend, "
              "32 frames at 48 kHz): %zu of %d chords\n",
              platform::kVirtualInName, system->ApiName().c_str(), latencyMs.size(), chords);
  std::printf("  latency p50 / p99 / max     %.3f / %.3f / %.3f ms (goal p99 <= 2 ms)\n", Percentile(latencyMs, 0.5),
              Percentile(latencyMs, 0.99), Percentile(latencyMs, 1.0));
  std::printf("  first notes outside the chord's scale tones: %d; chords not heard within 500 ms: %d\n", wrongNotes,
              lost);
  LoadAverage();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int chords = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  setenv("VAMBRIO_MIDI_API", "jack", 1);
  bench::JackServer jack;
  if (!jack.Start()) {
    std::printf("JACK: the private server did not start\n");
    return 1;
  }
  const int status = Run(chords);
  std::printf("  late cycles reported by the JACK server: %d; clients it gave up on: %d\n", jack.Xruns(),
              jack.Zombified());
  return status;
}
