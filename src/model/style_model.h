// The one in-memory picture of the loaded style and of the player's state.
// Positions are indices into StyleData, counted from 0 (index = file offset).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vambrio {

inline constexpr int kSectionSlots = 26;   // entries 0..25 of the section table
inline constexpr int kChordSlots = 26;     // chord tables, indexed by channel + 1
inline constexpr int kVolumeTableStart = 17;
inline constexpr int kVolumeTableStep = 16;
inline constexpr int kTempoTableStart = 5;
inline constexpr int kTempoTableStep = 4;

// Per-channel chord tables read from the CASM block, indexed by MIDI channel + 1.
struct ChordTables {
  std::array<int16_t, kChordSlots> CtabDestChannel{};
  std::array<int16_t, kChordSlots> CtabSourceRoot{};
  std::array<int16_t, kChordSlots> CtabMajorEnable{};
  std::array<int16_t, kChordSlots> CtabMinorEnable{};
  std::array<int16_t, kChordSlots> CtabNoteLow{};
  std::array<int16_t, kChordSlots> CtabNoteHigh{};
  // Why the entries of the section's groups could not all be read as
  // written, in words ("" when they could); the tables never depend on it.
  std::string Damage;
};

struct StyleModel {
  // File image
  std::string StyleFileName;
  std::vector<uint8_t> StyleData;
  int32_t FileSize = 0;
  std::vector<uint8_t> OutData;
  int32_t OutPos = 0;

  // Walk state, shared by every walk over the track
  int32_t Pos = 0;
  int32_t EventStart = 0;
  int StatusByte = 0;  // 0: no status in force; otherwise 128..255
  bool RunningStatus = false;
  std::string TextStr;

  // What the section scan learns
  std::string StyleName;
  std::string StyleCopyright;
  int32_t TrackLength = 0;
  int16_t TempoQpm = 0;
  int16_t TimeSigNumerator = 0;
  int16_t TimeSigDenominator = 0;
  int16_t DisplayTempo = 0;
  std::array<std::string, kSectionSlots> SectionName{};
  std::array<int32_t, kSectionSlots> SectionStart{};
  std::array<int32_t, kSectionSlots> SectionEnd{};
  int32_t SIntEndPos = 0;
  std::vector<int16_t> VolumeEventValue = std::vector<int16_t>(kVolumeTableStart, 0);
  std::vector<int32_t> VolumeEventPos = std::vector<int32_t>(kVolumeTableStart, 0);
  int16_t InitialVolumeEventCount = 0;
  std::vector<int16_t> TempoEventValue = std::vector<int16_t>(kTempoTableStart, 0);
  std::vector<int32_t> TempoEventPos = std::vector<int32_t>(kTempoTableStart, 0);
  int16_t MasterVolume = 0;
  // Data bytes of 128 or more in the track's channel messages (a malformed
  // file that still loads; playback writes them as 127).
  int32_t MalformedDataBytes = 0;

  // Chord tables
  ChordTables Chord;

  // Player state
  std::string CurrentSectionName;
  bool PlayRequested = false;
  bool PlaybackStopped = true;
};

// The model as the program starts: every field empty or 0, PlaybackStopped
// true, the volume tables with entries 0..16, and CtabDestChannel entries
// 0..16 holding their own index.
StyleModel MakeStartupModel();

// MasterVolume as loading and the insertion of volume events compute it: the
// average of the used volume slots' values, the sum in 32 bits, rounded half
// to even; 0 when no slot is used. Raises error 6 when the sum overflows.
int16_t ComputeMasterVolume(const StyleModel& m);

// Number of sections the last scan found (the entries before the first empty name).
int SectionCount(const StyleModel& m);

}  // namespace vambrio
