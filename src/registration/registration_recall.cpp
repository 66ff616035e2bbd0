#include "registration/registration_recall.h"

namespace vambrio::registration {

Registration AfterRecall(const Registration& now, const Registration& recalled, Freeze freeze) {
  Registration after = recalled;
  if (freeze.styleAndTempo) {
    after.styleFile = now.styleFile;
    after.tempo = now.tempo;
  }
  if (freeze.voices) after.voices = now.voices;
  return after;
}

std::vector<RecallChange> PlanRecall(const Registration& now, const Registration& recalled, Freeze freeze, bool playing) {
  using What = RecallChange::What;
  using When = RecallChange::When;
  const Registration after = AfterRecall(now, recalled, freeze);
  std::vector<RecallChange> changes;
  auto add = [&](bool differs, What what, When when = When::AtOnce, int index = 0) {
    if (differs) changes.push_back({what, when, index});
  };
  const When atBar = playing ? When::NextBarLine : When::AtOnce;
  const bool newStyle = after.styleFile != now.styleFile;
  add(newStyle, What::Style, atBar);
  // A new style brings its own tempo unless one is kept: the tempo is set again with it.
  add(after.tempo != now.tempo || (newStyle && after.tempo > 0), What::Tempo, newStyle ? atBar : When::AtOnce);
  add(after.section != now.section || newStyle, What::Section, atBar);
  for (int k = 0; k < 8; ++k)
    add(after.accompanimentParts[static_cast<size_t>(k)] != now.accompanimentParts[static_cast<size_t>(k)],
        What::AccompanimentPart, When::AtOnce, k);
  add(after.otsLink != now.otsLink, What::OtsLink);
  for (int p = 0; p < kPartCount; ++p)
    add(after.voices[static_cast<size_t>(p)] != now.voices[static_cast<size_t>(p)], What::Voice, When::AtOnce, p);
  add(after.splitPoint != now.splitPoint, What::SplitPoint);
  add(after.chordMemory != now.chordMemory, What::ChordMemory);
  add(after.autoFill != now.autoFill, What::AutoFill);
  add(after.chord != now.chord, What::Chord);
  add(after.voiceMap != now.voiceMap, What::VoiceMap);
  add(after.latency != now.latency, What::Latency);
  return changes;
}

}  // namespace vambrio::registration
