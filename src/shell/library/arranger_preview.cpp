#include "shell/library/arranger_preview.h"

#include "live/section_buttons.h"

namespace vambrio::shell {

void ArrangerPreview::Play(const std::string& path) {
  // Reading another style stops the one that plays, every note off.
  ArrangerStyle style;
  playing_ = false;
  if (!service_.OpenStyle(path, style).empty()) return;  // the table already says why it does not load
  if (live::SectionButtons::Of(style.sections).FirstMain() < 0) return;  // no Main to play
  // A new style starts with its first Main selected and no Intro, over the chosen chord.
  service_.Send(chord_.Command());
  playing_ = service_.Send(live::Command(live::LiveCommand::Kind::Start));
}

void ArrangerPreview::Stop() {
  if (playing_) service_.Send(live::Command(live::LiveCommand::Kind::Stop));
  playing_ = false;
}

// The Arranger window, the classic Play or a lost output may have taken the sound.
bool ArrangerPreview::Playing() const { return playing_ && service_.HoldsOutput(); }

}  // namespace vambrio::shell
