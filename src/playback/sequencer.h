// The MIDI sequencer that plays "Player.tmp": the commands of a media
// control ("open", "play", "stop", "prev", "close"), Wait and Notify for the
// next command, lengths in milliseconds, and the completion event Done.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vambrio::platform {

// Notify codes of the completion event.
enum class NotifyCode : int16_t { Successful = 1, Superseded = 2, Aborted = 4, Failed = 8 };

class Sequencer {
 public:
  virtual ~Sequencer() = default;
  virtual void SetFileName(const std::string& path) = 0;
  virtual std::string FileName() const = 0;
  // Wait: the next command returns only when it has completed. Notify: the
  // completion of the next command raises Done. Both apply to the next command only.
  virtual void SetWait(bool wait) = 0;
  virtual void SetNotify(bool notify) = 0;
  // 0: positions and lengths in milliseconds (the only format used).
  virtual void SetTimeFormat(int format) = 0;
  // "open", "play", "stop", "prev" or "close"; false when the command failed.
  // The playback looks only at the result of "open": a file that cannot be
  // opened is not played.
  virtual bool Command(const std::string& command) = 0;
  // Length of the open file in milliseconds (0 when none is open).
  virtual int64_t Length() const = 0;
  // Why the last failed command or the device failed, in words for the user
  // (empty when there is nothing to say).
  virtual std::string LastError() const { return {}; }
  // The completion event; raised on the thread that owns the sequencer, never
  // from inside Command. A play cut short by "stop" or "close" completes with
  // Aborted; a device that fails during a play completes it with Failed.
  void SetDoneHandler(std::function<void(NotifyCode)> handler) { done_ = std::move(handler); }

 protected:
  void RaiseDone(NotifyCode code) {
    if (done_) done_(code);
  }

 private:
  std::function<void(NotifyCode)> done_;
};

}  // namespace vambrio::platform
