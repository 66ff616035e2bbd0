// The library's preview on the live arranger: the selected style's first
// Main section, looping without a gap, until another style or Stop. It has
// an arranger service of its own on the same synthesizer, so that starting
// it stops the Arranger window's accompaniment and the classic Play (and
// the other way round) while the Arranger window keeps its own style.
#pragma once

#include "shell/arranger/arranger_service.h"
#include "shell/library/style_preview.h"

namespace vambrio::shell {

class ArrangerPreview final : public StylePreview {
 public:
  explicit ArrangerPreview(ArrangerService& service) : service_(service) {}
  void Play(const std::string& path) override;
  void Stop() override;

 private:
  ArrangerService& service_;
  bool playing_ = false;
};

}  // namespace vambrio::shell
