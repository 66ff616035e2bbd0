// A voice mapper in front of any event sink: the timed events of a file
// output (or anything else that takes midi::Event) go through the map on
// their way. Channel messages are mapped; system-exclusive and meta events
// pass as they are. Finish (or the destructor) ends every note still
// sounding on a helper channel at the last tick seen.
#pragma once

#include "midi/event_sink.h"
#include "voices/voice_mapper.h"

namespace vambrio::voices {

class MappingSink final : public midi::EventSink {
 public:
  MappingSink(const VoiceMap& map, midi::EventSink& next) : mapper_(map), next_(next) {}
  ~MappingSink() override { Finish(); }

  void Send(const midi::Event& e) override;
  void Finish();

  const VoiceMapper& Mapper() const { return mapper_; }

 private:
  void Forward(uint64_t tick, const MappedMessage& m);

  VoiceMapper mapper_;
  midi::EventSink& next_;
  uint64_t lastTick_ = 0;
};

}  // namespace vambrio::voices
