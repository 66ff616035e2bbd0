#include "editing/tempo_edit.h"

#include <gtest/gtest.h>

#include "editing/edit_handlers.h"
#include "editing_test_util.h"
#include "fakes/fake_input_box.h"
#include "fakes/fake_message_boxes.h"
#include "model/error_reporter.h"

namespace vambrio::test {
namespace {

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.error().Number;
  }
  return 0;
}

TEST(TempoMicroseconds, WorkedValues) {
  struct Case {
    int tempo, denominator;
    int32_t micros;
  };
  for (Case c : {Case{120, 4, 500000}, Case{100, 4, 600000}, Case{32, 4, 1875000}, Case{280, 4, 214286},
                 Case{33, 4, 1818182}, Case{120, 8, 1000000}, Case{96, 2, 312500}}) {
    EXPECT_EQ(TempoMicroseconds(c.tempo, c.denominator), c.micros) << c.tempo << " in /" << c.denominator;
  }
  // 32 beats of a 64th note: 30000000 microseconds per quarter do not fit three bytes.
  EXPECT_EQ(ErrorOf([] { TempoMicroseconds(32, 64); }), err::Overflow);
  EXPECT_EQ(ErrorOf([] { TempoMicroseconds(120, 0); }), err::DivisionByZero);
}

TEST(ParseTempoText, PointSeparatorRoundsHalfToEven) {
  NumberFormat point;
  EXPECT_EQ(ParseTempoText("120.5", point), 120);
  EXPECT_EQ(ParseTempoText("121.5", point), 122);
  EXPECT_EQ(ParseTempoText("  140 ", point), 140);
  EXPECT_EQ(ParseTempoText("+90", point), 90);
  EXPECT_EQ(ParseTempoText(".5e3", point), 500);
  EXPECT_EQ(ParseTempoText("-31", point), -31);
  EXPECT_EQ(ParseTempoText("1e-500", point), 0);
}

TEST(ParseTempoText, UsesTheSeparatorsOfTheUsersFormat) {
  NumberFormat comma{",", "."};
  EXPECT_EQ(ParseTempoText("120,5", comma), 120);
  EXPECT_EQ(ParseTempoText("1.234", comma), 1234);
  NumberFormat english{".", ","};
  EXPECT_EQ(ParseTempoText("1,234.5", english), 1234);
  EXPECT_EQ(ErrorOf([&] { ParseTempoText(",5", english); }), err::TypeMismatch) << "a separator needs digits before it";
  EXPECT_EQ(ErrorOf([&] { ParseTempoText("12,5", NumberFormat{}); }), err::TypeMismatch) << "no separator in force";
}

TEST(ParseTempoText, NotANumberIsTypeMismatchAndTooLargeIsOverflow) {
  NumberFormat point;
  for (const char* text : {"abc", "12a", "1.2.3", "-", ".", "1e", "inf", "nan", "0x10", "1 2"})
    EXPECT_EQ(ErrorOf([&] { ParseTempoText(text, point); }), err::TypeMismatch) << text;
  for (const char* text : {"32768", "-32769", "1e400", "99999999999999999999"})
    EXPECT_EQ(ErrorOf([&] { ParseTempoText(text, point); }), err::Overflow) << text;
  EXPECT_EQ(ParseTempoText("32767.4", point), 32767);
}

// A style at 120 (4/4) with five tempo events.
Bytes FiveTempoStyle() {
  TrackBuilder t;
  t.TimeSignature(4, 2).Tempo(500000).Marker("SInt").Marker("Main A").Tempo(400000).Delta(10).Tempo(450000)
      .Marker("Main B").Tempo(500000).Tempo(600000).EndOfTrack();
  return StyleBytes(t, TrailingChunks());
}

class TempoEditTest : public ::testing::Test {
 protected:
  TempDir dir;
  FakeInputBox input;
  FakeMessageBoxes boxes;
  CollectingErrorReporter errors;
  StyleModel m = Loaded(dir, FiveTempoStyle());

  EditResult Edit(const std::string& answer) {
    input.answers.push_back(answer);
    return TempoEdit(m, input, boxes, errors);
  }
  Bytes TempoBytes(size_t i) const {
    auto p = static_cast<size_t>(m.TempoEventPos[i]);
    return Bytes(m.StyleData.begin() + p, m.StyleData.begin() + p + 3);
  }
};

