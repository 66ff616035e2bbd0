#include "platform/midi_ports/port_sequencer.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "midi/midi_length.h"

namespace vambrio::platform {
namespace {

void Wake(int fd) {
  uint64_t one = 1;
  ssize_t w = write(fd, &one, sizeof one);
  (void)w;
}

}  // namespace

PortSequencer::PortSequencer(MidiSender& sender, MonoClock& clock) : sender_(sender), clock_(clock) {
  eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

PortSequencer::~PortSequencer() {
  Close();
  if (eventFd_ >= 0) close(eventFd_);
}

bool PortSequencer::Open() {
  Close();
  const std::optional<midi::MidiFileToPlay> file = midi::ReadMidiFileToPlay(fileName_, lastError_);
  if (!file) return false;
  // The events' reader checks the header as the timing's does: a file with a timing has events.
  file_ = midi::ReadMidiFileEvents(file->bytes).value_or(midi::MidiFileEvents{});
  lengthMs_ = file->timing.LengthMs;
  source_ = std::make_unique<MidiFileSource>(file_);
  source_->SetEndHandler(&PortSequencer::OnEnd, this);
  lastError_.clear();
  return true;
}

bool PortSequencer::Play(bool notify) {
  if (!source_) {
    if (lastError_.empty()) lastError_ = "No file is open.";
    return false;
  }
  if (playing_) return true;
  ++plays_;
  if (notify) notifyingPlay_ = plays_;
  source_->Start(clock_.NowNs());
  sender_.SetSource(source_.get());
  playing_ = true;
  return true;
}

bool PortSequencer::Stop() {
  if (!source_) return false;
  AbortNotifyingPlay();
  sender_.Silence();
  if (playing_) source_->Pause(clock_.NowNs());
  playing_ = false;
  return true;
}

bool PortSequencer::Prev() {
  if (!source_) return false;
  if (playing_) Stop();
  source_->Rewind();
  return true;
}

bool PortSequencer::Close() {
  if (!source_) return true;
  AbortNotifyingPlay();
  closedUpTo_ = plays_;
  sender_.Silence();
  playing_ = false;
  source_.reset();
  file_ = {};
  lengthMs_ = 0;
  return true;
}

int64_t PortSequencer::Length() const { return source_ ? lengthMs_ : 0; }

void PortSequencer::Post(NotifyCode code) {
  pending_.push_back(code);
  Wake(eventFd_);
}

void PortSequencer::AbortNotifyingPlay() {
  if (notifyingPlay_.exchange(0) != 0) Post(NotifyCode::Aborted);
}

// On the sender's thread, when the file's end has been sent.
void PortSequencer::OnEnd(void* data) {
  auto* self = static_cast<PortSequencer*>(data);
  uint64_t play = self->notifyingPlay_.load();
  if (play != 0 && self->notifyingPlay_.compare_exchange_strong(play, 0)) {
    self->endedPlay_.store(play);
    Wake(self->eventFd_);
  }
}

void PortSequencer::Pump() {
  uint64_t count = 0;
  while (read(eventFd_, &count, sizeof count) == static_cast<ssize_t>(sizeof count)) {
  }
  std::vector<NotifyCode> ready;
  ready.swap(pending_);
  for (NotifyCode code : ready) RaiseDone(code);
  // The end of a file that has been closed since tells nothing any more.
  uint64_t ended = endedPlay_.exchange(0);
  if (ended != 0 && ended > closedUpTo_) RaiseDone(NotifyCode::Successful);
}

}  // namespace vambrio::platform
