// One fuzz input: whatever bytes a user may open are loaded and scanned, as
// an XG and as a GM player, and their chord rules read; every section of an
// input that loads assembles into a well-formed file; the style is then
// edited in memory as the window edits it (initial volume events, a master
// volume, a new tempo), scanned again and assembled again. The input must end
// in an outcome, never in a crash, and an edit that went through must leave a
// style that scans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "../playback/assembly_fuzz.h"
#include "chord/chord_rules.h"
#include "editing/master_volume.h"
#include "editing/tempo_edit.h"
#include "editing/volume_events.h"
#include "loading/scan.h"
#include "model/checked.h"
#include "model/style_model.h"
#include "smf_check.h"
#include "voices/mapped_midi_file.h"

namespace vambrio::fuzz {

// The choices an input makes with its last bytes: playback options, the
// master-volume slider, the tempo.
struct FuzzChoices {
  uint32_t playBits = 0;
  int slider = 64;  // 1..127
  int tempo = 120;  // 32..280
  FuzzChoices(const uint8_t* data, size_t size) {
    auto byteFromEnd = [&](size_t k) { return size > k ? data[size - 1 - k] : uint8_t{0}; };
    playBits = static_cast<uint32_t>(byteFromEnd(0) | byteFromEnd(1) << 8);
    slider = 1 + byteFromEnd(2) % 127;
    tempo = 32 + (byteFromEnd(3) | byteFromEnd(4) << 8) % 249;
  }
};

// What loading derives after the scan; false where loading would report an error.
inline bool DeriveAsLoadingDoes(StyleModel& m) {
  try {
    m.DisplayTempo = RoundToInt16(ToInt16(int32_t{m.TempoQpm} * m.TimeSigDenominator) / 4.0);
    m.MasterVolume = ComputeMasterVolume(m);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

// Scans the edited style again and assembles it; what went wrong, or "".
inline std::string RescanAndAssemble(StyleModel& m, bool gm, const PlayChoices& choices, const char* edit) {
  SilentErrorSink errors;
  m.InitialVolumeEventCount = 0;
  if (!ScanStyle(m, gm, errors)) return std::string("the style no longer scans after ") + edit;
  std::string error = test::AssembleScannedSections(m, choices);
  return error.empty() ? "" : std::string("after ") + edit + ", " + error;
}

// The window's edits, one after the other; what went wrong, or "".
inline std::string EditScanAndAssemble(StyleModel& m, bool gm, const FuzzChoices& c, const PlayChoices& choices) {
  SilentErrorSink errors;
  InsertResult inserted = InsertVolumeEvents(m, gm, errors);
  if (inserted.outcome == InsertResult::Outcome::CouldNotProcess)
    return "the style no longer scans after initial volume events were inserted";
  if (inserted.outcome == InsertResult::Outcome::Inserted) {
    if (std::string e = RescanAndAssemble(m, gm, choices, "inserting volume events"); !e.empty()) return e;
    m.MasterVolume = ComputeMasterVolume(m);
  }
  if (ApplyMasterVolume(m, c.slider)) {
    for (size_t i = 0; i < m.VolumeEventPos.size(); ++i) {
      if (m.VolumeEventPos[i] > 0 && m.StyleData[static_cast<size_t>(m.VolumeEventPos[i])] > 127)
        return "a master volume left a volume of 128 or more";
    }
    if (std::string e = RescanAndAssemble(m, gm, choices, "setting a master volume"); !e.empty()) return e;
  }
  if (m.DisplayTempo != 0) {
    try {
      WriteTempo(m, static_cast<int16_t>(c.tempo));
    } catch (const RuntimeError&) {
      return "";  // refused (the tempo does not fit the style's time signature)
    }
    if (std::string e = RescanAndAssemble(m, gm, choices, "rewriting the tempo"); !e.empty()) return e;
  }
  return "";
}

// The voice map over a scanned style: the voices it plays gathered and
// resolved, its track played through the mapper into a General-MIDI-ready
// file that must read as a well-formed one.
inline std::string MapVoices(const StyleModel& m) {
  const voices::StyleVoiceUse use = voices::GatherVoiceUse(m);
  const voices::VoiceMap map(use, std::make_shared<voices::SoundFontCatalog>(voices::GeneralMidiCatalog()),
                             voices::GeneralMidiFileSettings(m.StyleData, voices::NoiseNotes::PlayAsEffects));
  for (const voices::ResolvedVoice& v : voices::ResolveStyleVoices(map))
    if (v.resolution.bank > voices::kDrumBank) return "a voice resolved to a bank above the drum kits";
  const auto mapped = voices::MapMidiFile(m.StyleData, map);
  if (!mapped) return "";
  const test::SmfFile f = test::ReadSmf(mapped->data(), mapped->size(), false);
  return f.ok() ? "" : "the voice-mapped file: " + f.error;
}

inline std::string FuzzOneInput(const uint8_t* data, size_t size) {
  // The bytes as a SoundFont: its preset data read without a fault.
  voices::ReadSoundFontCatalog(std::span<const uint8_t>(data, size));
  const ChordRules rules = ReadChordRules(std::span<const uint8_t>(data, size), static_cast<int64_t>(size) / 2);
  for (const RuleGroup& g : rules.groups)
    for (const std::string& section : g.sections) rules.ForSection(section);
  const FuzzChoices c(data, size);
  for (bool gm : {false, true}) {
    StyleModel m = test::ModelOfBytes(data, size);
    SilentErrorSink errors;
    if (!ScanStyle(m, gm, errors)) continue;
    if (std::string e = MapVoices(m); !e.empty()) return e;
    PlayChoices choices = test::ChoicesFrom(c.playBits);
    choices.GmPlayer = gm;
    const char* player = gm ? "GM player: " : "XG player: ";
    if (std::string e = test::AssembleScannedSections(m, choices); !e.empty()) return player + e;
    if (!DeriveAsLoadingDoes(m)) continue;
    if (std::string e = EditScanAndAssemble(m, gm, c, choices); !e.empty()) return player + e;
  }
  return "";
}

}  // namespace vambrio::fuzz