TEST_F(TempoEditTest, EveryTempoEventGetsTheNewValueAndNothingElseChanges) {
  const Bytes loaded = m.StyleData;
  ASSERT_EQ(m.DisplayTempo, 100);  // the last tempo event, 600000, is the loaded tempo
  EditResult r = Edit("140");
  EXPECT_EQ(r.outcome, EditResult::Outcome::Done);
  EXPECT_EQ(r.view.TempoLabel, "140");
  ASSERT_EQ(input.calls.size(), 1u);
  EXPECT_EQ(input.calls[0].prompt, "Enter a value between 32 and 280");
  EXPECT_EQ(input.calls[0].title, "Edit Tempo");
  EXPECT_EQ(input.calls[0].initial, "100");
  Bytes expected = loaded;
  for (size_t i = 0; i < 5; ++i) {
    auto p = static_cast<size_t>(m.TempoEventPos[i]);
    expected[p] = 0x06, expected[p + 1] = 0x8A, expected[p + 2] = 0x1B;  // 428571
  }
  EXPECT_EQ(m.StyleData, expected);

  // The input box offers the loaded tempo again; the tables are the loaded ones.
  Edit("");
  EXPECT_EQ(input.calls[1].initial, "100");
  EXPECT_EQ(m.DisplayTempo, 100);
  EXPECT_EQ(m.TempoEventValue[0], 120);
}

TEST_F(TempoEditTest, RangeIsThirtyTwoToTwoEighty) {
  const Bytes loaded = m.StyleData;
  for (const char* text : {"31", "281", "-120"}) {
    EditResult r = Edit(text);
    EXPECT_EQ(r.outcome, EditResult::Outcome::Refused) << text;
    EXPECT_FALSE(r.view.TempoLabel.has_value());
  }
  EXPECT_EQ(boxes.shown, std::vector<std::string>(3, "Tempo must be between 32 and 280"));
  EXPECT_EQ(m.StyleData, loaded);
  EXPECT_EQ(Edit("32").outcome, EditResult::Outcome::Done);
  EXPECT_EQ(TempoBytes(0), (Bytes{0x1C, 0x9C, 0x38}));
  EXPECT_EQ(Edit("280").outcome, EditResult::Outcome::Done);
  EXPECT_EQ(TempoBytes(4), (Bytes{0x03, 0x45, 0x0E}));
  EXPECT_TRUE(errors.messages.empty());
}

TEST_F(TempoEditTest, CancelAndLettersChangeNothing) {
  const Bytes loaded = m.StyleData;
  EXPECT_EQ(Edit("").outcome, EditResult::Outcome::NothingToDo);
  EditResult r = Edit("fast");
  EXPECT_EQ(r.outcome, EditResult::Outcome::Reported);
  EXPECT_FALSE(r.view.TempoLabel.has_value());
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0],
            "Error #: 13, Type mismatch, encountered in Function TempoEdit. If the solution is not obvious, please "
            "report this to the author.");
  r = Edit("40000");
  ASSERT_EQ(errors.messages.size(), 2u);
  EXPECT_EQ(errors.messages[1].rfind("Error #: 6, Overflow, encountered in Function TempoEdit.", 0), 0u);
  EXPECT_EQ(m.StyleData, loaded);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TempoEditTest, ValueBeyondThreeBytesIsReportedAfterTheLabelIsSet) {
  m.TimeSigDenominator = 64;
  const Bytes loaded = m.StyleData;
  EditResult r = Edit("32");
  EXPECT_EQ(r.outcome, EditResult::Outcome::Reported);
  EXPECT_EQ(r.view.TempoLabel, "32");
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0].rfind("Error #: 6, Overflow, encountered in Function TempoEdit.", 0), 0u);
  EXPECT_EQ(m.StyleData, loaded);
}

TEST(TempoEditWithoutTempo, NoInputBoxIsShown) {
  TempDir dir;
  TrackBuilder t;
  t.Tempo(500000).Marker("SInt").Marker("Main A").EndOfTrack();  // no time signature
  StyleModel m = Loaded(dir, StyleBytes(t));
  ASSERT_EQ(m.DisplayTempo, 0);
  FakeInputBox input;
  input.answers.push_back("120");
  FakeMessageBoxes boxes;
  SilentErrorSink silent;
  EXPECT_EQ(TempoEdit(m, input, boxes, silent).outcome, EditResult::Outcome::NothingToDo);
  EXPECT_TRUE(input.calls.empty());
}

}  // namespace
}  // namespace vambrio::test
