// The sequencer on a MIDI port: the same commands as the one on the built-in
// synthesizer ("open", "play", "stop", "prev", "close"), with the file's
// events sent at their time by the timed output. "stop" and "close" silence
// every channel of the port.
//
// Completion events are raised on the owner's thread: the owner watches
// NotifyFd() in its event loop and calls Pump() when it is readable.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "midi/midi_file_events.h"
#include "platform/midi_file_source.h"
#include "platform/midi_sender.h"
#include "platform/sequencer.h"

namespace vambrio::platform {

class PortSequencer final : public Sequencer {
 public:
  PortSequencer(MidiSender& sender, MonoClock& clock);
  ~PortSequencer() override;
  PortSequencer(const PortSequencer&) = delete;
  PortSequencer& operator=(const PortSequencer&) = delete;

  void SetFileName(const std::string& path) override { fileName_ = path; }
  std::string FileName() const override { return fileName_; }
  void SetWait(bool wait) override { wait_ = wait; }
  void SetNotify(bool notify) override { notify_ = notify; }
  void SetTimeFormat(int format) override { timeFormat_ = format; }
  // Every command completes before it returns, except "play", which returns
  // at once whatever Wait says.
  bool Command(const std::string& command) override;
  int64_t Length() const override;
  std::string LastError() const override { return lastError_; }

  int NotifyFd() const { return eventFd_; }
  void Pump();

 private:
  bool Open();
  bool Play(bool notify);
  bool Stop();
  bool Prev();
  bool Close();
  void Post(NotifyCode code);
  void AbortNotifyingPlay();
  static void OnEnd(void* self);

  MidiSender& sender_;
  MonoClock& clock_;
  std::string fileName_;
  bool wait_ = false;
  bool notify_ = false;
  int timeFormat_ = 0;
  std::string lastError_;

  midi::MidiFileEvents file_;
  std::unique_ptr<MidiFileSource> source_;  // the open file
  int64_t lengthMs_ = 0;
  bool playing_ = false;
  uint64_t plays_ = 0;
  uint64_t closedUpTo_ = 0;
  std::atomic<uint64_t> notifyingPlay_{0};  // the play that raises Done at its end
  std::atomic<uint64_t> endedPlay_{0};      // set by the sender's thread

  int eventFd_ = -1;
  std::vector<NotifyCode> pending_;  // completions of the owner's own commands
};

}  // namespace vambrio::platform
