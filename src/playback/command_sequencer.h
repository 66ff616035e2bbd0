// What the sequencers on the built-in synthesizer and on a MIDI port share:
// the file name, Wait and Notify for the next command, and the reading of a
// command ("open", "play", "stop", "prev", "close") into the operation that
// does it, with the completion each command raises when Notify was set.
#pragma once

#include <string>

#include "playback/sequencer_settings.h"

namespace vambrio::platform {

class CommandSequencer : public SequencerSettings {
 public:
  std::string LastError() const override { return lastError_; }

  // Every command completes before it returns, except "play", which returns
  // at once whatever Wait says: the owner's thread never waits for the music.
  bool Command(const std::string& command) final {
    const bool notify = notify_;
    wait_ = false;  // Wait and Notify apply to this command only
    notify_ = false;
    bool ok = false;
    if (command == "open") {
      ok = Open();
    } else if (command == "play") {
      ok = Play(notify);
      if (!ok && notify) PostCompletion(NotifyCode::Failed);
      return ok;  // a play that starts completes when it ends
    } else if (command == "stop") {
      ok = Stop();
    } else if (command == "prev") {
      ok = Prev();
    } else if (command == "close") {
      ok = Close();
    } else {
      lastError_ = "The sequencer knows no command \"" + command + "\".";
    }
    if (notify) PostCompletion(ok ? NotifyCode::Successful : NotifyCode::Failed);
    return ok;
  }

 protected:
  virtual bool Open() = 0;
  virtual bool Play(bool notify) = 0;
  virtual bool Stop() = 0;
  virtual bool Prev() = 0;
  virtual bool Close() = 0;
  // The completion of a command, raised later on the owner's thread.
  virtual void PostCompletion(NotifyCode code) = 0;

  std::string lastError_;
};

}  // namespace vambrio::platform
