#include "shell/main_window/fluid_sound.h"

#include "platform/fluidsynth/fluid_drivers.h"
#include "platform/files/soundfont.h"

namespace vambrio {

FluidSound::FluidSound(std::function<bool()> gmPlayer) : gmPlayer_(std::move(gmPlayer)) { Build(); }

FluidSound::~FluidSound() {
  notifier_.reset();
  sequencer_.reset();
  engine_.reset();
}

void FluidSound::Build() {
  notifier_.reset();
  sequencer_.reset();  // closes its file first
  if (engine_) {
    engine_->TakeOutput(platform::OutputUser::None, nullptr);  // the arranger lets go of it
    underrunsBefore_ += engine_->Underruns();
  }
  engine_ = std::make_unique<platform::FluidEngine>(
      platform::SoundOptions{soundFont_, driver_, gmPlayer_ ? !gmPlayer_() : true, latency_});
  sequencer_ = std::make_unique<platform::FluidSequencer>(*engine_);
  sequencer_->SetDoneHandler([this](platform::NotifyCode code) { RaiseDone(code); });
  sequencer_->SetTakenAwayHandler([this] {
    if (takenAway_) takenAway_();
  });
  sequencer_->SetVoices([this](const std::string& soundFont) {
    return voiceUse_ ? voiceMap_.ForSynth(voiceUse_(), soundFont, voiceChoices_()) : nullptr;
  });
  notifier_ = std::make_unique<QSocketNotifier>(sequencer_->NotifyFd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { sequencer_->Pump(); });
  rebuild_ = false;
}

void FluidSound::StartLoading() {
  if (rebuild_) Build();
  engine_->StartLoading();
}

bool FluidSound::Command(const std::string& command) {
  if (command == "open") {
    // A new SoundFont or audio output takes effect here, between two files.
    if (rebuild_) {
      Build();
      engine_->StartLoading();
    }
    engine_->SetXgBankSelect(
        platform::SynthReadsXgBanks(gmPlayer_(), voiceChoices_ ? voiceChoices_() : platform::VoiceChoices{}));
  }
  HandOn(*sequencer_);
  return sequencer_->Command(command);
}

int64_t FluidSound::Length() const { return sequencer_->Length(); }

std::string FluidSound::LastError() const { return sequencer_->LastError(); }

std::string FluidSound::SoundFont() const { return platform::FindSoundFont(soundFont_).path; }

void FluidSound::ChooseSoundFont(const std::string& path) {
  if (path == soundFont_) return;
  soundFont_ = path;
  rebuild_ = true;
}

std::vector<std::string> FluidSound::AudioDrivers() const { return platform::FluidAudioDrivers(); }

std::string FluidSound::AudioDriver() const {
  if (!driver_.empty()) return driver_;
  std::vector<std::string> drivers = AudioDrivers();
  return drivers.empty() ? std::string() : drivers.front();
}

void FluidSound::ChooseAudioDriver(const std::string& name) {
  if (name == driver_) return;
  driver_ = name;
  rebuild_ = true;
}

std::string FluidSound::MissingSoundFontText() const { return platform::kNoSoundFontText; }

// The output is opened again with the new buffer at the next Play; the
// SoundFont stays loaded.
void FluidSound::ChooseLatency(realtime::AudioLatency latency) {
  latency_ = latency;
  engine_->SetLatency(latency);
}

void FluidSound::SetVoices(std::function<std::shared_ptr<const voices::StyleVoiceUse>()> style,
                           std::function<platform::VoiceChoices()> choices) {
  voiceUse_ = std::move(style);
  voiceChoices_ = std::move(choices);
}

void FluidSound::SetTakenAwayHandler(std::function<void()> handler) { takenAway_ = std::move(handler); }

uint64_t FluidSound::Underruns() const { return underrunsBefore_ + engine_->Underruns(); }

}  // namespace vambrio
