#include "platform/fluidsynth/fluid_player_voices.h"

#include <fluidsynth.h>

#include "platform/fluidsynth/fluid_apply.h"

namespace vambrio::platform {
namespace {

void Apply(fluid_synth_t* synth, const voices::MappedMessage& m) {
  ApplyToSynth(synth, m.bytes, m.size, m.channel / 16);
}

// The player's event as the bytes of its channel message; 0 for anything else.
uint32_t ChannelMessage(fluid_midi_event_t* e, uint8_t (&bytes)[3]) {
  const int type = fluid_midi_event_get_type(e);
  const int channel = fluid_midi_event_get_channel(e);
  if (type < 0x80 || type >= 0xF0 || channel < 0 || channel > 15) return 0;
  bytes[0] = static_cast<uint8_t>(type | channel);
  switch (type) {
    case 0xC0:
    case 0xD0:  // program and channel pressure: their value is the first parameter
      bytes[1] = static_cast<uint8_t>(fluid_midi_event_get_program(e) & 0x7F);
      return 2;
    case 0xE0: {
      const int bend = fluid_midi_event_get_pitch(e);
      bytes[1] = static_cast<uint8_t>(bend & 0x7F);
      bytes[2] = static_cast<uint8_t>((bend >> 7) & 0x7F);
      return 3;
    }
    default:
      bytes[1] = static_cast<uint8_t>(fluid_midi_event_get_key(e) & 0x7F);
      bytes[2] = static_cast<uint8_t>(fluid_midi_event_get_value(e) & 0x7F);
      return 3;
  }
}

}  // namespace

void PlayerVoices::Use(fluid_player_t* player, fluid_synth_t* synth, std::shared_ptr<const voices::VoiceMap> map) {
  synth_ = synth;
  mapper_.reset();
  map_ = std::move(map);
  if (map_) mapper_.emplace(*map_);
  if (player) fluid_player_set_playback_callback(player, &PlayerVoices::OnEvent, this);
}

void PlayerVoices::SilenceHelpers() {
  if (!mapper_ || !synth_) return;
  mapper_->SilenceHelpers([this](const voices::MappedMessage& m) { Apply(synth_, m); });
}

int PlayerVoices::OnEvent(void* data, fluid_midi_event_t* event) {
  auto* self = static_cast<PlayerVoices*>(data);
  uint8_t bytes[3] = {0, 0, 0};
  const uint32_t size = self->mapper_ ? ChannelMessage(event, bytes) : 0;
  if (size == 0) return fluid_synth_handle_midi_event(self->synth_, event);
  voices::MappedMessage out[voices::VoiceMapper::kMaxOut];
  const int n = self->mapper_->Map(bytes, size, out);
  if (n < 0) return fluid_synth_handle_midi_event(self->synth_, event);
  for (int i = 0; i < n; ++i) Apply(self->synth_, out[i]);
  return FLUID_OK;
}

}  // namespace vambrio::platform
