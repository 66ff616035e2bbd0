// "Any chord": the playback file of a section played over any chord by the
// style's complete chord rules. The file is exactly the one the classic
// assembly writes with the same choices (header, setup, drum setup, events,
// delta times, channels, reset) except for the note numbers and velocities.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "chord/chord_name.h"
#include "chord/chord_rules.h"
#include "chord/note_mapping.h"
#include "chord/store.h"
#include "model/errors.h"
#include "model/play_choices.h"
#include "model/style_model.h"

namespace vambrio {

// Every note follows its channel's rule for the chord; a channel that does
// not sound on the chord (its chord or note mute) or whose part box is
// cleared plays its notes with velocity 0. A channel's rule is made ready for
// the chord at its first note.
class AnyChordNotes final : public NoteHook {
 public:
  AnyChordNotes(const SectionRules& rules, const Chord& chord, const PlayChoices& choices);
  AnyChordNotes(SectionRules&&, const Chord&, const PlayChoices&) = delete;  // the rules must outlive the hook
  void MapNote(int channel, int& note, int& velocity) const override;

 private:
  const SectionRules& rules_;
  Chord chord_;
  std::array<bool, 16> partOn_{};
  mutable std::array<std::optional<ChannelMapping>, 16> mappings_;
};

// Assembles section s over the chord in OutData, as AssembleSingleTrack does;
// the events in front of the first section follow the same section's rules.
// The section's rules are those of m.CurrentSectionName.
bool AssembleAnyChord(StyleModel& m, int16_t s, const PlayChoices& choices, const ChordRules& rules,
                      const Chord& chord, ErrorSink& errors);

// The same, written to playerTmpPath (as MakeSingleTrack).
void MakeAnyChordTrack(StyleModel& m, int16_t s, const PlayChoices& choices, const ChordRules& rules,
                       const Chord& chord, ErrorSink& errors, const std::string& playerTmpPath,
                       const std::function<void()>& closeSequencer);

}  // namespace vambrio
