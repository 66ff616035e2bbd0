// The Arranger window's service on the built-in synthesizer: the style read
// with the main window's player choices, the live arranger attached to the
// same FluidSynth engine the classic Play uses (starting one stops the
// other), or to the sound source the user chose instead, with the player's
// MIDI keyboard in front of it; charts played live or exported to MIDI and WAV.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "keyboard/player_keyboard.h"
#include "model/play_choices.h"
#include "model/style_model.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "recording/recording_files.h"
#include "platform/files/voice_choices.h"
#include "realtime/voice_mapping_client.h"
#include "shell/arranger/arranger_service.h"

namespace vambrio::live {
class LiveSession;
struct SessionChoices;
}  // namespace vambrio::live

namespace vambrio {

class FluidArrangerService final : public ArrangerService {
 public:
  // engine: the engine in use now (the window's sound source may replace it).
  // choices: the main window's player type, XG System On and sysex choices.
  FluidArrangerService(std::function<platform::FluidEngine&()> engine, std::function<PlayChoices()> choices);
  ~FluidArrangerService() override;

  // The sound source the live arranger plays through (unset: the engine).
  void SetLiveOutput(std::function<platform::LiveOutput&()> output) { output_ = std::move(output); }
  // The player's keyboard, put in front of the live arranger; `otherPlays`
  // says whether the classic Play holds the sound source now.
  void SetKeyboard(keyboard::PlayerKeyboard* keyboard, std::function<bool()> otherPlays);
  // The user's voice choices, read at each start (unset: the defaults).
  void SetVoices(std::function<platform::VoiceChoices()> choices) { voiceChoices_ = std::move(choices); }
  // The voice map the accompaniment plays through now (null: as written).
  const voices::VoiceMap* VoiceMap() const { return mapping_.Map(); }

  std::string OpenStyle(const std::string& path, ArrangerStyle& style) override;
  std::string OpenModel(const StyleModel& model, ArrangerStyle& style) override;
  bool Send(const live::LiveCommand& command) override;
  live::LiveState State() const override;
  std::string Problem() const override;
  uint64_t Underruns() const override;
  bool HoldsOutput() const override { return attachedTo_ && !takenAway_ && !outputLost_; }
  std::string CheckChart(const std::string& text, std::vector<ChartBarPlace>& bars) override;
  std::string PlayChart(const std::string& text, int countInBars = 0) override;
  std::string WrittenChord(int songStep) const override;
  std::string Export(const std::string& text, const std::string& outPath,
                     const std::function<void(double)>& progress) override;
  void KeepKeyboardAttached(bool on) override;
  // fluid_arranger_recording.cpp
  std::string StartRecording(const std::string& midiPath, const std::string& chartPath) override;
  std::string UpdateRecording() override;
  std::string StopRecording() override;
  std::string SaveRecordingWav(const std::string& midiPath, const std::string& wavPath,
                               const std::function<void(double)>& progress) override;
  std::string PartVoices(int part) override;

 private:
  platform::LiveOutput& Output() const { return output_ ? output_() : engine_(); }
  live::SessionChoices Choices() const;
  void Use(StyleModel model, const std::string& path, ArrangerStyle& style);
  bool Attach();
  void Detach();
  void TakeBackFromOthers();
  void UseButtons();
  void KeepChoices(const live::LiveCommand& command);
  void GiveChoices();
  // The map for `output`; `playing`: the engine is made ready to play it.
  std::shared_ptr<const voices::VoiceMap> MapFor(platform::LiveOutput& output, bool playing);
  // A MIDI file (`name` says what it is) rendered offline into `wavPath` by
  // the engine's synthesizer settings and the voice map, as the WAV export
  // and "Save WAV" do; the problem, or "".
  std::string RenderWav(const std::string& name, std::vector<uint8_t> midi, const std::string& wavPath,
                        const std::function<void(double)>& progress);

  std::function<platform::FluidEngine&()> engine_;
  std::function<PlayChoices()> choices_;
  std::function<platform::LiveOutput&()> output_;
  keyboard::PlayerKeyboard* keyboard_ = nullptr;
  std::function<bool()> otherPlays_;
  std::chrono::steady_clock::time_point nextKeyboardTry_{};
  StyleModel model_;
  bool loaded_ = false;
  std::unique_ptr<live::LiveSession> session_;
  std::function<platform::VoiceChoices()> voiceChoices_;
  std::shared_ptr<const voices::StyleVoiceUse> voiceUse_;
  platform::KeptVoiceMap voiceMap_;
  realtime::VoiceMappingClient mapping_;  // in front of the session's client
  platform::LiveOutput* attachedTo_ = nullptr;
  std::atomic<bool> takenAway_{false};
  std::atomic<bool> outputLost_{false};
  std::string problem_;
  // The metronome and transpose the player chose, given to every new session.
  int metronome_ = 0;
  std::optional<uint64_t> startPostedAt_;  // the session's blocks when a Start was last posted
  int transpose_ = 0;
  // Between the client and the output whenever attached; records while a recording runs.
  std::unique_ptr<recording::PerformanceRecorder> recorder_;
  std::unique_ptr<recording::RecordingFiles> recording_;
};

}  // namespace vambrio
