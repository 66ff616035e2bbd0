#include "live/live_session.h"

#include "arranger/chart.h"

namespace vambrio::live {
namespace {

class NoSink final : public midi::EventSink {
 public:
  void Send(const midi::Event&) override {}
};

}  // namespace

LiveSession::LiveSession(const StyleModel& style, const SessionChoices& choices, bool)
    : patterns_(arranger::ReadStylePatterns(style, choices.setup)),
      arranger_(std::make_unique<arranger::Arranger>(patterns_, choices.options)) {}

LiveSession::LiveSession(const StyleModel& style, const SessionChoices& choices) : LiveSession(style, choices, true) {
  live_ = std::make_unique<LiveArranger>(*arranger_, choices.sampleRate);
}

std::variant<std::unique_ptr<LiveSession>, arranger::ChartError> LiveSession::ForChart(
    const StyleModel& style, const SessionChoices& choices, const std::string& chartText, std::optional<double> tempo) {
  auto chart = arranger::ReadChart(chartText);
  if (auto* e = std::get_if<arranger::ChartError>(&chart)) return *e;
  std::unique_ptr<LiveSession> s(new LiveSession(style, choices, true));
  auto song = arranger::PlanSong(std::get<arranger::Chart>(chart), s->patterns_, tempo);
  if (auto* e = std::get_if<arranger::ChartError>(&song)) return *e;
  s->song_ = std::move(std::get<arranger::Song>(song));
  s->player_ = std::make_unique<arranger::SongPlayer>(*s->song_, *s->arranger_);
  s->live_ = std::make_unique<LiveArranger>(*s->arranger_, *s->player_, choices.sampleRate);
  return s;
}

void LiveSession::Pump() {
  auto discard = std::make_unique<realtime::RealtimeEventSink>();
  live_->Process(realtime::BlockInfo{0, 0, 48000, 0}, *discard);
}

void LiveSession::StopDetached() {
  live_->Post(Command(LiveCommand::Kind::Stop));
  Pump();
  NoSink none;
  arranger_->Stop(none);
}

}  // namespace vambrio::live
