// vambrio-cli info [--json] [--gm] [--rules] STYLE|FOLDER...: what the window shows for
// each style; a folder stands for every style file below it.
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/chord_cli.h"
#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/progress.h"
#include "cli/style_files.h"
#include "cli/voices_cli.h"
#include "chord/rule_damage.h"
#include "loading/entry.h"
#include "loading/stage_settings.h"
#include "midi/gm_programs.h"
#include "model/shown_text.h"
#include "model/error_reporter.h"

namespace vambrio::cli {
namespace {

nlohmann::ordered_json Pairs(const std::vector<int32_t>& pos, const auto& value, bool stopAtZeroValue) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (size_t i = 0; i < pos.size(); ++i) {
    if (stopAtZeroValue ? value[i] == 0 : pos[i] <= 0) {
      if (stopAtZeroValue) break;
      continue;
    }
    out.push_back({pos[i], value[i]});
  }
  return out;
}

// A part's value, or null where the setting says nothing.
nlohmann::ordered_json OrNull(int value) { return value < 0 ? nlohmann::ordered_json() : nlohmann::ordered_json(value); }

nlohmann::ordered_json OtsJson(const StageSettings& s) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (size_t i = 0; i < s.ots.size(); ++i) {
    if (!s.ots[i].usable) continue;
    nlohmann::ordered_json channels = nlohmann::ordered_json::array();
    for (int c = 0; c < kOtsPartCount; ++c) {
      const OtsPart& p = s.ots[i].parts[static_cast<size_t>(c)];
      if (!p.HasVoice() && p.volume < 0) continue;
      nlohmann::ordered_json voice;
      if (p.HasVoice())
        voice = {{"bank_msb", OrNull(p.bankMsb)}, {"bank_lsb", OrNull(p.bankLsb)}, {"program", p.program},
                 {"name", midi::GmProgramName(p.program)}};
      channels.push_back({{"channel", c + 1}, {"part", OtsPartName(c)}, {"voice", voice}, {"volume", OrNull(p.volume)},
                          {"pan", OrNull(p.pan)}, {"reverb", OrNull(p.reverb)}, {"chorus", OrNull(p.chorus)}});
    }
    out.push_back({{"setting", i + 1}, {"channels", channels}});
  }
  return out;
}

nlohmann::ordered_json SongsJson(const StageSettings& s) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const SongRecord& song : s.songs)
    out.push_back({{"title", song.title}, {"genre", song.genre}, {"keywords", song.keywords}, {"tempo", song.Tempo()},
                   {"time_signature", std::to_string(song.numerator) + "/" + std::to_string(song.denominator)}});
  return out;
}

void AddStageJson(nlohmann::ordered_json& out, const StageSettings& s) {
  out["ots"] = OtsJson(s);
  out["ots_skipped"] = s.otsSkipped;
  out["songs"] = SongsJson(s);
  out["songs_skipped"] = s.songsSkipped;
}

void PrintStage(const StageSettings& s) {
  for (size_t i = 0; i < s.ots.size(); ++i) {
    if (!s.ots[i].usable) continue;
    std::cout << "  OTS " << i + 1 << ":     ";
    const char* sep = "";
    for (int c = 0; c < kOtsPartCount; ++c) {
      const OtsPart& p = s.ots[i].parts[static_cast<size_t>(c)];
      if (!p.HasVoice()) continue;
      std::cout << sep << OtsPartName(c) << " " << midi::GmProgramName(p.program);
      if (p.volume >= 0) std::cout << " (" << p.volume << ")";
      sep = ", ";
    }
    std::cout << "\n";
  }
  if (!s.songs.empty()) std::cout << "  Songs:     " << s.songs.size() << "\n";
  for (const SongRecord& song : s.songs)
    std::cout << "    " << song.title << " - " << song.genre << ", " << song.Tempo() << ", " << song.numerator << "/"
              << song.denominator << "\n";
  if (s.otsSkipped > 0) std::cout << "  Warning:   " << s.otsSkipped << " One Touch Setting(s) skipped, damaged\n";
  if (s.songsSkipped > 0) std::cout << "  Warning:   " << s.songsSkipped << " song record(s) skipped, damaged\n";
}

nlohmann::ordered_json LoadedJson(const std::string& file, const StyleModel& m, const EntryResult& r,
                          const std::vector<std::string>& reported) {
  nlohmann::ordered_json sections = nlohmann::ordered_json::array();
  nlohmann::ordered_json ranges = nlohmann::ordered_json::array();
  for (int i = 0; i < SectionCount(m); ++i) {
    sections.push_back(m.SectionName[i]);
    ranges.push_back({m.SectionStart[i], m.SectionEnd[i]});
  }
  return {
      {"file", file},
      {"ok", true},
      {"size", m.FileSize},
      {"size_text", r.sizeText},
      {"name", m.StyleName},
      {"copyright", m.StyleCopyright},
      {"name_line", r.nameLine},
      {"tempo", m.DisplayTempo},
      {"tempo_qpm", m.TempoQpm},
      {"time_signature", r.timeSignatureText},
      {"sections", sections},
      {"section_ranges", ranges},
      {"sint_end", m.SIntEndPos},
      {"track_length", m.TrackLength},
      {"volume_events", Pairs(m.VolumeEventPos, m.VolumeEventValue, false)},
      {"initial_volume_events", m.InitialVolumeEventCount},
      {"master_volume", m.MasterVolume},
      {"tempo_events", Pairs(m.TempoEventPos, m.TempoEventValue, true)},
      {"reported", reported},
      {"warnings", r.warnings},
  };
}

