// FluidSynth's own file player playing into a synthesizer through its
// playback callback (the player itself may run on another synthesizer that
// only keeps its time), with a voice map in front: each channel message the
// player plays goes through a voice mapper (voices/voice_mapper.h), and what
// comes out is applied to the synthesizer at once, helper channels 16 and up
// included. Everything else (system exclusive), and every event when there is
// no map, reaches the synthesizer as it is. The file itself is unchanged.
//
// The player calls it from the thread that renders (the audio callback, or
// the offline renderer): it allocates nothing and takes no lock. The other
// calls are made while that thread is kept out (parked, or not running).
#pragma once

#include <memory>
#include <optional>

#include "voices/voice_mapper.h"

typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;
typedef struct _fluid_midi_event_t fluid_midi_event_t;

namespace vambrio::platform {

class PlayerVoices {
 public:
  // From now on the player's events play into `synth`, through `map` (null:
  // as written). The mapper starts afresh.
  void Use(fluid_player_t* player, fluid_synth_t* synth, std::shared_ptr<const voices::VoiceMap> map);
  // Every note on a helper channel (and every note the map moved) ends now;
  // the channels keep their voices, so that playing on resumes them.
  void SilenceHelpers();
  // The map for the next Use.
  const std::shared_ptr<const voices::VoiceMap>& Map() const { return map_; }
  voices::MapperCounts Counts() const { return mapper_ ? mapper_->Counts() : voices::MapperCounts{}; }

 private:
  static int OnEvent(void* data, fluid_midi_event_t* event);

  fluid_synth_t* synth_ = nullptr;
  std::shared_ptr<const voices::VoiceMap> map_;
  std::optional<voices::VoiceMapper> mapper_;
};

}  // namespace vambrio::platform
