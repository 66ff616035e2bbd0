#include "keyboard/player_keyboard.h"

#include "keyboard/keyboard_client.h"
#include "keyboard/live_keyboard.h"
#include "live/live_arranger.h"

namespace vambrio::keyboard {

PlayerKeyboard::PlayerKeyboard(std::vector<platform::MidiInPort*> inputs) : inputs_(std::move(inputs)) {
  sounds_.Set(Part::Right1, {0, 0, kDefaultRightVoice, -1});
}

PlayerKeyboard::~PlayerKeyboard() = default;

std::optional<Chord> PlayerKeyboard::LastChord() const { return target_ ? target_->LastChord() : std::nullopt; }

uint32_t PlayerKeyboard::ChordsGiven() const { return chordsBefore_ + (target_ ? target_->ChordsGiven() : 0); }

void PlayerKeyboard::SetListening(bool on) {
  listening_.store(on);
  if (client_) client_->SetListening(on);
}

void PlayerKeyboard::SetRightVoice(int program) {
  PartSound sound = sounds_.Get(Part::Right1);
  sounds_.Set(Part::Right1, {0, 0, program, sound.volume});
}

void PlayerKeyboard::SetSettings(const std::vector<PartSetup>& setups) {
  settings_.fill(PartSetup{});
  for (size_t i = 0; i < setups.size() && i < settings_.size(); ++i) settings_[i] = setups[i];
  inForce_ = PartSetup{};
}

void PlayerKeyboard::RecallSetting(int index) {
  if (index < 0 || index >= static_cast<int>(settings_.size()) || settings_[static_cast<size_t>(index)].setting < 0) return;
  inForce_ = settings_[static_cast<size_t>(index)];
  for (size_t p = 0; p < kPartCount; ++p)
    if (inForce_.hasSound[p]) sounds_.Set(static_cast<Part>(p), inForce_.sounds[p]);
  if (client_) client_->PostSetup(inForce_);
}

void PlayerKeyboard::SetOtsLink(bool on) {
  link_ = on;
  if (client_) client_->SetOtsLink(on);
}

int PlayerKeyboard::Recalled() const { return client_ && client_->Recalls() > 0 ? client_->Recalled() : inForce_.setting; }

uint32_t PlayerKeyboard::Recalls() const { return recallsBefore_ + (client_ ? client_->Recalls() : 0); }

realtime::RealtimeClient& PlayerKeyboard::ClientFor(live::LiveArranger& arranger, realtime::MetaTap* metaNext) {
  if (target_) chordsBefore_ += target_->ChordsGiven();
  if (client_) {
    recallsBefore_ += client_->Recalls();
    if (client_->Recalls() > 0 && client_->Recalled() >= 0) inForce_ = settings_[static_cast<size_t>(client_->Recalled())];
  }
  client_.reset();
  target_ = std::make_unique<LiveKeyboard>(arranger, &registrationPresses_);
  client_ = std::make_unique<KeyboardClient>(router_, *target_, &arranger, &sounds_);
  for (platform::MidiInPort* in : inputs_) client_->AddInput(in);
  client_->SetListening(listening_.load());
  client_->SetLinkedSetups(settings_);
  client_->SetSetupInForce(inForce_);
  client_->SetOtsLink(link_);
  client_->SetMetaNext(metaNext);
  arranger.SetMetaTap(client_.get());
  return *client_;
}

}  // namespace vambrio::keyboard
