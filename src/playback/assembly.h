// Assembling the playback file: a single-track Standard MIDI File with the
// style's setup events and one section, the chosen parts and chord type
// applied, framed by a drum setup and a reset of every channel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "chord/store.h"
#include "model/errors.h"
#include "model/play_choices.h"
#include "model/style_model.h"

namespace vambrio {

// The file the sequencer plays, in the program's own folder.
inline constexpr const char* kPlayerFileName = "Player.tmp";

// Builds the playback file for section s (0..25) in OutData, from index 0 to
// OutPos (which stands on its last byte). OutData is grown first when it
// could be too small for the worst case, so the assembly never runs out of
// room. False when the assembly failed; the failure is reported as
// "MakeSingleTrack". A note hook, when given, decides every note's number
// and velocity instead of the classic chord rule (Store).
bool AssembleSingleTrack(StyleModel& m, int16_t s, const PlayChoices& choices, ErrorSink& errors,
                         const NoteHook* hook = nullptr);

// Assembles section s and writes it to playerTmpPath. closeSequencer is
// called right before the file is rewritten, so that the sequencer lets go
// of it; it is not called when the assembly failed, and nothing is written then.
void MakeSingleTrack(StyleModel& m, int16_t s, const PlayChoices& choices, ErrorSink& errors,
                     const std::string& playerTmpPath, const std::function<void()>& closeSequencer,
                     const NoteHook* hook = nullptr);

// Writes the assembled file (OutData, index 0 to OutPos) to path, replacing
// whatever the file held. Failures are reported as "SaveFile".
void SaveFile(const StyleModel& m, const std::string& path, ErrorSink& errors);

}  // namespace vambrio
