#include "editing/master_volume.h"

#include <algorithm>

#include "model/checked.h"

namespace vambrio {
namespace {

// Writes one byte at a recorded position. Positions come from the scan of
// these very bytes; one outside them is skipped rather than written.
void Put(StyleModel& m, int32_t pos, int value) {
  if (pos > 0 && static_cast<size_t>(pos) < m.StyleData.size()) m.StyleData[static_cast<size_t>(pos)] = static_cast<uint8_t>(value);
}

size_t Slots(const StyleModel& m) { return std::min(m.VolumeEventPos.size(), m.VolumeEventValue.size()); }

}  // namespace

uint8_t ScaledVolume(int slider, int masterVolume, int loaded) {
  double v = RoundHalfEven(static_cast<double>(slider) / masterVolume * loaded);
  if (v > 127) v = 127;
  if (v < 0) v = 0;
  return static_cast<uint8_t>(v);
}

bool ApplyMasterVolume(StyleModel& m, int slider) {
  if (m.MasterVolume <= 0) return false;
  for (size_t i = 0; i < Slots(m); ++i) {
    if (m.VolumeEventPos[i] > 0) Put(m, m.VolumeEventPos[i], ScaledVolume(slider, m.MasterVolume, m.VolumeEventValue[i]));
  }
  return true;
}

void RestoreVolumes(StyleModel& m) {
  for (size_t i = 0; i < Slots(m); ++i) {
    if (m.VolumeEventPos[i] > 0) Put(m, m.VolumeEventPos[i], m.VolumeEventValue[i]);
  }
}

}  // namespace vambrio
