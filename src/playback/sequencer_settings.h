// A sequencer's settings for its next command (the file name, Wait, Notify,
// the time format), kept as the owner sets them until the command.
#pragma once

#include <string>

#include "playback/sequencer.h"

namespace vambrio::platform {

class SequencerSettings : public Sequencer {
 public:
  void SetFileName(const std::string& path) override { fileName_ = path; }
  std::string FileName() const override { return fileName_; }
  void SetWait(bool wait) override { wait_ = wait; }
  void SetNotify(bool notify) override { notify_ = notify; }
  void SetTimeFormat(int format) override { timeFormat_ = format; }

 protected:
  // Hands the settings on to the sequencer that carries out the command.
  void HandOn(Sequencer& s) {
    s.SetFileName(fileName_);
    s.SetTimeFormat(timeFormat_);
    s.SetWait(wait_);
    s.SetNotify(notify_);
    wait_ = false;  // Wait and Notify apply to the next command only
    notify_ = false;
  }

  std::string fileName_;
  bool wait_ = false;
  bool notify_ = false;
  int timeFormat_ = 0;
};

}  // namespace vambrio::platform
