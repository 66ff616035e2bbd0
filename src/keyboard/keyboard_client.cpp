#include "keyboard/keyboard_client.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "midi/midi_bytes.h"

namespace vambrio::keyboard {
namespace {

using namespace midi::status;
using namespace midi::cc;

}  // namespace

KeyboardClient::KeyboardClient(KeyboardRouter& router, KeyboardTarget& next, realtime::RealtimeClient* inner,
                               PartSounds* sounds)
    : router_(router), next_(next), inner_(inner), sounds_(sounds ? *sounds : ownSounds_) {}

bool KeyboardClient::AddInput(platform::MidiInPort* port) {
  if (!port || inputCount_ == kMaxInputs) return false;
  inputs_[inputCount_++] = port;
  return true;
}

void KeyboardClient::Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) {
  blockStart_ = block.sampleTime;
  if (std::exchange(resend_, false)) Apply(last_, 0, events, false);
  while (auto setup = setups_.TryPop()) Apply(*setup, 0, events, true);
  KeepSounds(0, events);  // a voice chosen goes before the keys of the block
  block_ = &events;
  ReadInputs();
  block_ = nullptr;
  const size_t ours = events.size();
  if (inner_) inner_->Process(block, events);
  AfterInner(ours, events);
}

void KeyboardClient::Meta(int64_t sample, int64_t tick, uint8_t type, const uint8_t* data, uint32_t size) {
  if (metaNext_) metaNext_->Meta(sample, tick, type, data, size);
  if (type != midi::meta::kMarker || size != 6 || std::memcmp(data, "Main ", 5) != 0 || data[5] < 'A' || data[5] > 'D') return;
  mainStarted_ = data[5] - 'A';
  mainSample_ = sample;
}

void KeyboardClient::ReadInputs() {
  const bool listening = listening_.load(std::memory_order_relaxed);
  platform::MidiMessage m;
  for (size_t i = 0; i < inputCount_; ++i) {
    while (inputs_[i]->Pop(m)) {
      if (listening) router_.Handle(m, *this);
    }
  }
  if (wasListening_ && !listening) router_.Handle(platform::MidiMessage{0, 1, {kSystemReset, 0, 0}}, *this);
  wasListening_ = listening;
}

// A setting's messages on the parts' channels (Right 3's are left out: no
// part plays there). A recall also makes the setting's sounds the parts'.
void KeyboardClient::Apply(const PartSetup& setup, uint32_t at, realtime::RealtimeEventSink& events, bool recall) {
  const std::array<int, 4> channelOf = {router_.PartChannel(Part::Right1), kRight2Channel, -1, kLeftChannel};
  for (size_t i = 0; i < setup.count; ++i) {
    const PartSetup::Message& m = setup.messages[i];
    const size_t from = m.status & 0x0F;
    if (from >= channelOf.size() || channelOf[from] < 0) continue;
    events.Add(realtime::RealtimeEvent::Short(at, static_cast<uint8_t>((m.status & 0xF0) | channelOf[from]), m.data1, m.data2));
  }
  if (!recall) return;
  for (size_t p = 0; p < kPartCount; ++p) {
    if (!setup.hasSound[p]) continue;
    sounds_.Set(static_cast<Part>(p), setup.sounds[p]);
    sent_[p] = setup.sounds[p].Packed();
    sentChannel_[p] = router_.PartChannel(static_cast<Part>(p));
  }
  last_ = setup;
  recalled_.store(setup.setting, std::memory_order_relaxed);
  recalls_.fetch_add(1, std::memory_order_release);
}

// Each part's voice (bank select and program) and volume, when they are not
// what was sent last on the part's channel.
void KeyboardClient::KeepSounds(uint32_t at, realtime::RealtimeEventSink& events) {
  for (size_t p = 0; p < kPartCount; ++p) {
    const PartSound sound = sounds_.Get(static_cast<Part>(p));
    const int channel = router_.PartChannel(static_cast<Part>(p));
    if (!sound.HasVoice() || (sound.Packed() == sent_[p] && channel == sentChannel_[p])) continue;
    const auto ch = static_cast<uint8_t>(channel);
    events.Add(realtime::RealtimeEvent::Short(at, kControlChange | ch, kBankSelectMsb, static_cast<uint8_t>(sound.bankMsb & 0x7F)));
    events.Add(realtime::RealtimeEvent::Short(at, kControlChange | ch, kBankSelectLsb, static_cast<uint8_t>(sound.bankLsb & 0x7F)));
    events.Add(realtime::RealtimeEvent::Short(at, kProgramChange | ch, static_cast<uint8_t>(sound.program)));
    if (sound.volume >= 0) events.Add(realtime::RealtimeEvent::Short(at, kControlChange | ch, kVolume, static_cast<uint8_t>(sound.volume)));
    sent_[p] = sound.Packed();
    sentChannel_[p] = channel;
  }
}

// After the arranger's events (those from index `first` on: what this client
// put in before them is all at offset 0, so stays in front): the setting of
// a Main that started (OTS Link); after a reset (any system exclusive
// message: a GM or XG System On resets every channel) or a program change on
// a part's channel, the setting in force and the parts' sounds again, after
// the last of them.
void KeyboardClient::AfterInner(size_t first, realtime::RealtimeEventSink& events) {
  bool reset = false;
  uint32_t at = 0;
  for (size_t i = first; i < events.size(); ++i) {
    const uint8_t status = events[i].status();
    const int channel = status & 0x0F;
    if (status == 0xF0) {
      reset = true;
      at = events[i].offset;
    } else if ((status & 0xF0) == kProgramChange) {
      for (size_t p = 0; p < kPartCount; ++p) {
        if (channel != router_.PartChannel(static_cast<Part>(p))) continue;
        sent_[p] = kNothingSent;
        at = events[i].offset;
      }
    }
  }
  if (reset && last_.setting >= 0) Apply(last_, at, events, false);
  if (reset) sent_.fill(kNothingSent);
  // A marker may come with the block before the one its bar line falls in.
  if (mainStarted_ >= 0 && mainSample_ < blockStart_ + events.frames()) {
    const auto setting = static_cast<size_t>(std::exchange(mainStarted_, -1));
    if (link_.load(std::memory_order_relaxed) && linked_[setting].setting >= 0) {
      at = std::max(at, static_cast<uint32_t>(std::max<int64_t>(0, mainSample_ - blockStart_)));
      Apply(linked_[setting], at, events, true);
    }
  }
  KeepSounds(at, events);
}

void KeyboardClient::PlayThrough(uint8_t status, uint8_t data1, uint8_t data2) {
  if (block_) block_->Add(realtime::RealtimeEvent::Short(0, status, data1, data2));
}

}  // namespace vambrio::keyboard
