// The dialogs of the set-list window "Songs".
#pragma once

#include <string>
#include <vector>

namespace vambrio::platform {

class SongDialogs {
 public:
  virtual ~SongDialogs() = default;
  // The chosen file, "" when the user cancelled.
  virtual std::string OpenSetList(const std::string& startPath) = 0;
  virtual std::string SaveSetList(const std::string& startPath) = 0;  // ".vset" added to a bare name
  // Lead sheets to import (iReal Pro links in text or HTML files, ChordPro, MusicXML, .mxl); none: cancelled.
  virtual std::vector<std::string> ImportFiles(const std::string& startPath) = 0;
  // A style for a song.
  virtual std::string ChooseStyle(const std::string& startPath) = 0;
  // A bank of registrations (.vreg).
  virtual std::string ChooseRegistrationBank(const std::string& startPath) = 0;
};

}  // namespace vambrio::platform
