#include "editing/volume_events.h"

#include <algorithm>

#include "editing/master_volume.h"
#include "loading/entry.h"
#include "loading/scan.h"
#include "model/checked.h"

namespace vambrio {
namespace {

// The insertion point must lie inside this style's track: after the header
// and the first event, and not past the track's end.
bool InsertionPointValid(const StyleModel& m) {
  int64_t trackEnd = int64_t{m.TrackLength} + 22;
  return m.SIntEndPos > 22 && m.SIntEndPos <= trackEnd && static_cast<size_t>(m.SIntEndPos) <= m.StyleData.size();
}

void PutBE32(std::vector<uint8_t>& out, size_t at, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) out[at + static_cast<size_t>(k)] = static_cast<uint8_t>(u >> (24 - 8 * k));
}

// Steps 2-6: the enlarged style assembled in OutData.
void AssembleEnlarged(StyleModel& m) {
  int32_t newTrackLength = ToInt32(int64_t{m.TrackLength} + kVolumeBlockSize);
  const auto sint = static_cast<size_t>(m.SIntEndPos);
  m.OutData.assign(m.StyleData.size() + kVolumeBlockSize, 0);
  auto block = VolumeEventBlock();
  auto out = std::copy(m.StyleData.begin(), m.StyleData.begin() + static_cast<std::ptrdiff_t>(sint), m.OutData.begin());
  out = std::copy(block.begin(), block.end(), out);
  out = std::copy(m.StyleData.begin() + static_cast<std::ptrdiff_t>(sint), m.StyleData.end(), out);
  m.OutPos = ToInt32(static_cast<int64_t>(out - m.OutData.begin()));
  PutBE32(m.OutData, 18, newTrackLength);
}

}  // namespace

std::array<uint8_t, kVolumeBlockSize> VolumeEventBlock() {
  std::array<uint8_t, kVolumeBlockSize> b{};
  for (int ch = 0; ch < 16; ++ch) {
    auto at = static_cast<size_t>(ch * 4);
    b[at] = 0x00;
    b[at + 1] = static_cast<uint8_t>(0xB0 + ch);
    b[at + 2] = 0x07;
    b[at + 3] = 0x40;
  }
  return b;
}

InsertResult InsertVolumeEvents(StyleModel& m, bool gmPlayer, ErrorSink& errors) {
  InsertResult r;
  if (m.InitialVolumeEventCount == 16) {
    r.outcome = InsertResult::Outcome::AlreadyHas;
    r.message = kAlreadyHasVolumeEventsText;
    return r;
  }
  if (!InsertionPointValid(m)) {
    r.outcome = InsertResult::Outcome::NoSInt;
    r.message = kNoSIntSectionText;
    return r;
  }
  // A scan that cannot walk the enlarged style would leave the model half
  // refilled; the style is then put back exactly as it was.
  StyleModel before = m;
  try {
    AssembleEnlarged(m);
    m.StyleData = m.OutData;
    // The playback assembly works in OutData too: give it the room loading gives.
    m.OutData.assign(m.StyleData.size() + 101, 0);
    m.InitialVolumeEventCount = 0;
    if (ScanStyle(m, gmPlayer, errors)) {
      m.MasterVolume = ComputeMasterVolume(m);
      r.outcome = InsertResult::Outcome::Inserted;
      return r;
    }
  } catch (const RuntimeError&) {
  } catch (const std::bad_alloc&) {
  }
  m = std::move(before);
  r.outcome = InsertResult::Outcome::CouldNotProcess;
  r.message = kCouldNotProcessText;
  return r;
}

std::array<std::string, 4> AddVolumeEventsLabels(const StyleModel& m) {
  return {
      "Some styles may not have volume controller events for all channels in all sections and hence only a "
      "portion of the style may be adjusted.",
      "This function adds a set of track volume events to the style before any other events which may or may "
      "not exist. ",
      "This style has " + std::to_string(m.InitialVolumeEventCount) +
          " initial volume events (i.e. before any Main section events).",
      " Click OK to add 16 more volume events.",
  };
}

}  // namespace vambrio
