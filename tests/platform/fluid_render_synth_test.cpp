// The audio callback renders the synthesizer as a file render does: with an
// output that gives no effect buffers (FluidSynth's own drivers), reverb and
// chorus are mixed in, and rendering in pieces changes nothing.
#include "platform/fluidsynth/fluid_apply.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace vambrio::platform {
namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
constexpr int kFrames = 48000;

// A synthesizer playing a string chord with full reverb and chorus sends,
// released after half a second.
class EffectsChord : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSoundFont)) GTEST_SKIP() << "the GM SoundFont is not installed";
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", 48000);
  }
  void TearDown() override {
    for (fluid_synth_t* s : synths_) delete_fluid_synth(s);
    if (settings_) delete_fluid_settings(settings_);
  }
  fluid_synth_t* Playing() {
    fluid_synth_t* s = new_fluid_synth(settings_);
    synths_.push_back(s);
    EXPECT_NE(fluid_synth_sfload(s, kSoundFont, 1), FLUID_FAILED);
    fluid_synth_program_change(s, 0, 48);
    fluid_synth_cc(s, 0, 91, 127);
    fluid_synth_cc(s, 0, 93, 127);
    for (int key : {60, 64, 67}) fluid_synth_noteon(s, 0, key, 110);
    return s;
  }
  static void Release(fluid_synth_t* s) {
    for (int key : {60, 64, 67}) fluid_synth_noteoff(s, 0, key);
  }

  fluid_settings_t* settings_ = nullptr;
  std::vector<fluid_synth_t*> synths_;
};

TEST_F(EffectsChord, PiecesWithoutEffectBuffersSoundAsAFileRender) {
  std::vector<float> fileL(kFrames), fileR(kFrames), liveL(kFrames, 0.0f), liveR(kFrames, 0.0f);
  fluid_synth_t* file = Playing();
  fluid_synth_write_float(file, kFrames / 2, fileL.data(), 0, 1, fileR.data(), 0, 1);
  Release(file);
  fluid_synth_write_float(file, kFrames / 2, fileL.data() + kFrames / 2, 0, 1, fileR.data() + kFrames / 2, 0, 1);

  fluid_synth_t* live = Playing();
  float* out[2] = {liveL.data(), liveR.data()};
  uint32_t at = 0;
  for (uint32_t piece : {100u, 37u, 256u, 64u}) {  // uneven pieces, as events split a block
    for (; at + piece <= kFrames / 2; at += piece) RenderSynth(live, at, piece, 0, nullptr, 2, out);
  }
  RenderSynth(live, at, kFrames / 2 - at, 0, nullptr, 2, out);
  Release(live);
  RenderSynth(live, kFrames / 2, kFrames / 2, 0, nullptr, 2, out);

  double energy = 0, worst = 0;
  for (int i = 0; i < kFrames; ++i) {
    energy += fileL[i] * fileL[i];
    worst = std::max({worst, std::fabs(double{fileL[i]} - liveL[i]), std::fabs(double{fileR[i]} - liveR[i])});
  }
  ASSERT_GT(energy, 1.0);
  EXPECT_LT(worst, 1e-5);
}

TEST_F(EffectsChord, EffectBuffersOfTheOutputGetTheEffectsAlone) {
  std::vector<float> dryL(kFrames, 0.0f), dryR(kFrames, 0.0f), fxL(kFrames, 0.0f), fxR(kFrames, 0.0f);
  fluid_synth_t* s = Playing();
  float* out[2] = {dryL.data(), dryR.data()};
  float* fx[4] = {fxL.data(), fxR.data(), fxL.data(), fxR.data()};
  RenderSynth(s, 0, kFrames, 4, fx, 2, out);
  double dry = 0, wet = 0;
  for (int i = 0; i < kFrames; ++i) dry += dryL[i] * dryL[i], wet += fxL[i] * fxL[i];
  EXPECT_GT(dry, 1.0);
  EXPECT_GT(wet, 0.05 * dry);  // full sends: the effects are well heard
}

}  // namespace
}  // namespace vambrio::platform
