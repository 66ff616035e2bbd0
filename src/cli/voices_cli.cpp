#include "cli/voices_cli.h"

#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/files/soundfont.h"
#include "voices/mapped_midi_file.h"

namespace vambrio::cli {
namespace {

using namespace voices;

int ShownProgram(const VoiceResolution& r, int program) { return program == kOwnProgram ? r.program : program; }

nlohmann::ordered_json ArticulationsJson(const VoiceResolution& r, NoiseNotes noise) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  if (!r.articulations) return out;
  for (const ArticulationBand& b : r.articulations->bands)
    out.push_back({{"velocity", {b.low, b.high}},
                   {"articulation", ArticulationName(b.articulation)},
                   {"program", ShownProgram(r, b.program)}});
  if (!r.articulations->hasNoises) return out;
  const nlohmann::ordered_json program =
      noise == NoiseNotes::LeaveOut ? nlohmann::ordered_json() : nlohmann::ordered_json(r.articulations->noiseProgram);
  out.push_back({{"notes", {kFirstNoiseNote, kHighNoiseNote - 1}},
                 {"articulation", ArticulationName(r.articulations->lowNoise)},
                 {"program", program}});
  out.push_back({{"notes", {kHighNoiseNote, 127}},
                 {"articulation", ArticulationName(r.articulations->highNoise)},
                 {"program", program}});
  return out;
}

// The keys the channel plays that do not play as they are.
nlohmann::ordered_json MovedKeysJson(const VoiceResolution& r, const ChannelVoiceUse* use) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (int key = 0; key < 128 && r.drums; ++key) {
    const KeyTarget& t = r.keys[static_cast<size_t>(key)];
    if (t.kind == KeyTarget::Kind::Same || (use && !use->notesPlayed.test(static_cast<size_t>(key)))) continue;
    nlohmann::ordered_json k = {{"key", key}, {"to", nullptr}};
    if (t.kind != KeyTarget::Kind::Silent) k["to"] = t.key;
    if (t.kind == KeyTarget::Kind::Effect) k["program"] = t.program;
    out.push_back(k);
  }
  return out;
}

std::string MovedKeysText(const nlohmann::ordered_json& moved) {
  std::string text;
  for (const auto& k : moved) {
    text += (text.empty() ? "" : ", ") + std::to_string(k["key"].get<int>()) + "->";
    text += k["to"].is_null() ? "silent" : std::to_string(k["to"].get<int>());
    if (k.contains("program")) text += " (program " + std::to_string(k["program"].get<int>()) + ")";
  }
  return text;
}

std::string ArticulationsText(const nlohmann::ordered_json& list) {
  std::string text;
  for (const auto& a : list) {
    const bool notes = a.contains("notes");
    const auto& range = notes ? a["notes"] : a["velocity"];
    text += text.empty() ? "" : ", ";
    text += (notes ? "notes " : "") + std::to_string(range[0].get<int>()) + "-" + std::to_string(range[1].get<int>()) +
            " " + a["articulation"].get<std::string>();
    text += a["program"].is_null() ? " (left out)" : " (" + std::to_string(a["program"].get<int>()) + ")";
  }
  return text;
}

}  // namespace

std::vector<OptionHelp> VoiceOptionHelp() {
  return {{"--voices", "gm|written",
           "gm: the style's voices mapped for a General MIDI player (stand-ins, articulations on free channels, "
           "drum keys moved); written: as the style wrote them"},
          {"--noise", "play|leave-out", "with the map: noise notes (96 and up) played as effects (play) or left out"}};
}

bool ReadVoiceOptions(const ParsedArgs& args, VoiceOptions& out) {
  if (auto v = args.Value("--voices")) {
    if (*v == "gm") {
      out.voices = VoicesChoice::GeneralMidi;
    } else if (*v == "written") {
      out.voices = VoicesChoice::Written;
    } else {
      std::cerr << "vambrio-cli: --voices takes gm or written, not " << *v << "\n";
      return false;
    }
  }
  if (auto v = args.Value("--noise")) {
    if (*v == "play") {
      out.noise = NoiseNotes::PlayAsEffects;
    } else if (*v == "leave-out") {
      out.noise = NoiseNotes::LeaveOut;
    } else {
      std::cerr << "vambrio-cli: --noise takes play or leave-out, not " << *v << "\n";
      return false;
    }
  }
  return true;
}

