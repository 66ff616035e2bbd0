// The library's preview on the live arranger: the selected style's first
// Main section, looping without a gap, over the chord the player has chosen
// for the Arranger, until another style or Stop. It has an arranger service
// of its own on the same synthesizer, so that starting it stops the Arranger
// window's accompaniment and the classic Play (and the other way round)
// while the Arranger window keeps its own style.
#pragma once

#include "live/chosen_chord.h"
#include "shell/arranger/arranger_service.h"
#include "shell/library/style_preview.h"

namespace vambrio::shell {

class ArrangerPreview final : public StylePreview {
 public:
  // chord: the Arranger's chosen chord, read at every Play.
  ArrangerPreview(ArrangerService& service, const live::ChosenChord& chord) : service_(service), chord_(chord) {}
  void Play(const std::string& path) override;
  void Stop() override;
  bool Playing() const override;

 private:
  ArrangerService& service_;
  const live::ChosenChord& chord_;
  bool playing_ = false;
};

}  // namespace vambrio::shell
