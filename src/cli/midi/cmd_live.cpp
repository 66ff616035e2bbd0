// vambrio-cli live STYLE --midi-in PORT [--midi-out PORT] [--split NOTE]:
// the arranger played from a MIDI keyboard in a terminal. Sync Start is
// armed: the first chord at or below the split point starts Main A; the
// right hand plays through on channel 1. The bar, section and chord are
// printed as they change; Ctrl-C stops with every note off.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/midi/port_playback.h"
#include "cli/sound/live_cli.h"
#include "cli/sound/sound_cli.h"
#include "cli/sound/voice_cli.h"
#include "cli/record_cli.h"
#include "keyboard/keyboard_client.h"
#include "keyboard/live_keyboard.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/rtmidi/rtmidi_system.h"
#include "realtime/voice_mapping_client.h"
#include "model/error_reporter.h"

namespace vambrio::cli {
namespace {

using Kind = live::LiveCommand::Kind;

constexpr const char* kUsage =
    "live STYLE --midi-in PORT [--midi-out PORT] [--split NOTE|off] [--gm] [--xg-on] [--no-sysex] [--parts BITS] "
    "[--soundfont FILE] [--audio-driver NAME] [--latency low|normal|safe] [--voices gm|written] [--noise play|leave-out] "
    "[--midi-out-gm] [--record FILE.mid] [--record-chart FILE.chart]";

std::optional<int> ReadSplit(const std::string& text) {
  if (text == "off") return -1;
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  int note = std::stoi(text);
  return note <= 127 ? std::optional<int>(note) : std::nullopt;
}

class QuietErrors final : public ErrorSink {
 public:
  void ReportError(std::string_view procedure, const VbError& error) override {
    if (auto text = ErrorMessageText(procedure, error)) std::cerr << *text << "\n";
  }
};

int RunLive(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, {"--gm", "--xg-on", "--no-sysex", "--midi-out-gm"},
                          {"--midi-in", "--midi-out", "--split", "--parts", "--soundfont", "--audio-driver", "--latency", "--record",
                           "--record-chart", "--voices", "--noise"});
  if (!parsed || parsed->positional.size() != 1 || !parsed->Value("--midi-in")) return Usage(kUsage);
  PlayChoices choices;
  auto split = ReadSplit(parsed->Value("--split").value_or(std::to_string(keyboard::kDefaultSplitNote)));
  const auto latency = ReadLatencyOption(parsed->Value("--latency").value_or(""));
  VoiceOptions voiceOptions;
  if (!ReadPlayChoices(*parsed, choices) || !split || !latency || !ReadVoiceOptions(*parsed, voiceOptions))
    return Usage(kUsage);
  const platform::VoiceChoices voices = SynthVoiceChoices(voiceOptions, parsed->Has("--midi-out-gm"));

  const int signals = BlockStopSignals();  // before any thread starts

  auto system = platform::OpenMidiSystem();
  if (system->ApiName().empty()) {
    std::cerr << system->Problem() << "\n";
    return kExitFailed;
  }
  auto inName = platform::FindPort(system->InputPorts(), *parsed->Value("--midi-in"));
  if (!inName) {
    std::cerr << "No MIDI input port \"" << *parsed->Value("--midi-in")
              << "\" (or more than one matches); vambrio-cli ports lists them.\n";
    return kExitFailed;
  }
  platform::KeptMidiInput keys(*system, *inName);
  auto virtualIn = system->OpenVirtualInput(platform::kVirtualInName);
  platform::MidiPortWatch watch([](const std::string& name, platform::PortChange change) {
    std::cerr << (change == platform::PortChange::Lost ? "MIDI input lost: " : "MIDI input back: ") << name << std::endl;
  });
  watch.Add(&keys);
  watch.Start();

  std::unique_ptr<PortPlayback> port;
  std::optional<platform::FluidEngine> engine;
  if (!OpenSoundSource(parsed->Value("--midi-out"),
                       {parsed->Value("--soundfont").value_or(""), parsed->Value("--audio-driver").value_or(""),
                        platform::SynthReadsXgBanks(choices.GmPlayer, voices), *latency},
                       port, engine))
    return kExitFailed;

  StyleModel m = MakeStartupModel();
  QuietErrors errors;
  const std::string& style = parsed->positional[0];
  EntryResult entry = Entry(m, style, choices.GmPlayer, errors);
  if (entry.outcome != EntryResult::Outcome::Loaded) {
    if (!entry.message.empty()) std::cerr << style << ": " << entry.message << "\n";
    return kExitFailed;
  }
  live::LiveSession live(m, SessionChoicesOf(choices, engine ? engine->SampleRate() : PortPlayback::kSampleRate));

