// FluidSynth's messages: collected, summed up in one line, all of them with
// --verbose; render of a style whose voices are XG variations.
#include "platform/fluidsynth/fluid_log.h"

#include <fluidsynth.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_process.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::platform {
namespace {

using ::testing::HasSubstr;

FluidMessages Warnings(std::vector<std::string> texts) {
  FluidMessages m;
  for (auto& t : texts) m.messages.push_back({false, std::move(t)});
  return m;
}

TEST(FluidMessages, OneLineSumsThemUp) {
  EXPECT_EQ(FluidMessageSummary({}, true), "");
  // The same voice on two channels is one voice.
  FluidMessages missing = Warnings({
      "Instrument not found on channel 10 [bank=114 prog=4], substituted [bank=0 prog=4]",
      "Instrument not found on channel 11 [bank=114 prog=4], substituted [bank=0 prog=4]",
      "Instrument not found on channel 12 [bank=40 prog=48], substituted [bank=0 prog=48]",
  });
  EXPECT_EQ(FluidMessageSummary(missing, true), "note: 2 XG voices are not in this SoundFont; General MIDI voices stand in");
  missing.messages.pop_back();
  EXPECT_EQ(FluidMessageSummary(missing, false), "note: 1 voice is not in this SoundFont; a General MIDI voice stands in");
  FluidMessages mixed = Warnings({"No preset found on channel 9 [bank=5 prog=1]", "Something else"});
  mixed.lost = 2;
  EXPECT_EQ(FluidMessageSummary(mixed, true),
            "note: 1 XG voice is not in this SoundFont and stays silent; 3 other messages of FluidSynth "
            "(--verbose shows them)");
  EXPECT_EQ(FluidMessageLines(mixed),
            (std::vector<std::string>{"fluidsynth: warning: No preset found on channel 9 [bank=5 prog=1]",
                                      "fluidsynth: warning: Something else", "fluidsynth: 2 more messages not kept"}));
}

TEST(FluidMessages, CollectedInsteadOfPrinted) {
  CollectFluidLog();
  TakeFluidMessages();
  fluid_log(FLUID_WARN, "a warning of %d", 1);
  fluid_log(FLUID_ERR, "an error");
  fluid_log(FLUID_INFO, "information is dropped");
  FluidMessages m = TakeFluidMessages();
  ASSERT_EQ(m.messages.size(), 2u);
  EXPECT_EQ(m.messages[0].text, "a warning of 1");
  EXPECT_FALSE(m.messages[0].error);
  EXPECT_TRUE(m.messages[1].error);
  EXPECT_EQ(LastFluidError(), "an error");
  EXPECT_TRUE(TakeFluidMessages().messages.empty());
}

// Four channels select XG variations (bank select LSB) that a General MIDI
// SoundFont does not have; two of them the same voice.
test::Bytes XgStyle() {
  test::TrackBuilder t;
  t.TempoBpm(120).TimeSignature(4, 2).Marker("SInt");
  const int voices[][3] = {{10, 114, 4}, {11, 40, 48}, {12, 3, 0}, {13, 99, 80}, {14, 114, 4}};
  for (const auto& [channel, lsb, program] : voices)
    t.ControlChange(channel, 0, 0).ControlChange(channel, 32, lsb).ProgramChange(channel, program);
  t.Marker("Main A");
  for (int channel = 10; channel <= 14; ++channel) t.NoteOn(channel, 60, 90);
  t.Delta(960);
  for (int channel = 10; channel <= 14; ++channel) t.NoteOff(channel, 60);
  t.EndOfTrack();
  return test::StyleBytes(t);
}

// As written: the synthesizer finds no preset for them and says so; through
// the voice map they play bank 0's, and it has nothing to say.
TEST(FluidMessages, RenderOfXgVoicesPrintsOneNote) {
  test::TempDir dir;
  test::WriteFile(dir.File("Xg.sty"), XgStyle());
  auto r = test::RunProcess(
      {VAMBRIO_CLI, "render", dir.File("Xg.sty"), "Main A", "-o", dir.File("out.wav"), "--voices", "written"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "note: 4 XG voices are not in this SoundFont; General MIDI voices stand in\n");
  auto mapped = test::RunProcess({VAMBRIO_CLI, "render", dir.File("Xg.sty"), "Main A", "-o", dir.File("out.wav")});
  ASSERT_EQ(mapped.status, 0) << mapped.err;
  EXPECT_EQ(mapped.err, "");

  auto verbose = test::RunProcess({VAMBRIO_CLI, "render", dir.File("Xg.sty"), "Main A", "-o", dir.File("out.wav"),
                                   "--verbose", "--voices", "written"});
  ASSERT_EQ(verbose.status, 0) << verbose.err;
  EXPECT_THAT(verbose.err, HasSubstr("fluidsynth: warning: Instrument not found on channel 10 [bank=114 prog=4]"));
  EXPECT_THAT(verbose.err, HasSubstr("channel 14 [bank=114 prog=4]"));
  EXPECT_THAT(verbose.err, ::testing::Not(HasSubstr("note:")));
}

}  // namespace
}  // namespace vambrio::platform
