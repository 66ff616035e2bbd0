#include "keyboard/keyboard_client.h"

namespace vambrio::keyboard {
namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kBankSelectMsb = 0;
constexpr uint8_t kBankSelectLsb = 32;
constexpr uint8_t kSystemReset = 0xFF;

}  // namespace

KeyboardClient::KeyboardClient(KeyboardRouter& router, KeyboardTarget& next, realtime::RealtimeClient* inner)
    : router_(router), next_(next), inner_(inner) {}

bool KeyboardClient::AddInput(platform::MidiInPort* port) {
  if (!port || inputCount_ == kMaxInputs) return false;
  inputs_[inputCount_++] = port;
  return true;
}

void KeyboardClient::Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) {
  block_ = &events;
  ReadInputs();
  block_ = nullptr;
  if (inner_) inner_->Process(block, events);
  KeepRightVoice(events);
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

// The voice goes after the last event of the block that may have changed
// it (events at one offset keep the order they were added in).
void KeyboardClient::KeepRightVoice(realtime::RealtimeEventSink& events) {
  const int voice = rightVoice_.load(std::memory_order_relaxed);
  if (voice < 0 || voice > 127) {
    sentVoice_ = -1;
    return;
  }
  const int channel = router_.RightChannel();
  bool send = voice != sentVoice_ || channel != sentChannel_;
  uint32_t at = 0;
  for (const realtime::RealtimeEvent& e : events) {
    const uint8_t status = e.status();
    if (status == 0xF0 || status == (kProgramChange | channel)) {
      send = true;
      at = e.offset;
    }
  }
  if (!send) return;
  const auto ch = static_cast<uint8_t>(channel);
  events.Add(realtime::RealtimeEvent::Short(at, kControlChange | ch, kBankSelectMsb, 0));
  events.Add(realtime::RealtimeEvent::Short(at, kControlChange | ch, kBankSelectLsb, 0));
  events.Add(realtime::RealtimeEvent::Short(at, kProgramChange | ch, static_cast<uint8_t>(voice)));
  sentVoice_ = voice;
  sentChannel_ = channel;
}

void KeyboardClient::PlayThrough(uint8_t status, uint8_t data1, uint8_t data2) {
  if (block_) block_->Add(realtime::RealtimeEvent::Short(0, status, data1, data2));
}

}  // namespace vambrio::keyboard
