// Before Qt: a chart has a member named "slots".
#include "songs/set_list_play.h"
#include "shell/songs/arranger_stage.h"

#include "shell/arranger/frm_arranger.h"

namespace vambrio {

ArrangerStage::ArrangerStage(std::function<frmArranger&()> arranger, std::function<std::string()> mainStyle)
    : arranger_(std::move(arranger)), mainStyle_(std::move(mainStyle)) {}

ArrangerStage::~ArrangerStage() { QObject::disconnect(ended_); }

frmArranger& ArrangerStage::Window() {
  frmArranger& window = arranger_();
  if (window_ != &window) {
    QObject::disconnect(ended_);
    window_ = &window;
    ended_ = QObject::connect(&window, &frmArranger::chartEnded, &window, [this](bool ended) {
      if (then_) then_(ended);
    });
  }
  return window;
}

std::string ArrangerStage::CurrentStyle() const {
  if (window_ && !window_->StyleInUse().path.empty()) return window_->StyleInUse().path;
  return mainStyle_ ? mainStyle_() : std::string();
}

std::string ArrangerStage::UseStyle(const std::string& path, songs::StyleShape& shape) {
  frmArranger& window = Window();
  if (window.StyleInUse().path != path && !window.OpenStyle(path)) return "The style " + path + " cannot be played.";
  const ArrangerStyle& style = window.StyleInUse();
  shape.sections = style.sections;
  shape.sectionBars = style.sectionBars;
  shape.beats = style.beatsPerBar;
  return {};
}

std::string ArrangerStage::Recall(const registration::Registration& setUp) {
  Window().RecallForSong(setUp);
  return {};
}

std::string ArrangerStage::Play(const songs::PreparedSong& song, int transpose) {
  frmArranger& window = Window();
  window.show();
  return window.PlaySong(song.chartText, song.countInBars, transpose);
}

void ArrangerStage::Stop() {
  if (window_) window_->StopSong();
}

bool ArrangerStage::Playing() const { return window_ && window_->ChartPlaying(); }

}  // namespace vambrio
