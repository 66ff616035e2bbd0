// The voice map applied to a stream of channel messages, as an engine sends
// them to its synthesizer: bank selects and program changes come out as the
// resolved preset in the settings' bank convention; an articulated voice's
// velocity picks its articulation, the velocity's place inside the band
// becomes its loudness; an articulation with a program of its own plays on a
// helper channel that follows its parent's controllers; noises play as a
// General MIDI effect at one pitch, or not at all; drum keys the kit lacks
// move to their neighbours. A note-off goes where its note-on went.
//
// Allocation-free and lock-free after construction: safe in the audio
// callback. One mapper per stream; the VoiceMap must outlive it.
//
// Stopping: an all-notes-off, all-sound-off or reset-all-controllers on a
// channel reaches its helpers too. An engine that silences its synthesizer
// by other means calls SilenceHelpers first (or Reset after), so that no
// note is left on a helper channel.
#pragma once

#include <array>
#include <cstdint>

#include "voices/voice_map.h"

namespace vambrio::voices {

// One channel message out. `channel` is the whole channel number (helper
// channels of the built-in synthesizer are 16 and up); bytes[0] is the status
// with the channel's low four bits.
struct MappedMessage {
  uint8_t channel = 0;
  uint8_t size = 0;  // 1..3
  uint8_t bytes[3] = {0, 0, 0};
};

// What the mapper left out since it was made (or Reset).
struct MapperCounts {
  uint32_t helpersExhausted = 0;  // notes dropped: no helper channel free
  uint32_t silentEffectKeys = 0;  // notes of effect-kit keys no General MIDI sound stands in for
  uint32_t noisesLeftOut = 0;     // noise notes left out by the settings
};

class VoiceMapper {
 public:
  // The most messages one call of Map writes.
  static constexpr int kMaxOut = 24;

  explicit VoiceMapper(const VoiceMap& map);

  // Maps one message. Returns the number of messages written to out (0 when
  // the message is absorbed or left out), or -1 when it is not a channel
  // message (system exclusive, meta, system): pass it on as it is.
  int Map(const uint8_t* msg, uint32_t size, MappedMessage* out);

  // Note-offs for every note sounding on a helper channel, and every note
  // the mapper moved (drum keys, noises), then sustain off and all notes off
  // on each helper in use, one call of emit each; the mapper then forgets
  // them and frees its helpers (the next articulation sets one up again). Plain function and context, so that no allocation is needed.
  using Emit = void (*)(void* context, const MappedMessage& m);
  void SilenceHelpers(Emit emit, void* context);
  template <class F>
  void SilenceHelpers(F&& f) {
    SilenceHelpers([](void* c, const MappedMessage& m) { (*static_cast<F*>(c))(m); }, &f);
  }

  // Forgets every channel's voice, every sounding note and every helper (after
  // the synthesizer was reset, or for a new stream).
  void Reset();

  // The resolution in force on a channel (0..15); null before its first
  // program change, except on channel 10 (9 from 0), which starts as the Standard kit.
  const VoiceResolution* Current(int channel) const;
  const MapperCounts& Counts() const { return counts_; }
  const VoiceMap& Voices() const { return map_; }

 private:
  struct ChannelState {
    uint8_t msb = 0, lsb = 0;
    bool resolved = false;
    VoiceResolution voice;
    // Controllers the helpers copy from their parent.
    uint8_t volume = 100, expression = 127, pan = 64, reverb = 40, chorus = 0, sustain = 0;
    uint8_t bendLsb = 0, bendMsb = 64;
    uint8_t bendRangeSemis = 2, bendRangeCents = 0;
    uint8_t rpnMsb = 127, rpnLsb = 127;
    // An articulated voice's velocities: the program each plays (kOwnProgram:
    // the channel's own) and the velocity it sounds with.
    std::array<int8_t, 128> programOf{};
    std::array<uint8_t, 128> velocityOut{};
    uint16_t helpers = 0;  // bit i: helpers_[i] belongs to this channel
  };
  struct Helper {
    int8_t parent = -1;  // 0..15; -1 free
    uint8_t program = 0;
    uint8_t channel = 0;
    uint16_t sounding = 0;  // notes on it
  };
  struct Sounding {
    uint8_t channel = 0xFF;  // where the note-on went; 0xFF: nowhere
    uint8_t key = 0;
    int8_t helper = -1;  // index in helpers_, or -1
  };

  int MapNote(int ch, bool on, int key, int velocity, MappedMessage* out);
  int MapController(int ch, int controller, int value, MappedMessage* out);
  int MapProgram(int ch, int program, MappedMessage* out);
  int Mirror(int ch, const uint8_t* msg, uint32_t size, MappedMessage* out);
  int HelperFor(int ch, int program, MappedMessage* out, int& written);
  void FreeHelper(int index);
  void ReadArticulations(ChannelState& c) const;
  int SetUpHelper(int ch, Helper& h, MappedMessage* out) const;

  const VoiceMap& map_;
  std::array<ChannelState, 16> channels_{};
  std::array<Helper, kMaxHelperChannels> helpers_{};
  std::array<std::array<Sounding, 128>, 16> sounding_{};
  MapperCounts counts_;
};

}  // namespace vambrio::voices
