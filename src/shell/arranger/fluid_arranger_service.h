// The Arranger window's service on the built-in synthesizer: the style read
// with the main window's player choices, the live arranger attached to the
// same FluidSynth engine the classic Play uses (starting one stops the
// other), charts played live or exported to MIDI and WAV.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "model/play_choices.h"
#include "model/style_model.h"
#include "platform/fluid_engine.h"
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

  std::string OpenStyle(const std::string& path, ArrangerStyle& style) override;
  bool Send(const live::LiveCommand& command) override;
  live::LiveState State() const override;
  std::string Problem() const override { return problem_; }
  uint64_t Underruns() const override;
  std::string CheckChart(const std::string& text, std::vector<ChartBarPlace>& bars) override;
  std::string PlayChart(const std::string& text) override;
  std::string Export(const std::string& text, const std::string& outPath,
                     const std::function<void(double)>& progress) override;

 private:
  live::SessionChoices Choices() const;
  bool Attach();
  void Detach();
  void TakeBackFromOthers();
  void UseButtons();

  std::function<platform::FluidEngine&()> engine_;
  std::function<PlayChoices()> choices_;
  StyleModel model_;
  bool loaded_ = false;
  std::unique_ptr<live::LiveSession> session_;
  platform::FluidEngine* attachedTo_ = nullptr;
  std::atomic<bool> takenAway_{false};
  std::atomic<bool> outputLost_{false};
  std::string problem_;
};

}  // namespace vambrio
