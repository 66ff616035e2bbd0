#include "keyboard/keyboard_client.h"

namespace vambrio::keyboard {

KeyboardClient::KeyboardClient(KeyboardRouter& router, KeyboardTarget& next, realtime::RealtimeClient* inner)
    : router_(router), next_(next), inner_(inner) {}

bool KeyboardClient::AddInput(platform::MidiInPort* port) {
  if (!port || inputCount_ == kMaxInputs) return false;
  inputs_[inputCount_++] = port;
  return true;
}

void KeyboardClient::Process(const realtime::BlockInfo& block, realtime::RealtimeEventSink& events) {
  block_ = &events;
  platform::MidiMessage m;
  for (size_t i = 0; i < inputCount_; ++i) {
    while (inputs_[i]->Pop(m)) router_.Handle(m, *this);
  }
  block_ = nullptr;
  if (inner_) inner_->Process(block, events);
}

void KeyboardClient::PlayThrough(uint8_t status, uint8_t data1, uint8_t data2) {
  if (block_) block_->Add(realtime::RealtimeEvent::Short(0, status, data1, data2));
}

}  // namespace vambrio::keyboard
