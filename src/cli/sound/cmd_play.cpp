// vambrio-cli play STYLE [SECTION] ...: plays a section, or every section in
// turn, through the built-in synthesizer, printing the status texts the
// window would show. Ctrl-C or SIGTERM stops it as the Stop button does.
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <memory>
#include <optional>

#include "cli/chord_cli.h"
#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/midi/port_playback.h"
#include "cli/sound/play_seamless.h"
#include "cli/sound/sound_cli.h"
#include "cli/sound/voice_cli.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_sequencer.h"
#include "platform/clock/system_clock.h"
#include "platform/files/user_paths.h"
#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"

namespace vambrio::cli {
namespace {

int RunPlay(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, Help("play"));
  if (!parsed || parsed->positional.empty() || parsed->positional.size() > 2) return Usage("play");
  PlayChoices choices;
  std::optional<Chord> chord;
  VoiceOptions voiceOptions;
  if (!ReadPlayChoices(*parsed, choices) || !ReadChordOption(*parsed, chord) || !ReadVoiceOptions(*parsed, voiceOptions))
    return Usage("play");
  const platform::VoiceChoices voices = SynthVoiceChoices(voiceOptions, parsed->Has("--midi-out-gm"));
  const auto latency = ReadLatencyOption(parsed->Value("--latency").value_or(""));
  if (!latency) return Usage("play");
  const std::string& style = parsed->positional[0];
  const std::string section = parsed->positional.size() == 2 ? parsed->positional[1] : kAllSections;

  int signals = BlockStopSignals();
  // The sound source: a MIDI port, or the built-in synthesizer (loaded while the style loads).
  std::unique_ptr<PortPlayback> port;
  std::optional<platform::FluidEngine> engine;
  if (!OpenSoundSource(parsed->Value("--midi-out"),
                       {parsed->Value("--soundfont").value_or(""), parsed->Value("--audio-driver").value_or(""),
                        platform::SynthReadsXgBanks(choices.GmPlayer, voices), *latency},
                       port, engine))
    return kExitFailed;

  platform::UserPath player = platform::PlayerTmpPath();
  if (player.path.empty()) {
    std::cerr << player.problem << "\n";
    return kExitFailed;
  }
  StyleModel m = MakeStartupModel();
  TerminalErrors errors;
  EntryResult entry;
  if (!LoadForPlaying(m, style, choices.GmPlayer, errors, entry)) return kExitFailed;
  if (section != kAllSections && FindSection(m, section) < 0) {
    std::cerr << style << ": no section named " << section << "\n";
    return kExitFailed;
  }
  const ChordRules rules = ReadChordRules(m);
  const auto voiceUse = std::make_shared<const voices::StyleVoiceUse>(voices::GatherVoiceUse(m));
  platform::KeptVoiceMap keptMap;  // made at the first "open", kept for the sections after it
  std::optional<platform::FluidSequencer> fluidSequencer;
  if (engine) {
    engine->WaitLoaded();
    if (!engine->Notice().empty()) std::cerr << engine->Notice() << "\n";
    fluidSequencer.emplace(*engine);
    fluidSequencer->SetVoices([&](const std::string& soundFont) {
      return keptMap.ForSynth(voiceUse, soundFont, voices);
    });
  }
  platform::Sequencer& sequencer = port ? static_cast<platform::Sequencer&>(port->Sequencer()) : *fluidSequencer;
  const int notifyFd = port ? port->Sequencer().NotifyFd() : fluidSequencer->NotifyFd();
  platform::SystemClock clock;
  platform::PollLoop loop(clock);
  TerminalView view(entry.sectionLines, section, parsed->Has("--repeat"));
  TerminalMessages messages;
  auto assemble = [&](int16_t s, const PlayChoices& c) {
    auto close = [&] { sequencer.Command("close"); };
    if (chord) MakeAnyChordTrack(m, s, c, rules, *chord, errors, player.path, close);
    else MakeSingleTrack(m, s, c, errors, player.path, close);
  };
  bool stopped = false;
  if (!parsed->Has("--classic")) {
    const int status = PlaySeamlessly(
        SeamlessPlay{m, choices, chord, section == kAllSections ? -1 : FindSection(m, section), parsed->Has("--repeat"),
                     engine ? &*engine : nullptr, port.get(), view, [&](int16_t s) { assemble(s, choices); }, signals,
                     voices},
        stopped);
    close(signals);
    SayUnderruns(engine && !engine->OutputHasFailed() ? engine->Underruns() : 0);
    PrintFluidMessages(parsed->Has("--verbose"), !choices.GmPlayer);
    if (status != kExitOk || stopped) return status;
    return errors.reported > 0 ? kExitReported : kExitOk;
  }
  PlaybackController controller(PlaybackParts{m, sequencer, clock, loop, view, messages, errors,
                                              [&] { return choices; }, assemble, player.path});

