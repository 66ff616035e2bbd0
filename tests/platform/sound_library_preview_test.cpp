// The library's preview heard at the null sink: it sounds over the chosen
// chord, and when the Arranger window starts it gives the output up; its
// own Stop then leaves the Arranger sounding.
#include <gtest/gtest.h>

#include "live/chosen_chord.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "shell/arranger/fluid_arranger_service.h"
#include "shell/library/arranger_preview.h"
#include "sound_test_support.h"
#include "temp_dir.h"

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;
using Kind = live::LiveCommand::Kind;

TEST(LibraryPreview, SoundsUntilTheArrangerTakesTheOutputAndItsStopLeavesTheArrangerPlaying) {
  TempDir t;
  platform::FluidEngine engine{platform::SoundOptions{}};
  auto sameEngine = [&engine]() -> platform::FluidEngine& { return engine; };
  FluidArrangerService previewService(sameEngine, [] { return PlayChoices{}; });
  FluidArrangerService arrangerService(sameEngine, [] { return PlayChoices{}; });
  live::ChosenChord chord;
  ASSERT_TRUE(chord.SetText("Am"));
  shell::ArrangerPreview preview(previewService, chord);
  Recorder rec(t.path().string());

  preview.Play(DemoStyle());
  ASSERT_TRUE(preview.Playing()) << previewService.Problem();
  ASSERT_TRUE(rec.WaitForSound(200.0, 30)) << "the preview is heard";
  EXPECT_EQ(previewService.State().hasChord, true);
  EXPECT_EQ(ChordName(previewService.State().chord), "Am");

  ArrangerStyle style;
  ASSERT_EQ(arrangerService.OpenStyle(DemoStyle(), style), "");
  arrangerService.Send(chord.Command());  // as the Arranger window does with a new style
  ASSERT_TRUE(arrangerService.Send(live::Command(Kind::Start))) << arrangerService.Problem();
  EXPECT_FALSE(preview.Playing()) << "the Arranger took the output";
  EXPECT_FALSE(previewService.State().playing);
  preview.Stop();  // what the library does once it sees that
  const double stoppedPreview = rec.Seconds();
  std::this_thread::sleep_for(3s);
  EXPECT_TRUE(arrangerService.State().playing);

  arrangerService.Send(live::Command(Kind::Stop));
  std::this_thread::sleep_for(4500ms);  // the release and the monitor's delay
  auto samples = rec.Stop();
  const double end = static_cast<double>(samples.size()) / 88200.0;
  EXPECT_GT(Rms(samples, stoppedPreview + 0.5, stoppedPreview + 2.5), 100.0) << "the Arranger still sounds";
  EXPECT_LT(Rms(samples, end - 1.0, end), 8.0) << "silence after the Arranger's Stop";
}

}  // namespace
}  // namespace vambrio::test
