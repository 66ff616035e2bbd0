// The WAV output of `arrange`: the song rendered offline through FluidSynth,
// 44.1 kHz 16-bit stereo, with a release tail that ends when the last voice
// has died away, at most three seconds after the song.
#include "cli/arrange_wav.h"
#include "platform/fluidsynth/fluid_render.h"

namespace vambrio::cli {
namespace {

constexpr double kMaxTailSeconds = 3.0;

std::string RenderSong(const WavJob& job, double& seconds, std::string& notice) {
  platform::RenderRequest request;
  request.midiFile = job.wavFile + " (the arranged song)";
  request.midiBytes = job.midi;
  request.wavFile = job.wavFile;
  request.sound.soundFont = job.soundFont;
  request.sound.xgBankSelect = job.xgPlayer;
  const voices::StyleVoiceUse use = job.style ? voices::GatherVoiceUse(*job.style) : voices::StyleVoiceUse{};
  request.voices = [&](const std::string& soundFont) { return platform::MapForSynth(use, soundFont, job.voices); };
  request.tailSeconds = kMaxTailSeconds;
  request.endWhenSilent = true;
  const platform::RenderResult r = platform::RenderToWav(request);
  notice = r.notice;
  seconds = static_cast<double>(r.frames) / 44100.0;
  return r.ok ? "" : r.problem;
}

const bool kInstalled = (ArrangeWavRenderer() = RenderSong, true);

}  // namespace
}  // namespace vambrio::cli
