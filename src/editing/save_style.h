// Saving the style as it stands in memory to a file the user picks.
#pragma once

#include <functional>
#include <string>

#include "editing/edit_handlers.h"
#include "editing/style_file_writer.h"
#include "model/errors.h"
#include "model/style_model.h"
#include "editing/file_dialogs.h"
#include "model/message_box.h"

namespace vambrio {

inline constexpr const char* kWaitBeforeSavingText = "Please wait until the playing stops before saving";
inline constexpr const char* kReplaceFileText = "This will replace existing file";
inline constexpr const char* kStyleSuffix = "sty";

// What SaveStyle needs of the window.
struct SaveServices {
  platform::FileDialogs& dialogs;
  platform::MessageBoxes& boxes;
  ErrorSink& errors;
  std::function<void()> pressStop;  // presses cmdStop (runs its click handler)
  FileWriter* writer = nullptr;    // the file system's when not set
};

// The menu command: "Please select a style first" without a style, else SaveStyle(StyleFileName).
EditResult mnuSaveStyle_Click(const StyleModel& m, SaveServices& s);

// Refused while playing (after pressing Stop); the save dialog (suffix "sty",
// starting at path); the replace question for an existing file; then the
// bytes of StyleData written atomically. Cancelling either question is
// silent. Failures are reported as "SaveStyle". The model is not changed.
EditResult SaveStyle(const StyleModel& m, const std::string& path, SaveServices& s);

}  // namespace vambrio
