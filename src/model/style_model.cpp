#include "model/style_model.h"

namespace vambrio {

StyleModel MakeStartupModel() {
  StyleModel m;
  for (int i = 0; i <= 16; ++i) m.Chord.CtabDestChannel[i] = static_cast<int16_t>(i);
  m.PlaybackStopped = true;
  return m;
}

int SectionCount(const StyleModel& m) {
  int n = 0;
  while (n < kSectionSlots && !m.SectionName[n].empty()) ++n;
  return n;
}

}  // namespace vambrio
