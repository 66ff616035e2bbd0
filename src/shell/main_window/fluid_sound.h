// The window's sequencer and sound source on the built-in synthesizer: a
// FluidSynth engine with the user's SoundFont and audio output, rebuilt when
// the user changes either, at the next "open" (so at the next Play). The
// completion events reach the window's event loop through a socket notifier.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_sequencer.h"
#include "playback/sequencer_settings.h"
#include "platform/files/voice_choices.h"
#include "shell/main_window/sound_source.h"

namespace vambrio {

class FluidSound final : public platform::SequencerSettings, public SoundSource {
 public:
  // gmPlayer: whether the window's player is GM (chkGM), read at each "open".
  explicit FluidSound(std::function<bool()> gmPlayer);
  ~FluidSound() override;

  // Starts loading the synthesizer and its SoundFont in the background.
  void StartLoading();

  // The sequencer: properties are handed on with each command.
  bool Command(const std::string& command) override;
  int64_t Length() const override;
  std::string LastError() const override;

  // The sound source.
  std::string SoundFont() const override;
  void ChooseSoundFont(const std::string& path) override;
  std::vector<std::string> AudioDrivers() const override;
  std::string AudioDriver() const override;
  void ChooseAudioDriver(const std::string& name) override;
  std::string MissingSoundFontText() const override;
  realtime::AudioLatency Latency() const override { return latency_; }
  void ChooseLatency(realtime::AudioLatency latency) override;
  uint64_t Underruns() const override;

  // The engine the arranger plays through as well.
  platform::FluidEngine& Engine() { return *engine_; }
  // Called when the arranger takes the output from a playing file.
  void SetTakenAwayHandler(std::function<void()> handler);
  // The voices of the style in the window and the user's voice choices,
  // read at each "open": the file plays through their map.
  void SetVoices(std::function<std::shared_ptr<const voices::StyleVoiceUse>()> style,
                 std::function<platform::VoiceChoices()> choices);

 private:
  void Build();

  std::function<bool()> gmPlayer_;
  std::string soundFont_;  // the user's choices ("" for the usual ones)
  std::string driver_;
  realtime::AudioLatency latency_ = realtime::AudioLatency::Normal;
  uint64_t underrunsBefore_ = 0;  // of engines replaced since
  bool rebuild_ = false;   // a choice changed since the engine was made
  std::function<void()> takenAway_;
  std::function<std::shared_ptr<const voices::StyleVoiceUse>()> voiceUse_;
  std::function<platform::VoiceChoices()> voiceChoices_;
  platform::KeptVoiceMap voiceMap_;

  std::unique_ptr<platform::FluidEngine> engine_;
  std::unique_ptr<platform::FluidSequencer> sequencer_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vambrio
