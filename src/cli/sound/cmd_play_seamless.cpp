#include <poll.h>
#include <unistd.h>

#include <iostream>

#include "cli/cli_common.h"
#include "cli/midi/port_playback.h"
#include "cli/sound/play_seamless.h"
#include "cli/sound/live_cli.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "cli/sound/voice_cli.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "realtime/voice_mapping_client.h"

namespace vambrio::cli {
namespace {

using Kind = live::LiveCommand::Kind;
constexpr int kPollMs = 10;

}  // namespace

int PlaySeamlessly(const SeamlessPlay& play, bool& stopped) {
  live::LiveSession session(
      play.style, SessionChoicesOf(play.choices, play.engine ? play.engine->SampleRate() : PortPlayback::kSampleRate));
  live::LiveArranger& client = session.Client();
  const voices::StyleVoiceUse use = voices::GatherVoiceUse(play.style);
  realtime::VoiceMappingClient mapped;
  MapLive(mapped, &client, use, play.voices, play.port, play.engine);
  std::atomic<bool> lost{false};
  if (play.port) {
    play.port->AttachLive(mapped);
  } else if (!play.engine->AttachLiveClient(mapped, nullptr, [&lost] { lost = true; })) {
    std::cerr << play.engine->Problem() << "\n";
    return kExitFailed;
  }
  live::LiveCommand chord = live::Command(Kind::Chord);
  chord.chord = play.chord ? *play.chord : *ParseChord(play.choices.Minor ? "Cm" : "C");
  client.Post(chord);
  client.Post(play.section < 0 ? live::Command(Kind::PlayInTurn, 0)
                               : live::Command(Kind::PlaySection, play.section, play.repeat));
  play.view.SetStatusText(kPlayingText);

  bool started = false;
  int shown = -1;
  pollfd watch{play.stopSignals, POLLIN, 0};
  bool portLost = false;
  while (!lost && !(portLost = play.port && play.port->Lost())) {
    if (poll(&watch, 1, kPollMs) > 0) {
      stopped = true;
      break;
    }
    const live::LiveState s = client.State();
    started = started || s.playing;
    if (started && !s.playing) break;  // the last pass has ended
    if (!s.playing || s.section == shown) continue;
    shown = s.section;
    if (play.section < 0) play.view.SelectSection(s.section + 1);
    play.writePlayerFile(static_cast<int16_t>(s.section));
  }
  EndLivePlay(client, stopped, lost || portLost, play.port, play.engine);
  SayVoiceCounts(mapped.Counts());
  play.view.SetStatusText(kReadyText);
  if (portLost) std::cerr << PortLostText(play.port->PortName()) << "\n";
  if (lost) std::cerr << platform::kAudioOutputLostText << "\n";
  return lost || portLost ? kExitFailed : kExitOk;
}

}  // namespace vambrio::cli
