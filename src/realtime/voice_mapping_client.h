// A real-time client in front of another one: the inner client's events go
// through a voice mapper (voices/voice_mapper.h) on their way to the output,
// so that a style's voices play on the instruments a General MIDI SoundFont
// or synthesizer has. Without a map the events pass as they are.
//
// The map is set while the client is not attached (the audio thread is not
// in Process); Process allocates nothing and takes no lock.
#pragma once

#include <memory>
#include <optional>

#include "realtime/realtime_client.h"
#include "voices/voice_mapper.h"

namespace vambrio::realtime {

class VoiceMappingClient final : public RealtimeClient {
 public:
  // `inner` plays through this client; `map` null: as written.
  void Use(RealtimeClient* inner, std::shared_ptr<const voices::VoiceMap> map);
  RealtimeClient* Inner() const { return inner_; }
  const voices::VoiceMap* Map() const { return map_.get(); }

  void Process(const BlockInfo& block, RealtimeEventSink& events) override;

  // The messages that end every note on a helper channel (and every note the
  // map moved), at the start of the block; for an output that stops the
  // stream by other means than a message of its own (the mapper then
  // forgets its notes). Safe in the audio callback.
  void SilenceHelpers(RealtimeEventSink& events);

  // What the mapper left out, read while the client is not attached.
  voices::MapperCounts Counts() const { return mapper_ ? mapper_->Counts() : voices::MapperCounts{}; }

 private:
  RealtimeClient* inner_ = nullptr;
  std::shared_ptr<const voices::VoiceMap> map_;
  std::optional<voices::VoiceMapper> mapper_;
  RealtimeEventSink unmapped_;  // the inner client's events of the block
};

// A mapped message as an event at `offset`.
RealtimeEvent MappedEvent(uint32_t offset, const voices::MappedMessage& m);

}  // namespace vambrio::realtime
