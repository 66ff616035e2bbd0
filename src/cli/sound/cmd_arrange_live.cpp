// `vambrio-cli arrange STYLE CHART` without -o: the chart played live
// through the real-time output, the bar and section printed as they come.
// Ctrl-C (or SIGTERM) stops at once with every note off.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>

#include "cli/arrange_wav.h"
#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/midi/port_playback.h"
#include "cli/record_cli.h"
#include "cli/sound/live_cli.h"
#include "cli/sound/sound_cli.h"
#include "live/live_session.h"
#include "cli/sound/voice_cli.h"
#include "model/shown_text.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "realtime/voice_mapping_client.h"

namespace vambrio::cli {
namespace {

using Kind = live::LiveCommand::Kind;
constexpr int kPollMs = 10;

int PlayLive(const LiveJob& job) {
  const auto latency = ReadLatencyOption(job.latency);
  if (!latency) return Usage("arrange STYLE CHART [--latency low|normal|safe]");
  const int signals = BlockStopSignals();  // before the synthesizer's threads start
  // The sound source: a MIDI port, or the built-in synthesizer.
  std::unique_ptr<PortPlayback> port;
  std::optional<platform::FluidEngine> engine;
  if (!OpenSoundSource(job.midiOut.empty() ? std::nullopt : std::optional<std::string>(job.midiOut),
                       {job.soundFont, job.audioDriver, platform::SynthReadsXgBanks(job.choices.GmPlayer, job.voices),
                        *latency},
                       port, engine))
    return kExitFailed;

  const live::SessionChoices choices =
      SessionChoicesOf(job.choices, engine ? engine->SampleRate() : PortPlayback::kSampleRate);
  auto made = live::LiveSession::ForChart(*job.style, choices, job.chartText, job.tempo);
  if (auto* e = std::get_if<arranger::ChartError>(&made)) {
    std::cerr << ShownText(job.chartName) << ": " << e->Text() << "\n";
    return kExitFailed;
  }
  live::LiveSession& session = *std::get<std::unique_ptr<live::LiveSession>>(made);
  live::LiveArranger& client = session.Client();
  CliRecording recording(*job.args, client, client, session.Patterns(), job.style->StyleName);
  // What is recorded is what the style plays; what sounds goes through the voice map.
  const voices::StyleVoiceUse use = voices::GatherVoiceUse(*job.style);
  recording.MapForGeneralMidi(*job.args, use, job.voices);
  realtime::VoiceMappingClient mapped;
  MapLive(mapped, &recording.Client(), use, job.voices, port.get(), engine ? &*engine : nullptr);

  std::atomic<bool> lost{false};
  if (port) {
    port->AttachLive(mapped);
    std::cout << "Playing " << session.Song()->bars << (session.Song()->bars == 1 ? " bar on " : " bars on ")
              << port->PortName() << " - Ctrl-C stops." << std::endl;
  } else {
    if (!engine->AttachLiveClient(mapped, nullptr, [&lost] { lost = true; })) {
      std::cerr << engine->Problem() << "\n";
      return kExitFailed;
    }
    if (!engine->Notice().empty()) std::cerr << engine->Notice() << "\n";
    std::cout << "Playing " << session.Song()->bars << (session.Song()->bars == 1 ? " bar at " : " bars at ")
              << realtime::DescribeLatency(*latency)
              << " - Ctrl-C stops." << std::endl;
  }
  client.Post(live::Command(Kind::Start));

  BarLines bars;
  bool started = false, interrupted = false;
  pollfd watch{signals, POLLIN, 0};
  bool portLost = false;
  while (!lost && !(portLost = port && port->Lost())) {
    if (poll(&watch, 1, kPollMs) > 0) {
      interrupted = true;
      break;
    }
    recording.Update();
    const live::LiveState s = client.State();
    started = started || s.playing;
    if (started && !s.playing) break;  // the song has ended
    if (s.playing) bars.Show(s, session.Patterns().sections);
  }
  EndLivePlay(client, interrupted, lost || portLost, port.get(), engine ? &*engine : nullptr);
  SayVoiceCounts(mapped.Counts());
  close(signals);
  const bool recorded = recording.Finish();
  SayUnderruns(engine && !lost ? engine->Underruns() : 0);
  if (lost) {
    std::cerr << platform::kAudioOutputLostText << "\n";
    return kExitFailed;
  }
  if (portLost) {
    std::cerr << PortLostText(port->PortName()) << "\n";
    return kExitFailed;
  }
  std::cout << (interrupted ? "Stopped." : "Done.") << std::endl;
  return recorded ? kExitOk : kExitFailed;
}

const bool kInstalled = (ArrangeLivePlayer() = PlayLive, true);

}  // namespace
}  // namespace vambrio::cli