  loop.Watch(notifyFd, [&] { port ? port->Sequencer().Pump() : fluidSequencer->Pump(); });
  loop.Watch(signals, [&] {
    signalfd_siginfo info;
    while (read(signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    }
    stopped = true;
    controller.CmdStopClick();
  });
  // A port that goes away (or its MIDI system with it) stops the playing.
  bool portLost = false;
  const int portCheck = port ? timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC) : -1;
  if (portCheck >= 0) {
    const itimerspec every100ms{{0, 100'000'000}, {0, 100'000'000}};
    timerfd_settime(portCheck, 0, &every100ms, nullptr);
    loop.Watch(portCheck, [&] {
      uint64_t ticks = 0;
      (void)!read(portCheck, &ticks, sizeof ticks);
      if (portLost || !port->Lost()) return;
      portLost = true;
      controller.CmdStopClick();
    });
  }
  controller.CmdPlayClick();
  while (controller.Running() && loop.RunOnce()) {
  }
  close(signals);
  if (portCheck >= 0) close(portCheck);
  if (portLost) {
    std::cerr << PortLostText(port->PortName()) << "\n";
    return kExitFailed;
  }
  SayUnderruns(engine && !engine->OutputHasFailed() ? engine->Underruns() : 0);
  PrintFluidMessages(parsed->Has("--verbose"), !choices.GmPlayer);
  if (stopped) return kExitOk;
  if (messages.shown > 0) return kExitFailed;
  return errors.reported > 0 ? kExitReported : kExitOk;
}

const CommandRegistration kPlay(
    {.name = "play",
     .usage = "play STYLE [SECTION] [--repeat] [--classic] [--gm] [--xg-on] [--minor | --chord NAME] [--no-sysex] [--parts BITS] "
              "[--voices gm|written] [--noise play|leave-out] [--soundfont FILE] [--audio-driver NAME] [--latency low|normal|safe] "
              "[--midi-out PORT [--midi-out-gm]] [--verbose]",
     .summary = "Plays a section, or every section in turn, through the built-in synthesizer",
     .arguments = {{"STYLE", "", "the style file"},
                   {"SECTION", "", "the section's name, such as \"Main A\"; without it, All Sections"}},
     .options = Options(Options({{"--repeat", "", "play the section again and again, until Ctrl-C (Repeat \"On\")"},
                                 {"--classic", "",
                                  "the classic playback of \"Player.tmp\" (the style's setup first, a pause between "
                                  "passes) instead of the live accompaniment"}},
                                PlayChoiceOptions()),
                        Options(Options(SoundOptions(), VoiceOptionHelp()),
                                {{"--audio-driver", "NAME", "the FluidSynth audio driver (pulseaudio, alsa, jack, ...)"},
                                 {"--latency", "low|normal|safe",
                                  "the audio buffer: low 2 x 64 frames, normal 2 x 256 (the default), safe 4 x 512"},
                                 {"--midi-out", "PORT",
                                  "play through this MIDI port (a name from \"vambrio-cli ports\", its number or a "
                                  "unique part of its name) instead of the built-in synthesizer"},
                                 MidiOutGmOptionHelp()})),
     .examples = {"vambrio-cli play examples/Demo.sty \"Main A\" --repeat"},
     .details = "The section sounds at once and --repeat loops it without a gap, as \"Play seamlessly\" in the "
                "window; \"Player.tmp\" is written for each section as it starts. Ctrl-C stops the playback as the "
                "Stop button does."},
    RunPlay);

}  // namespace
}  // namespace vambrio::cli
