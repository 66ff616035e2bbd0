#include "keyboard/player_keyboard.h"

#include "keyboard/keyboard_client.h"
#include "keyboard/live_keyboard.h"
#include "live/live_arranger.h"

namespace vambrio::keyboard {

PlayerKeyboard::PlayerKeyboard(std::vector<platform::MidiInPort*> inputs) : inputs_(std::move(inputs)) {}

PlayerKeyboard::~PlayerKeyboard() = default;

std::optional<Chord> PlayerKeyboard::LastChord() const { return target_ ? target_->LastChord() : std::nullopt; }

uint32_t PlayerKeyboard::ChordsGiven() const { return chordsBefore_ + (target_ ? target_->ChordsGiven() : 0); }

void PlayerKeyboard::SetListening(bool on) {
  listening_.store(on);
  if (client_) client_->SetListening(on);
}

void PlayerKeyboard::SetRightVoice(int program) {
  voice_.store(program);
  if (client_) client_->SetRightVoice(program);
}

realtime::RealtimeClient& PlayerKeyboard::ClientFor(live::LiveArranger& arranger) {
  if (target_) chordsBefore_ += target_->ChordsGiven();
  client_.reset();
  target_ = std::make_unique<LiveKeyboard>(arranger);
  client_ = std::make_unique<KeyboardClient>(router_, *target_, &arranger);
  for (platform::MidiInPort* in : inputs_) client_->AddInput(in);
  client_->SetListening(listening_.load());
  client_->SetRightVoice(voice_.load());
  return *client_;
}

}  // namespace vambrio::keyboard
