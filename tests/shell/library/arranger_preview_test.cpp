// The preview on the live arranger: the first Main of the selected style,
// started from a fresh reading of it, stopped by Stop.
#include <gtest/gtest.h>

#include "fake_arranger_service.h"
#include "shell/library/arranger_preview.h"

namespace vambrio::test {
namespace {

using Kind = live::LiveCommand::Kind;

std::vector<Kind> Kinds(const FakeArrangerService& s) {
  std::vector<Kind> out;
  for (const auto& c : s.sent) out.push_back(c.kind);
  return out;
}

TEST(ArrangerPreview, PlaysTheFirstMainOfEachStyleUntilStop) {
  FakeArrangerService service;
  live::ChosenChord chord;
  shell::ArrangerPreview preview(service, chord);
  preview.Play("/styles/a.sty");
  preview.Play("/styles/b.sty");  // reading the next style ends the first
  preview.Stop();
  preview.Stop();
  EXPECT_EQ(Kinds(service), (std::vector<Kind>{Kind::Chord, Kind::Start, Kind::Chord, Kind::Start, Kind::Stop}));
  EXPECT_FALSE(preview.Playing());
}

TEST(ArrangerPreview, PlaysOverTheChosenChord) {
  FakeArrangerService service;
  live::ChosenChord chord;
  shell::ArrangerPreview preview(service, chord);
  ASSERT_TRUE(chord.SetText("F#m7"));  // chosen in the Arranger window after the preview was made
  preview.Play("/styles/a.sty");
  EXPECT_EQ(ChordName(service.Sent(Kind::Chord).back().chord), "F#m7");
  chord.noChord = true;
  preview.Play("/styles/b.sty");
  const std::vector<Kind> kinds = Kinds(service);
  EXPECT_EQ(std::vector<Kind>(kinds.end() - 2, kinds.end()), (std::vector<Kind>{Kind::NoChord, Kind::Start}));
}

TEST(ArrangerPreview, EndsWhenSomethingElseTakesTheOutput) {
  FakeArrangerService service;
  live::ChosenChord chord;
  shell::ArrangerPreview preview(service, chord);
  preview.Play("/styles/a.sty");
  EXPECT_TRUE(preview.Playing());
  service.holdsOutput = false;  // the Arranger window started
  EXPECT_FALSE(preview.Playing());
}

TEST(ArrangerPreview, NothingPlaysForAStyleThatCannotBeReadOrHasNoMain) {
  FakeArrangerService service;
  live::ChosenChord chord;
  shell::ArrangerPreview preview(service, chord);
  service.openProblem = "This file could not be opened";
  preview.Play("/styles/missing.sty");
  service.openProblem.clear();
  service.style.sections = {"Intro A", "Ending A"};
  preview.Play("/styles/intro-only.sty");
  preview.Stop();
  EXPECT_TRUE(service.sent.empty());
}

}  // namespace
}  // namespace vambrio::test
