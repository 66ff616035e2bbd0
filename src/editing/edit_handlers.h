// The editing commands of the main window as plain procedures: each handler
// of the window calls one of these and applies the ControlChanges it gets
// back. Message boxes, the input box and the error reporter come in as the
// platform's interfaces.
#pragma once

#include <optional>
#include <string>

#include "model/errors.h"
#include "model/style_model.h"
#include "editing/input_box.h"
#include "model/message_box.h"

namespace vambrio {

inline constexpr const char* kSelectStyleFirstText = "Please select a style first";

// What a handler asks the window to do with its controls. A field without a
// value leaves its control as it is.
struct ControlChanges {
  std::optional<bool> SetEnabled;         // cmdSet
  std::optional<bool> RestoreEnabled;     // cmdRestore
  std::optional<int> MasterVolumeSlider;  // SlidMasterVolume's value; 0 for a style without volume events
  std::optional<std::string> TempoLabel;  // lblTempo's caption
  // Set ended a requested playback: disable cmdStop, enable cmdPlay and give
  // it the default-button role, as Stop does; the running playback ends at
  // its next step.
  bool EndPlayback = false;
};

struct EditResult {
  enum class Outcome {
    Done,         // the style's bytes were changed (or written, for a save)
    NothingToDo,  // nothing to apply, or the user cancelled: no message
    Refused,      // a message box said why; nothing changed
    Reported,     // a failure went to the error reporter
  };
  Outcome outcome = Outcome::NothingToDo;
  ControlChanges view;
};

// Master volume. The slider's click enables Set and Undo.
ControlChanges SlidMasterVolume_Click();
// Rescales every volume event to the slider's value (see ApplyMasterVolume);
// NothingToDo when the style has no average to scale from.
EditResult cmdSet_Click(StyleModel& m, int slider);
// Puts the loaded volume values back and the slider to MasterVolume.
ControlChanges cmdRestore_Click(StyleModel& m);

// The menu command: false after "Please select a style first"; true when the
// window is to show frmAddVolumeEvents (or bring an open one forward).
bool mnuVolumeEvents_Click(const StyleModel& m, platform::MessageBoxes& boxes);
// frmAddVolumeEvents' OK: InsertVolumeEvents, a refusal shown in a message
// box, the slider set to the new MasterVolume.
EditResult AddVolumeEvents_OK(StyleModel& m, bool gmPlayer, platform::MessageBoxes& boxes, ErrorSink& errors);

// lblTempo_DblClick and mnuTempo_Click: asks for the new tempo and writes it
// into every tempo event. Failures are reported as "TempoEdit".
EditResult TempoEdit(StyleModel& m, platform::InputBox& input, platform::MessageBoxes& boxes, ErrorSink& errors);

}  // namespace vambrio
