// Loading a style as the window does it: the model side of Entry. The result
// carries everything the window shows; the window fills its controls from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/errors.h"
#include "model/style_model.h"

namespace vambrio {

inline constexpr const char* kReadyText =
    "Ready - To play, select section and click Play or Enter, or just double click on a section.";
inline constexpr const char* kPlayingText = "Playing - click Stop or Enter to halt.";
inline constexpr const char* kCouldNotOpenText = "This file could not be opened";
inline constexpr const char* kCouldNotProcessText = "The program could not process this file";
inline constexpr const char* kAllSections = "All Sections";

// The file name part of a path: the text after the last '/' (or the whole path).
std::string FileNamePart(const std::string& path);

struct EntryResult {
  enum class Outcome {
    Loaded,          // read and scanned
    CouldNotOpen,    // "This file could not be opened" (step 10); nothing else changes
    CouldNotProcess, // "The program could not process this file" (step 11); status and size still set
    Reported,        // an error went to the error reporter naming "Entry"
  };
  Outcome outcome = Outcome::Reported;

  // Steps 3-9, always done: every part box checked, Play enabled, Stop
  // disabled, master-volume slider 0, the caption.
  std::string caption;

  // The message box text for CouldNotOpen and CouldNotProcess.
  std::string message;
  // Why, in words: "the file ends inside its track: 500 of 6,576 bytes".
  std::string reason;
  // The message with a second line that names the file and the reason.
  std::string MessageWithReason(const std::string& path) const {
    return reason.empty() ? message : message + "\n" + FileNamePart(path) + ": " + reason;
  }

  // Steps 13-17, present only when the outcome is Loaded.
  bool labelsSet = false;
  std::string nameLine;                   // lblStyleName
  std::string tempoText;                  // lblTempo
  std::string timeSignatureText;          // lblTimeSignature
  std::vector<std::string> sectionLines;  // cboSections: "All Sections" and 25 section lines
  int masterVolume = 0;                   // SlidMasterVolume
  // What is wrong with a style that loaded all the same ("3 malformed data bytes").
  std::vector<std::string> warnings;

  // Steps 18-20, present for Loaded and CouldNotProcess.
  bool statusSet = false;
  std::string statusText;  // lblStatus
  std::string sizeText;    // lblSize
};

// Loads the style at path into m as Entry does. gmPlayer is chkGM. Errors
// that Entry reports (and TextData's) go to `errors`.
EntryResult Entry(StyleModel& m, const std::string& path, bool gmPlayer, ErrorSink& errors);

// The warnings of a scanned style: "N malformed data bytes" when its channel
// messages hold data bytes of 128 or more; empty for a well-formed style.
std::vector<std::string> LoadWarnings(const StyleModel& m);

// FileSize with the pattern "##,###": grouped digits, no leading zeros, empty for 0.
// The separator is the locale's thousands separator, a comma when it has none.
std::string FormatSize(int64_t size);

}  // namespace vambrio