std::shared_ptr<const SoundFontCatalog> CatalogFor(const std::string& explicitSoundFont, std::string& note) {
  const platform::SoundFontChoice choice = platform::FindSoundFont(explicitSoundFont);
  if (!explicitSoundFont.empty() && choice.path != explicitSoundFont) {
    note = explicitSoundFont + ": not a SoundFont that can be read";
    return nullptr;
  }
  if (choice.path.empty()) {
    note = "no SoundFont found: the voices of a General MIDI SoundFont are shown";
    return std::make_shared<SoundFontCatalog>(GeneralMidiCatalog());
  }
  CatalogResult r = ReadSoundFontCatalog(choice.path);
  if (!r.catalog) {
    note = choice.path + ": " + r.error;
    return nullptr;
  }
  return std::make_shared<SoundFontCatalog>(std::move(*r.catalog));
}

nlohmann::ordered_json VoicesJson(const VoiceMap& map) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const ResolvedVoice& v : ResolveStyleVoices(map)) {
    const VoiceResolution& r = v.resolution;
    out.push_back({
        {"channel", v.channel + 1},
        {"part", PartName(v.part)},
        {"requested", {{"msb", r.requested.msb}, {"lsb", r.requested.lsb}, {"program", r.requested.program}}},
        {"requested_name", r.requestedName},
        {"family", r.drums ? "drums" : FamilyName(r.family)},
        {"resolved", {{"bank", r.bank}, {"program", r.program}, {"name", r.presetName}}},
        {"how", HowText(r.how)},
        {"articulations", ArticulationsJson(r, map.Settings().noise)},
        {"moved_keys", MovedKeysJson(r, map.Use().Find(v.channel))},
    });
  }
  return out;
}

void PrintVoices(std::ostream& out, const VoiceMap& map) {
  const std::vector<ResolvedVoice> voices = ResolveStyleVoices(map);
  for (const ResolvedVoice& v : voices) {
    out << "  Channel " << v.channel + 1;
    if (*PartName(v.part)) out << " (" << PartName(v.part) << ")";
    out << ": " << DescribeVoice(v.resolution) << "\n";
    const auto articulations = ArticulationsJson(v.resolution, map.Settings().noise);
    if (!articulations.empty()) out << "      articulations: " << ArticulationsText(articulations) << "\n";
    const auto moved = MovedKeysJson(v.resolution, map.Use().Find(v.channel));
    if (!moved.empty()) out << "      keys moved: " << MovedKeysText(moved) << "\n";
  }
  if (const int standIns = StandInCount(voices); standIns > 0)
    out << "  " << standIns << (standIns == 1 ? " voice" : " voices") << " of this style "
        << (standIns == 1 ? "is" : "are") << " played by stand-ins on this SoundFont\n";
}

bool MapFileForGeneralMidi(std::vector<uint8_t>& midi, const StyleModel& m, const VoiceOptions& options) {
  const StyleVoiceUse use = GatherVoiceUse(m);
  const VoiceMap map(use, std::make_shared<SoundFontCatalog>(GeneralMidiCatalog()),
                     GeneralMidiFileSettings(midi, options.noise));
  auto mapped = MapMidiFile(midi, map);
  if (!mapped) return false;
  midi = std::move(*mapped);
  return true;
}

bool MapFileForGeneralMidi(const std::string& path, const StyleModel& m, const VoiceOptions& options) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> midi((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && !in) return false;
  in.close();
  if (!MapFileForGeneralMidi(midi, m, options)) {
    std::cerr << path << ": the written file could not be read back to map its voices\n";
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(midi.data()), static_cast<std::streamsize>(midi.size()));
  out.close();
  if (!out) std::cerr << path << ": the file could not be written\n";
  return static_cast<bool>(out);
}

}  // namespace vambrio::cli
