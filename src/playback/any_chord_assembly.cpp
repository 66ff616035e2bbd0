#include "playback/any_chord_assembly.h"

#include "chord/note_mapping.h"
#include "playback/assembly.h"

namespace vambrio {

AnyChordNotes::AnyChordNotes(const SectionRules& rules, const Chord& chord, const PlayChoices& choices)
    : rules_(rules), chord_(chord) {
  for (size_t ch = 0; ch < 16; ++ch) {
    const int part = PartOf(rules_[ch]);
    partOn_[ch] = part == kNoPart || choices.Parts[static_cast<size_t>(part - kRhythmSub)] != 0;
  }
}

void AnyChordNotes::MapNote(int channel, int& note, int& velocity) const {
  const auto ch = static_cast<size_t>(channel & 0x0F);
  if (!mappings_[ch]) mappings_[ch].emplace(rules_[ch], chord_);
  note = mappings_[ch]->Map(note);
  if (!partOn_[ch] || !mappings_[ch]->Sounds()) velocity = 0;
}

bool AssembleAnyChord(StyleModel& m, int16_t s, const PlayChoices& choices, const ChordRules& rules,
                      const Chord& chord, ErrorSink& errors) {
  const SectionRules section = rules.ForSection(m.CurrentSectionName);
  const AnyChordNotes notes(section, chord, choices);
  return AssembleSingleTrack(m, s, choices, errors, &notes);
}

void MakeAnyChordTrack(StyleModel& m, int16_t s, const PlayChoices& choices, const ChordRules& rules,
                       const Chord& chord, ErrorSink& errors, const std::string& playerTmpPath,
                       const std::function<void()>& closeSequencer) {
  const SectionRules section = rules.ForSection(m.CurrentSectionName);
  const AnyChordNotes notes(section, chord, choices);
  MakeSingleTrack(m, s, choices, errors, playerTmpPath, closeSequencer, &notes);
}

}  // namespace vambrio
