// vambrio-cli arrange STYLE CHART -o OUT.mid|OUT.wav [options]: plays a chord
// chart with a style through the arranger and writes the song as a Standard
// MIDI File, or renders it to a WAV file.
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "arranger/song.h"
#include "cli/arrange_wav.h"
#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/sound/voice_cli.h"
#include "cli/song_source.h"
#include "cli/voices_cli.h"
#include "chord/chord_rules.h"
#include "loading/entry.h"
#include "model/ascii_case.h"
#include "model/shown_text.h"
#include "midi/midi_length.h"
#include "midi/smf_writer.h"
#include "model/error_reporter.h"
#include "songs/chart_text.h"

namespace vambrio::cli {

WavRenderer& ArrangeWavRenderer() {
  static WavRenderer renderer;
  return renderer;
}

LivePlayer& ArrangeLivePlayer() {
  static LivePlayer player;
  return player;
}

namespace {

constexpr const char* kUsage =
    "arrange STYLE SONG -o OUT.mid|OUT.wav [--song N|TITLE] [--transpose N] [--tempo T] [--gm] [--xg-on] [--no-sysex] "
    "[--parts BITS] [--soundfont FILE] [--voices gm|written] [--noise play|leave-out]\n  vambrio-cli arrange STYLE SONG "
    "[same options] [--latency low|normal|safe] [--audio-driver NAME]"
    " [--midi-out PORT [--midi-out-gm]] [--record FILE.mid] [--record-chart FILE.chart]  (without -o: plays it live)";

enum class OutputType { Midi, Wav, Unknown };

OutputType TypeOf(const std::string& path) {
  const size_t dot = path.rfind('.');
  const std::string ext = AsciiLower(dot == std::string::npos ? "" : path.substr(dot + 1));
  if (ext == "mid" || ext == "midi") return OutputType::Midi;
  if (ext == "wav") return OutputType::Wav;
  return OutputType::Unknown;
}

std::optional<double> ReadTempo(const ParsedArgs& args, bool& ok) {
  ok = true;
  auto value = args.Value("--tempo");
  if (!value) return std::nullopt;
  char* end = nullptr;
  const double qpm = std::strtod(value->c_str(), &end);
  const bool number = !value->empty() && *end == '\0' && std::isfinite(qpm);
  ok = number && qpm >= 10 && qpm <= 500;
  if (!ok)
    std::cerr << "vambrio-cli: --tempo " << *value << ": "
              << (number ? "the tempo must be from 10 to 500 quarter notes a minute"
                         : "not a number (the tempo in quarter notes a minute, 10 to 500)")
              << "\n";
  return qpm;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::string Duration(double seconds) {
  const long s = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

int RunArrange(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, {"--gm", "--xg-on", "--no-sysex", "--midi-out-gm"},
                          {"-o", "--parts", "--soundfont", "--tempo", "--latency", "--audio-driver", "--midi-out", "--voices",
                           "--noise", "--record", "--record-chart", "--song", "--transpose"});
  if (!parsed || parsed->positional.size() != 2) return Usage(kUsage);
  const bool live = !parsed->Value("-o");
  if (!live && (parsed->Value("--record") || parsed->Value("--record-chart"))) {
    std::cerr << "vambrio-cli: --record and --record-chart are for playing live, without -o\n";
    return kExitUsage;
  }
  if (live && !ArrangeLivePlayer()) {
    std::cerr << "vambrio-cli: this build has no synthesizer to play with; write a file with -o instead\n";
    return kExitFailed;
  }
  PlayChoices choices;
  bool tempoOk = true;
  const std::optional<double> tempo = ReadTempo(*parsed, tempoOk);
  VoiceOptions voiceOptions;
  int transpose = 0;
  if (!ReadPlayChoices(*parsed, choices) || !tempoOk || !ReadVoiceOptions(*parsed, voiceOptions) ||
      !ReadTranspose(parsed->Value("--transpose"), transpose))
    return Usage(kUsage);
  const std::string& stylePath = parsed->positional[0];
  const std::string& chartPath = parsed->positional[1];
  const std::string out = parsed->Value("-o").value_or("");
  const OutputType type = live ? OutputType::Midi : TypeOf(out);
  if (type == OutputType::Unknown) {
    std::cerr << "vambrio-cli: " << ShownText(out) << ": the output must end in .mid or .wav\n";
    return kExitUsage;
  }
  if (type == OutputType::Wav && !ArrangeWavRenderer()) {
    std::cerr << "vambrio-cli: this build has no synthesizer to write WAV files; write a .mid file instead\n";
    return kExitFailed;
  }

  std::optional<SongSource> source = ReadSongSource(chartPath, parsed->Value("--song"), transpose);
  if (!source) return kExitFailed;
  const std::string& chartName = source->name;

  StyleModel m = MakeStartupModel();
  CollectingErrorReporter reporter;
  const EntryResult r = Entry(m, stylePath, choices.GmPlayer, reporter);
  if (r.outcome != EntryResult::Outcome::Loaded) {
    if (!r.message.empty()) std::cerr << ShownText(stylePath) << ": " << r.message << "\n";
    for (const auto& msg : reporter.messages) std::cerr << ShownText(stylePath) << ": " << msg << "\n";
    return kExitFailed;
  }
  for (const auto& warning : RuleDamageWarnings(ReadChordRules(m)))
    std::cerr << ShownText(stylePath) << ": warning: " << warning << "\n";
  const arranger::StylePatterns style =
      arranger::ReadStylePatterns(m, arranger::SetupChoices{choices.IncludeSysex, choices.XgSystemOn});
  if (source->imported) {
    std::vector<std::string> names;
    for (const auto& section : style.sections) names.push_back(section.name);
    for (const std::string& note : songs::FitChart(source->chart, names, style.beatsPerBar))
      std::cerr << chartName << ": " << note << "\n";
  }
  auto song = arranger::PlanSong(source->chart, style, tempo);
  if (auto* e = std::get_if<arranger::ChartError>(&song)) {
    std::cerr << ShownText(chartName) << ": " << e->Text() << "\n";
    return kExitFailed;
  }
  if (live)
    return ArrangeLivePlayer()(LiveJob{&m, choices, chartName, songs::WriteChart(source->chart), tempo,
                                       parsed->Value("--soundfont").value_or(""),
                                       parsed->Value("--audio-driver").value_or(""),
                                       parsed->Value("--latency").value_or(""),
                                       parsed->Value("--midi-out").value_or(""), &*parsed,
                                       SynthVoiceChoices(voiceOptions, parsed->Has("--midi-out-gm"))});

  arranger::ArrangerOptions options;
  options.gmPlayer = choices.GmPlayer;
  for (size_t k = 0; k < 8; ++k) options.partsOn[k] = choices.Parts[k] != 0;
  arranger::Arranger arranger(style, options);
  midi::SmfWriter writer(style.division);
  const arranger::Song& planned = std::get<arranger::Song>(song);
  arranger::PlaySong(planned, arranger, writer);
  std::vector<uint8_t> midi = writer.Finish(static_cast<uint64_t>(planned.end));
  if (type == OutputType::Midi && voiceOptions.voices == VoicesChoice::GeneralMidi &&
      !MapFileForGeneralMidi(midi, m, voiceOptions)) {
    std::cerr << out << ": the song's voices could not be mapped\n";
    return kExitFailed;
  }

  double seconds = 0;
  if (type == OutputType::Midi) {
    if (!WriteBytes(out, midi)) {
      std::cerr << ShownText(out) << ": the file could not be written\n";
      return kExitFailed;
    }
    seconds = static_cast<double>(MeasureMidi(midi)->LengthMs) / 1000.0;
  } else {
    std::string notice;
    const std::string problem = ArrangeWavRenderer()(WavJob{midi, out, parsed->Value("--soundfont").value_or(""),
                                                            !choices.GmPlayer, &m, SynthVoiceChoices(voiceOptions)},
                                                     seconds, notice);
    if (!notice.empty()) std::cerr << notice << "\n";
    if (!problem.empty()) {
      std::cerr << problem << "\n";
      return kExitFailed;
    }
  }
  std::cout << ShownText(out) << ": " << planned.bars << (planned.bars == 1 ? " bar, " : " bars, ") << Duration(seconds) << "\n";
  return kExitOk;
}

const CommandRegistration kArrange(
    {.name = "arrange",
     .usage = kUsage,
     .summary = "Plays a chord chart with a style, as an arranger keyboard would: live, or into a MIDI or WAV file",
     .arguments = {{"STYLE", "", "the style file"},
                   {"SONG", "", "a chord chart, plain text bar by bar (\"-\": standard input); or a lead sheet: an iReal "
                                "Pro link or playlist file, ChordPro, MusicXML or .mxl"}},
     .options = {{"-o", "OUT.mid|OUT.wav", "the file to write: a Standard MIDI File, or a WAV file rendered with FluidSynth"},
                 {"--song", "N|TITLE", "the song of a playlist: its number from 1, or its title (without: the first)"},
                 {"--transpose", "N", "every chord moved by N semitones, -11 to 11"},
                 {"--tempo", "T", "the tempo in quarter notes per minute, 10 to 500 (without it: the style's)"},
                 {"--gm", "", "read and play the style for a GM player; without it, XG"},
                 {"--xg-on", "", "send the XG System On message first"},
                 {"--no-sysex", "", "leave out the style's system-exclusive events"},
                 {"--parts", "BITS", "the eight parts from Rhythm Sub to Phrase 2 as digits 0 or 1"},
                 {"--soundfont", "FILE", "the SoundFont for a WAV file or for playing live"},
                 VoiceOptionHelp()[0], VoiceOptionHelp()[1],
                 {"--latency", "low|normal|safe", "the audio buffer when playing live (normal: the default)"},
                 {"--audio-driver", "NAME", "the FluidSynth audio driver when playing live (pulseaudio, alsa, ...)"},
                 {"--midi-out", "PORT", "play live through this MIDI port instead of the built-in synthesizer"},
                 MidiOutGmOptionHelp(),
                 {"--record", "FILE.mid", "when playing live: record what is played as a MIDI file of format 1"},
                 {"--record-chart", "FILE.chart", "when playing live: write the chord chart of what was played"}},
     .examples = {"vambrio-cli arrange examples/Demo.sty examples/Demo.chart -o demo.wav",
                  "vambrio-cli arrange examples/Demo.sty examples/Demo.chart",
                  "vambrio-cli arrange examples/Demo.sty playlist.html --song \"Blue Bossa\" --transpose -2 -o song.wav"},
     .details = "Without -o the chart plays live, printing the bar and section; Ctrl-C stops with every note off."},
    RunArrange);

}  // namespace
}  // namespace vambrio::cli
