// The settings file "Vambrio.ini" and the two plain text file helpers it is
// read and written with, plus the command line's style name.
#pragma once

#include <string>

#include "model/errors.h"

namespace vambrio {

inline constexpr const char* kSettingsFileName = "Vambrio.ini";

// The whole content of the file at path. A file that does not exist gives an
// empty text silently; any other failure is reported as
// "ReadTextFileContents" and also gives an empty text.
std::string ReadTextFileContents(const std::string& path, ErrorSink& errors);

// Writes contents followed by CR LF. append false creates or empties the
// file first. Failures are reported as "WriteTextFileContents".
void WriteTextFileContents(const std::string& contents, const std::string& path, bool append, ErrorSink& errors);

// The two choices the settings file keeps between runs.
struct WindowSettings {
  bool GmPlayer = false;     // chkGM: line 1 "GM" (checked) or "XG"
  bool IncludeSysex = true;  // mnuSysex: line 2 "True" or "False"
};

// Applies the settings text: line 1 "GM" gives the GM player and anything
// else (or no line) the XG player; line 2 "True" or "False" sets the sysex
// choice and anything else leaves it as it is. Lines end at CR LF and the
// comparisons are exact.
void ApplySettingsText(const std::string& text, WindowSettings& settings);

// The text the program writes at its end: line 1, CR LF, line 2, CR LF.
// WriteTextFileContents adds the final CR LF, so the file ends with an empty line.
std::string SettingsText(const WindowSettings& settings);

// The style file named by the command line's argument text, or an empty
// text when there is none. A text that begins with a double quote loses its
// first and its last character.
std::string StyleNameFromCommandLine(const std::string& argumentText);

}  // namespace vambrio
