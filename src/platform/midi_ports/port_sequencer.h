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
#include "platform/midi_ports/midi_file_source.h"
#include "platform/midi_ports/midi_sender.h"
#include "playback/command_sequencer.h"

namespace vambrio::platform {

class PortSequencer final : public CommandSequencer {
 public:
  PortSequencer(MidiSender& sender, MonoClock& clock);
  ~PortSequencer() override;
  PortSequencer(const PortSequencer&) = delete;
  PortSequencer& operator=(const PortSequencer&) = delete;

  int64_t Length() const override;

  int NotifyFd() const { return eventFd_; }
  void Pump();

 private:
  bool Open() override;
  bool Play(bool notify) override;
  bool Stop() override;
  bool Prev() override;
  bool Close() override;
  void PostCompletion(NotifyCode code) override { Post(code); }
  void Post(NotifyCode code);
  void AbortNotifyingPlay();
  static void OnEnd(void* self);

  MidiSender& sender_;
  MonoClock& clock_;

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
