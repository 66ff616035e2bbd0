// vambrio-cli render STYLE SECTION -o OUT.wav ...: renders the assembled
// section offline, faster than real time, to a 44.1 kHz 16-bit stereo WAV
// file of the section's length plus a two-second release tail.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "cli/chord_cli.h"
#include "cli/command.h"
#include "cli/voices_cli.h"
#include "cli/sound/sound_cli.h"
#include "cli/sound/voice_cli.h"
#include "platform/fluidsynth/fluid_render.h"
#include "platform/files/user_paths.h"
#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"

namespace vambrio::cli {
namespace {

// A file of our own beside "Player.tmp" (a window may be playing that one).
std::string PrivateMidiFile() {
  platform::UserPath player = platform::PlayerTmpPath();
  if (player.path.empty()) {
    std::cerr << player.problem << "\n";
    return {};
  }
  std::string tmpl = std::filesystem::path(player.path).parent_path().string() + "/render-XXXXXX";
  int fd = mkstemp(tmpl.data());
  if (fd < 0) return {};
  close(fd);
  return tmpl;
}

int RunRender(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, Help("render"));
  if (!parsed || parsed->positional.size() != 2 || !parsed->Value("-o")) return Usage("render");
  PlayChoices choices;
  std::optional<Chord> chord;
  VoiceOptions voiceOptions;
  if (!ReadPlayChoices(*parsed, choices) || !ReadChordOption(*parsed, chord) || !ReadVoiceOptions(*parsed, voiceOptions))
    return Usage("render");
  const platform::VoiceChoices voiceChoices = SynthVoiceChoices(voiceOptions);
  const std::string& style = parsed->positional[0];
  const std::string& section = parsed->positional[1];

  StyleModel m = MakeStartupModel();
  TerminalErrors errors;
  EntryResult entry;
  if (!LoadForPlaying(m, style, choices.GmPlayer, errors, entry)) return kExitFailed;
  int s = FindSection(m, section);
  if (s < 0) {
    std::cerr << style << ": no section named " << section << "\n";
    return kExitFailed;
  }
  std::string midi = PrivateMidiFile();
  if (midi.empty()) return kExitFailed;
  m.CurrentSectionName = m.SectionName[s];
  if (chord) {
    MakeAnyChordTrack(m, static_cast<int16_t>(s), choices, ReadChordRules(m), *chord, errors, midi, {});
  } else {
    MakeSingleTrack(m, static_cast<int16_t>(s), choices, errors, midi, {});
  }

  platform::RenderRequest request;
  request.midiFile = midi;
  request.wavFile = *parsed->Value("-o");
  request.sound.soundFont = parsed->Value("--soundfont").value_or("");
  request.sound.xgBankSelect = !choices.GmPlayer;
  const voices::StyleVoiceUse use = voices::GatherVoiceUse(m);
  request.voices = [&](const std::string& soundFont) { return platform::MapForSynth(use, soundFont, voiceChoices); };
  platform::RenderResult r = platform::RenderToWav(request);
  std::filesystem::remove(midi);
  if (!r.notice.empty()) std::cerr << r.notice << "\n";
  PrintFluidMessages(parsed->Has("--verbose"), request.sound.xgBankSelect);
  if (!r.ok) {
    std::cerr << r.problem << "\n";
    return kExitFailed;
  }
  std::cout << request.wavFile << ": " << section << ", " << static_cast<double>(r.frames) / 44100.0 << " s\n";
  return errors.reported > 0 ? kExitReported : kExitOk;
}

const CommandRegistration kRender(
    {.name = "render",
     .usage = "render STYLE SECTION -o OUT.wav [--gm] [--xg-on] [--minor | --chord NAME] [--no-sysex] [--parts BITS] "
              "[--soundfont FILE] [--voices gm|written] [--noise play|leave-out] [--verbose]",
     .summary = "Renders one section to a WAV file (44.1 kHz, 16-bit stereo), faster than real time",
     .arguments = {{"STYLE", "", "the style file"},
                   {"SECTION", "", "the section's name as the window lists it, such as \"Main A\""}},
     .options = Options(Options({{"-o", "OUT.wav", "the WAV file to write: the section and two seconds to fade"}},
                                PlayChoiceOptions()),
                        Options(SoundOptions(), VoiceOptionHelp())),
     .examples = {"vambrio-cli render examples/Demo.sty \"Intro A\" -o intro.wav"}},
    RunRender);

}  // namespace
}  // namespace vambrio::cli
