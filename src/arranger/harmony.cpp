#include "arranger/harmony.h"

#include "model/style_model.h"

namespace vambrio::arranger {

SectionHarmony HarmonyFor(const StyleModel&, std::string_view) {
  SectionHarmony h;
  for (int c = 0; c < 16; ++c) h.part[static_cast<size_t>(c)] = static_cast<int8_t>(c >= 8 ? c : kNoPart);
  return h;
}

bool ChannelSounds(const SectionHarmony&, int, const Chord&) { return true; }

int FollowNote(const SectionHarmony&, int, int note, const Chord&) { return note; }

Retrigger RetriggerOf(const SectionHarmony&, int, int) { return Retrigger::PitchShift; }

}  // namespace vambrio::arranger
