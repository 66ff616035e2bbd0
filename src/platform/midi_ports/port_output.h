// The sound source on a MIDI port: the port's timed output (a sending thread
// on the monotonic clock) shared by the classic Play's sequencer and one live
// client, as the built-in synthesizer is shared: whoever starts takes the
// port from the other, who is stopped and told, and every channel is
// silenced in between. A port that goes away is reconnected by its owner
// (kept_midi_ports.h); what is sent meanwhile is lost.
//
// Everything here is called on the owner's thread (the window's), except
// what the sending thread does for the live client.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "realtime/live_output.h"
#include "platform/midi_ports/kept_midi_ports.h"
#include "platform/midi_ports/midi_sender.h"
#include "platform/midi_ports/port_sequencer.h"
#include "platform/midi_ports/realtime_port_source.h"
#include "playback/sequencer.h"

namespace vambrio::platform {

class PortOutput final : public LiveOutput, public Sequencer {
 public:
  PortOutput(std::unique_ptr<MidiOutPort> port, MonoClock& clock, int sampleRate = 48000);
  ~PortOutput() override;  // every channel silenced
  PortOutput(const PortOutput&) = delete;
  PortOutput& operator=(const PortOutput&) = delete;

  MidiOutPort& Port() { return *port_; }

  // The sequencer: "open" takes the port from the live client. Completion
  // events are raised in Pump, which the owner calls when NotifyFd is readable.
  void SetFileName(const std::string& path) override { sequencer_->SetFileName(path); }
  std::string FileName() const override { return sequencer_->FileName(); }
  void SetWait(bool wait) override { sequencer_->SetWait(wait); }
  void SetNotify(bool notify) override { sequencer_->SetNotify(notify); }
  void SetTimeFormat(int format) override { sequencer_->SetTimeFormat(format); }
  bool Command(const std::string& command) override;
  int64_t Length() const override { return sequencer_->Length(); }
  std::string LastError() const override { return sequencer_->LastError(); }
  int NotifyFd() const { return sequencer_->NotifyFd(); }
  void Pump() { sequencer_->Pump(); }
  // Called when the live client takes the port from a file that plays.
  void SetTakenAwayHandler(std::function<void()> handler) { sequencerTakenAway_ = std::move(handler); }

  // The live client.
  bool AttachLiveClient(realtime::RealtimeClient& client, std::function<void()> onTakenAway,
                        std::function<void()> onOutputLost) override;
  void DetachLiveClient() override;
  bool LiveClientAttached() const override { return live_ != nullptr; }
  // A kept port that is away (its device or program left, its MIDI system
  // stopped) is named until it is back.
  std::string Problem() const override;
  uint64_t Underruns() const override { return 0; }
  int SampleRate() const override { return rate_; }

  void Release() override;

 private:
  void TakeFromLive();
  void TakeFromSequencer();

  std::unique_ptr<MidiOutPort> port_;
  const KeptMidiOutput* kept_;  // port_, when it is one
  MonoClock& clock_;
  int rate_;
  std::unique_ptr<MidiSender> sender_;
  std::unique_ptr<PortSequencer> sequencer_;
  bool sequencerOpen_ = false;  // a file is open: the sequencer holds the port
  std::function<void()> sequencerTakenAway_;
  std::unique_ptr<RealtimePortSource> live_;
  std::function<void()> liveTakenAway_;
};

}  // namespace vambrio::platform
