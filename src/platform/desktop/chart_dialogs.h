// The dialogs of the Arranger window: its chord charts, exports, recordings
// and banks of registrations.
#pragma once

#include <string>

namespace vambrio::platform {

class ChartDialogs {
 public:
  virtual ~ChartDialogs() = default;
  // The chosen file, "" when the user cancelled.
  virtual std::string OpenChart(const std::string& startPath) = 0;
  virtual std::string SaveChart(const std::string& startPath) = 0;
  // An export's file; suffix "mid" or "wav".
  virtual std::string ExportFile(const std::string& startPath, const std::string& suffix) = 0;
  // A bank of registrations (".vreg") to open, or to save as.
  virtual std::string OpenBank(const std::string& startPath) = 0;
  virtual std::string SaveBank(const std::string& startPath) = 0;
  // A message with an OK button.
  virtual void Show(const std::string& text) = 0;
};

}  // namespace vambrio::platform