void PrintBlock(const std::string& file, const StyleModel& m, const EntryResult& r) {
  std::cout << ShownText(file) << "\n"
            << "  Name:      " << ShownText(r.nameLine) << "\n"
            << "  Tempo:     " << r.tempoText << "\n"
            << "  Time sig.: " << r.timeSignatureText << "\n"
            << "  Size:      " << r.sizeText << " bytes\n"
            << "  Sections:  " << SectionCount(m) << "\n";
  for (int i = 0; i < SectionCount(m); ++i) std::cout << "    " << ShownText(m.SectionName[i]) << "\n";
  PrintStage(ReadStageSettings(m));
  for (const auto& warning : r.warnings) std::cout << "  Warning:   " << warning << "\n";
}

// The voices of a loaded style on the SoundFont the synthesizer would use,
// read once for the whole batch (a General MIDI SoundFont as such when none is found).
nlohmann::ordered_json StyleVoicesJson(const StyleModel& m) {
  static const std::shared_ptr<const voices::SoundFontCatalog> catalog = [] {
    std::string note;
    auto found = CatalogFor("", note);
    return found ? found : std::make_shared<voices::SoundFontCatalog>(voices::GeneralMidiCatalog());
  }();
  return VoicesJson(voices::VoiceMap(voices::GatherVoiceUse(m), catalog, {}));
}

// Loads one file as a freshly started program would; true when it loaded.
// With rules, the style's chord rules are added.
bool InfoOne(const std::string& file, bool gm, bool json, bool rules, BatchProgress& progress) {
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter reporter;
  EntryResult r = Entry(m, file, gm, reporter);
  bool ok = r.outcome == EntryResult::Outcome::Loaded;
  if (ok)
    for (std::string& warning : ChordRuleWarnings(m)) r.warnings.push_back(std::move(warning));
  std::string error = r.message;
  if (r.outcome == EntryResult::Outcome::Reported && !reporter.messages.empty()) error = reporter.messages.back();
  if (json) {
    nlohmann::ordered_json out = ok ? LoadedJson(file, m, r, reporter.messages)
                                    : nlohmann::ordered_json{{"file", file}, {"ok", false}, {"error", error}};
    if (ok) out["voices"] = StyleVoicesJson(m);
    if (ok) AddStageJson(out, ReadStageSettings(m));
    if (!ok && !r.reason.empty()) out["reason"] = r.reason;
    if (ok && rules) out["rules"] = RulesJson(ReadChordRules(m));
    progress.BeforeOutput(BatchProgress::Stream::Output);
    std::cout << out.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return ok;
  }
  if (!ok || !reporter.messages.empty()) progress.BeforeOutput(BatchProgress::Stream::Error);
  if (ok) {
    for (const auto& msg : reporter.messages) std::cerr << ShownText(file) << ": " << msg << "\n";
    progress.BeforeOutput(BatchProgress::Stream::Output);
    PrintBlock(file, m, r);
    if (rules) PrintRules(std::cout, ReadChordRules(m));
  } else {
    std::cerr << ShownText(file) << ": " << error << "\n";
    if (!r.reason.empty()) std::cerr << ShownText(file) << ": " << r.reason << "\n";
  }
  return ok;
}

int RunInfo(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, Help("info"));
  if (!parsed || parsed->positional.empty()) return Usage("info");
  StyleFileList list = FindStyleFiles(parsed->positional);
  for (const auto& problem : list.problems) std::cerr << problem << "\n";
  bool all = list.problems.empty();
  BatchProgress progress = BatchProgress::OnStandardError(list.files.size());
  for (const auto& file : list.files) {
    progress.Next(file);
    all = InfoOne(file, parsed->Has("--gm"), parsed->Has("--json"), parsed->Has("--rules"), progress) && all;
  }
  return all ? kExitOk : kExitFailed;
}

const CommandRegistration kInfo(
    {.name = "info",
     .usage = "info [--json] [--gm] [--rules] STYLE|FOLDER...",
     .summary = "Prints what the window shows for each style: name, tempo, time signature, size, sections, One Touch Settings and songs",
     .arguments = {{"STYLE", "", "a style file, whatever its name"},
                   {"FOLDER", "", "every style file below it (.sty .pcs .sst .pst .prs .bcs .fps, any case)"}},
     .options = {{"--json", "", "one JSON object per line and style, with positions, volume and tempo events, the voices (as \"voices\" shows them), the One Touch Settings (\"ots\") and the song records (\"songs\")"},
                 {"--gm", "", "read the styles for a GM player (the window's player box at \"GM\"); without it, XG"},
                 {"--rules", "", "add each style's chord rules: per section group and channel, how its notes follow a chord"}},
     .examples = {"vambrio-cli info examples/Demo.sty", "vambrio-cli info --json ~/Styles > styles.jsonl"},
     .details = "A batch of more than 200 files shows its progress on standard error when that is a terminal."},
    RunInfo);

}  // namespace
}  // namespace vambrio::cli