  keyboard::KeyboardRouter router;
  router.SetSplitOn(*split >= 0);
  if (*split >= 0) router.SetSplitNote(*split);
  keyboard::LiveKeyboard target(live.Client());
  keyboard::KeyboardClient client(router, target, &live.Client());
  client.AddInput(&keys);
  if (virtualIn) client.AddInput(virtualIn.get());
  live.Client().Post(live::Command(Kind::SyncStart, 1));  // taken in the first block, before the keyboard posts
  CliRecording recording(*parsed, client, live.Client(), live.Patterns(), m.StyleName);
  // The accompaniment and the right hand sound through the voice map; the recording keeps them as played.
  const voices::StyleVoiceUse use = voices::GatherVoiceUse(m);
  recording.MapForGeneralMidi(*parsed, use, voices);
  realtime::VoiceMappingClient mapped;
  MapLive(mapped, &recording.Client(), use, voices, port.get(), engine ? &*engine : nullptr);

  std::atomic<bool> outputLost{false};
  if (port) {
    port->AttachLive(mapped);
  } else if (!engine->AttachLiveClient(mapped, nullptr, [&outputLost] { outputLost = true; })) {
    std::cerr << engine->Problem() << "\n";
    return kExitFailed;
  }
  std::cout << "Keyboard " << *inName << (*split >= 0 ? ", chords at or below note " + std::to_string(*split) : "")
            << "; sound on " << (port ? port->PortName() : std::string("the built-in synthesizer"))
            << ". Play a chord to start - Ctrl-C stops." << std::endl;

  uint32_t seenChords = 0;
  BarLines bars;
  pollfd wait{signals, POLLIN, 0};
  bool portLost = false;
  while (poll(&wait, 1, 10) == 0 && !outputLost && !(portLost = port && port->Lost())) {
    recording.Update();
    const live::LiveState s = live.Client().State();
    if (target.ChordsGiven() != seenChords) {
      seenChords = target.ChordsGiven();
      auto chord = target.LastChord();
      std::cout << "Chord " << (chord ? ChordName(*chord) : "N.C.") << std::endl;
    }
    if (s.playing) bars.Show(s, live.Patterns().sections);
  }
  if (port) {
    port->DetachLive();  // every note off
  } else {
    engine->DetachLiveClient();
  }
  live.StopDetached();
  SayVoiceCounts(mapped.Counts());
  close(signals);
  const bool recorded = recording.Finish();
  if (outputLost) {
    std::cerr << platform::kAudioOutputLostText << "\n";
    return kExitFailed;
  }
  if (portLost) {
    std::cerr << PortLostText(port->PortName()) << "\n";
    return kExitFailed;
  }
  std::cout << "Stopped." << std::endl;
  return recorded ? kExitOk : kExitFailed;
}

const CommandRegistration kLive(
    {.name = "live",
     .usage = kUsage,
     .summary = "Plays a style as an arranger keyboard, from a MIDI keyboard, until Ctrl-C",
     .arguments = {{"STYLE", "", "the style file"}},
     .options = {{"--midi-in", "PORT", "the keyboard's port (a name from \"vambrio-cli ports\", its number or part of it)"},
                 {"--midi-out", "PORT", "play through this MIDI port instead of the built-in synthesizer"},
                 {"--split", "NOTE|off", "the split point: chords at or below NOTE, the right hand above; off: no split"},
                 {"--gm", "", "read and play the style for a GM player; without it, XG"},
                 {"--xg-on", "", "send the XG System On message first"},
                 {"--no-sysex", "", "leave out the style's system-exclusive events"},
                 {"--parts", "BITS", "the eight parts from Rhythm Sub to Phrase 2 as digits 0 or 1"},
                 {"--soundfont", "FILE", "the SoundFont of the built-in synthesizer"},
                 {"--audio-driver", "NAME", "the FluidSynth audio driver (pulseaudio, alsa, ...)"},
                 {"--latency", "low|normal|safe", "the audio buffer (normal: the default)"},
                 VoiceOptionHelp()[0], VoiceOptionHelp()[1], MidiOutGmOptionHelp(),
                 {"--record", "FILE.mid", "record what is played (accompaniment and right hand) as a MIDI file of format 1; "
                                          "with --voices gm the voices mapped for a General MIDI player"},
                 {"--record-chart", "FILE.chart", "write the chord chart of what was played (chords and sections)"}},
     .examples = {"vambrio-cli live examples/Demo.sty --midi-in 2",
                  "vambrio-cli live examples/Demo.sty --midi-in 2 --record take.mid --record-chart take.chart"},
     .details = "Sync Start is armed: the first chord at or below the split point starts Main A."},
    RunLive);

}  // namespace
}  // namespace vambrio::cli
