#include "platform/fluidsynth/fluid_render.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/fluidsynth/fluid_log.h"
#include "platform/fluidsynth/fluid_player_voices.h"
#include "platform/files/soundfont.h"
#include "midi/midi_length.h"

namespace vambrio::platform {
namespace {

constexpr double kSampleRate = 44100.0;

// Owns what one render creates, released in reverse order.
struct RenderParts {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  fluid_file_renderer_t* renderer = nullptr;
  ~RenderParts() {
    if (renderer) delete_fluid_file_renderer(renderer);  // completes the file
    if (player) delete_fluid_player(player);
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
  }
};

void Configure(fluid_settings_t* s, const RenderRequest& r, bool mapped) {
  fluid_settings_setstr(s, "synth.midi-bank-select", r.sound.xgBankSelect || mapped ? "xg" : "gm");
  fluid_settings_setnum(s, "synth.sample-rate", kSampleRate);
  fluid_settings_setint(s, "synth.lock-memory", 0);
  fluid_settings_setint(s, "synth.midi-channels", kSynthChannels);
  // Only the samples of the instruments the file chooses are read: offline
  // nothing waits for them, and a render needs a few of the SoundFont's many.
  fluid_settings_setint(s, "synth.dynamic-sample-loading", 1);
  fluid_settings_setstr(s, "player.timing-source", "sample");
  fluid_settings_setstr(s, "audio.file.name", r.wavFile.c_str());
  fluid_settings_setstr(s, "audio.file.type", "wav");
  fluid_settings_setstr(s, "audio.file.format", "s16");
}

}  // namespace

RenderResult RenderToWav(const RenderRequest& request) {
  CollectFluidLog();
  RenderResult result;
  SoundFontChoice font = FindSoundFont(request.sound.soundFont);
  result.notice = font.note;
  if (font.path.empty()) {
    result.problem = kNoSoundFontText;
    return result;
  }
  std::vector<uint8_t> bytes = request.midiBytes;
  bool read = true;
  if (bytes.empty()) {
    std::ifstream in(request.midiFile, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    read = static_cast<bool>(in);
  }
  auto timing = MeasureMidi(bytes);
  if (!read || !timing) {
    result.problem = "The file " + request.midiFile + " could not be read as a MIDI file.";
    return result;
  }

  const std::shared_ptr<const voices::VoiceMap> map = request.voices ? request.voices(font.path) : nullptr;
  PlayerVoices mapped;  // outlives the player
  RenderParts parts;
  parts.settings = new_fluid_settings();
  Configure(parts.settings, request, map != nullptr);
  parts.synth = new_fluid_synth(parts.settings);
  if (!parts.synth || fluid_synth_sfload(parts.synth, font.path.c_str(), 1) == FLUID_FAILED) {
    result.problem = "The SoundFont " + font.path + " could not be loaded.";
    return result;
  }
  parts.player = new_fluid_player(parts.synth);
  if (parts.player) mapped.Use(parts.player, parts.synth, map);
  if (!parts.player || fluid_player_add_mem(parts.player, bytes.data(), bytes.size()) != FLUID_OK ||
      fluid_player_play(parts.player) != FLUID_OK) {
    result.problem = "The file " + request.midiFile + " could not be played.";
    return result;
  }
  parts.renderer = new_fluid_file_renderer(parts.synth);
  if (!parts.renderer) {
    std::string why = LastFluidError();
    result.problem = "The file " + request.wavFile + " could not be written" + (why.empty() ? "." : " (" + why + ").");
    return result;
  }

  int period = 64;
  fluid_settings_getint(parts.settings, "audio.period-size", &period);
  double seconds = static_cast<double>(timing->LengthMs) / 1000.0 + request.tailSeconds;
  int64_t wanted = std::llround(seconds * kSampleRate);
  int64_t blocks = (wanted + period - 1) / period;
  const int64_t fileBlocks = std::llround(static_cast<double>(timing->LengthMs) / 1000.0 * kSampleRate) / period + 1;
  for (int64_t b = 0; b < blocks; ++b) {
    if (request.progress && b % 512 == 0) request.progress(std::min(1.0, static_cast<double>(b) / static_cast<double>(blocks)));
    if (fluid_file_renderer_process_block(parts.renderer) != FLUID_OK) {
      result.problem = "The file " + request.wavFile + " could not be written.";
      return result;
    }
    if (request.endWhenSilent && b >= fileBlocks && fluid_synth_get_active_voice_count(parts.synth) == 0) {
      blocks = b + 1;
      break;
    }
  }
  result.frames = blocks * period;
  result.ok = true;
  return result;
}

}  // namespace vambrio::platform
