#include "model/style_model.h"

#include "model/checked.h"

namespace vambrio {

StyleModel MakeStartupModel() {
  StyleModel m;
  for (int i = 0; i <= 16; ++i) m.Chord.CtabDestChannel[i] = static_cast<int16_t>(i);
  m.PlaybackStopped = true;
  return m;
}

int16_t ComputeMasterVolume(const StyleModel& m) {
  int32_t sum = 0;
  int32_t used = 0;
  for (size_t i = 0; i < m.VolumeEventPos.size() && i < m.VolumeEventValue.size(); ++i) {
    if (m.VolumeEventPos[i] > 0) {
      sum = ToInt32(int64_t{sum} + m.VolumeEventValue[i]);
      ++used;
    }
  }
  return used == 0 ? 0 : RoundToInt16(static_cast<double>(sum) / used);
}

int SectionCount(const StyleModel& m) {
  int n = 0;
  while (n < kSectionSlots && !m.SectionName[n].empty()) ++n;
  return n;
}

}  // namespace vambrio
