// Initial volume events: a full set of sixteen channel-volume events (one per
// MIDI channel, value 64) placed right after the style's "SInt" marker.
#pragma once

#include <array>
#include <string>

#include "model/errors.h"
#include "model/style_model.h"

namespace vambrio {

inline constexpr const char* kAlreadyHasVolumeEventsText = "This style already has initial volume events";
inline constexpr const char* kNoSIntSectionText = "This style has no SInt section; volume events cannot be added";
inline constexpr int kVolumeBlockSize = 64;

struct InsertResult {
  enum class Outcome {
    Inserted,         // StyleData 64 bytes longer, re-scanned, MasterVolume recomputed
    AlreadyHas,       // exactly 16 initial volume events: refused, nothing changed
    NoSInt,           // no "SInt" marker in this style: refused, nothing changed
    CouldNotProcess,  // the enlarged style could not be scanned: the style is left as it was
  };
  Outcome outcome = Outcome::CouldNotProcess;
  std::string message;  // the text to show for a refusal, empty when inserted
};

// The 64 bytes inserted: delta 0, B0+channel, controller 7, value 64 for
// channels 0 to 15, each event with its own status byte.
std::array<uint8_t, kVolumeBlockSize> VolumeEventBlock();

// InsertVolumeEvents on the model: inserts the block at SIntEndPos, adds 64 to
// the track length, re-scans (gmPlayer is chkGM) and recomputes MasterVolume.
// The window then sets SlidMasterVolume to m.MasterVolume.
InsertResult InsertVolumeEvents(StyleModel& m, bool gmPlayer, ErrorSink& errors);

// The texts of frmAddVolumeEvents' Label1..Label4, the count read from m now.
std::array<std::string, 4> AddVolumeEventsLabels(const StyleModel& m);

}  // namespace vambrio
