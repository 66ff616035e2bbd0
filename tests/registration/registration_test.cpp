#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "registration/registration_bank.h"
#include "registration/registration_recall.h"
#include "temp_dir.h"

namespace vambrio::registration {
namespace {

using What = RecallChange::What;
using When = RecallChange::When;

Registration Ballad() {
  Registration r;
  r.styleFile = "/styles/Ballad.sty";
  r.tempo = 72.5;
  r.section = "Main B";
  r.accompanimentParts[6] = false;
  r.otsLink = true;
  r.voices[static_cast<size_t>(Part::Right1)] = {true, 0, 112, 48, 90, 1};
  r.voices[static_cast<size_t>(Part::Left)] = {true, 0, 0, 32, 70, -1};
  r.splitPoint = 59;
  r.chordMemory = false;
  r.autoFill = false;
  r.chord = "Bbm7";
  r.voiceMap = "gm";
  r.latency = "low";
  return r;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(RegistrationBank, RoundTripsThroughItsFile) {
  test::TempDir dir;
  const std::string path = dir.File("Gig.vreg");
  EXPECT_EQ(std::get<Bank>(ReadBank(path)), Bank{}) << "no file yet: an empty bank";
  Bank bank;
  bank.entries[0] = Ballad();
  bank.entries[5] = Registration{};
  ASSERT_FALSE(WriteBank(path, bank));
  const auto read = ReadBank(path);
  ASSERT_TRUE(std::holds_alternative<Bank>(read)) << std::get<BankProblem>(read).message;
  EXPECT_EQ(std::get<Bank>(read), bank);
  EXPECT_FALSE(std::get<Bank>(read).entries[1]);
  EXPECT_NE(Slurp(path).find("\"chord\": \"Bbm7\""), std::string::npos);
  // A bank of fewer entries, fields left out: the defaults.
  const auto sparse = ParseBank(R"({"format":"vambrio-registrations","version":1,"registrations":[{"tempo":90}]})");
  ASSERT_TRUE(std::holds_alternative<Bank>(sparse));
  EXPECT_EQ(std::get<Bank>(sparse).entries[0]->tempo, 90);
  EXPECT_EQ(std::get<Bank>(sparse).entries[0]->section, "Main A");
}

TEST(RegistrationBank, ADamagedFileIsReportedAndNeverWrittenOver) {
  test::TempDir dir;
  const std::string path = dir.File("Gig.vreg");
  const std::string damaged = "{\"format\":\"vambrio-registrations\",\"version\":1,\"registrations\":[{\"tempo\":";
  std::ofstream(path) << damaged;
  const auto read = ReadBank(path);
  ASSERT_TRUE(std::holds_alternative<BankProblem>(read));
  EXPECT_EQ(std::get<BankProblem>(read).message, path + " is damaged (it is not JSON)");
  const auto refused = WriteBank(path, Bank{});
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->message.find("left as it is"), std::string::npos);
  EXPECT_EQ(Slurp(path), damaged);

  const std::pair<const char*, const char*> cases[] = {
      {R"([1,2])", "it is not a bank of registrations"},
      {R"({"format":"vambrio-registrations","version":7,"registrations":[]})", "it was made by a newer version of Vambrio"},
      {R"({"format":"vambrio-registrations","version":1,"registrations":[null,{"voices":{"left":{"octave":5}}}]})",
       "registration 2: voice \"left\": \"octave\" is not a whole number from -2 to 2"},
      {R"({"format":"vambrio-registrations","version":1,"registrations":[{"latency":"fast"}]})",
       "registration 1: \"latency\" is not low, normal or safe"},
  };
  for (const auto& [text, problem] : cases) {
    const auto parsed = ParseBank(text);
    ASSERT_TRUE(std::holds_alternative<BankProblem>(parsed)) << text;
    EXPECT_EQ(std::get<BankProblem>(parsed).message, problem);
  }
}

TEST(RegistrationRecall, StyleAndSectionWaitForTheBarLineVoicesChangeAtOnceFreezeKeeps) {
  Registration now;
  now.styleFile = "/styles/Pop.sty";
  now.tempo = 120;
  const Registration ballad = Ballad();

  const auto playing = PlanRecall(now, ballad, {}, true);
  const std::vector<RecallChange> expected = {
      {What::Style, When::NextBarLine},  {What::Tempo, When::NextBarLine},      {What::Section, When::NextBarLine},
      {What::AccompanimentPart, When::AtOnce, 6}, {What::OtsLink},               {What::Voice, When::AtOnce, 0},
      {What::Voice, When::AtOnce, 2},    {What::SplitPoint},                    {What::ChordMemory},
      {What::AutoFill},                  {What::Chord},                         {What::VoiceMap},
      {What::Latency}};
  EXPECT_EQ(playing, expected);
  for (const RecallChange& c : PlanRecall(now, ballad, {}, false)) EXPECT_EQ(c.when, When::AtOnce);
  EXPECT_TRUE(PlanRecall(ballad, ballad, {}, true).empty());

  const auto keepStyle = PlanRecall(now, ballad, {.styleAndTempo = true}, true);
  EXPECT_EQ(keepStyle.front(), (RecallChange{What::Section, When::NextBarLine}));
  EXPECT_EQ(AfterRecall(now, ballad, {.styleAndTempo = true}).styleFile, "/styles/Pop.sty");
  EXPECT_EQ(AfterRecall(now, ballad, {.styleAndTempo = true}).tempo, 120);

  const auto keepVoices = PlanRecall(now, ballad, {.voices = true}, true);
  EXPECT_EQ(std::count_if(keepVoices.begin(), keepVoices.end(), [](auto& c) { return c.what == What::Voice; }), 0);
  EXPECT_EQ(AfterRecall(now, ballad, {.voices = true}).voices, now.voices);
  // The same style at another tempo: the tempo at once.
  Registration faster = now;
  faster.tempo = 132;
  EXPECT_EQ(PlanRecall(now, faster, {}, true), (std::vector<RecallChange>{{What::Tempo, When::AtOnce}}));
}

}  // namespace
}  // namespace vambrio::registration
