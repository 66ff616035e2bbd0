// vambrio-cli on a style with data bytes of 128 or more: info warns, every
// section assembles to a file that mido reads, and an edit keeps every other byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "malformed_style.h"
#include "cli_run.h"
#include "run_process.h"
#include "smf_check.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;
using test::ReadAll;

using ::testing::HasSubstr;

class MalformedCliTest : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFile(style, odd.bytes); }
  test::MalformedStyle odd;
  test::TempDir dir;
  std::string style = dir.File("Odd.sty");
};

TEST_F(MalformedCliTest, InfoLoadsTheStyleAndWarns) {
  auto r = Cli({"info", "--json", style});
  ASSERT_EQ(r.status, 0) << r.err;
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["ok"], true);
  EXPECT_EQ(j["warnings"], nlohmann::json({"7 malformed data bytes"}));
  EXPECT_EQ(j["sections"], nlohmann::json({"Main A", "Fill In AA"}));

  r = Cli({"info", style});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("  Warning:   7 malformed data bytes\n"));
}

TEST_F(MalformedCliTest, SectionsAssembleToFilesThatMidoReads) {
  std::vector<std::string> reader = {VAMBRIO_PYTHON3, "-c",
                                     "import sys, mido\nfor p in sys.argv[1:]: mido.MidiFile(p)"};
  for (std::string section : {"Main A", "Fill In AA"}) {
    std::string out = dir.File(section + ".mid");
    auto r = Cli({"assemble", style, section, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::SmfStructureError(ReadAll(out)), "") << section;
    reader.push_back(out);
  }
  auto mido = test::RunProcess(reader);
  EXPECT_EQ(mido.status, 0) << mido.err;
}

TEST_F(MalformedCliTest, EditAndSaveKeepEveryOtherByte) {
  std::string out = dir.File("Out.sty");
  auto r = Cli({"edit", style, "-o", out, "--master-volume", "127", "--tempo", "100"});
  ASSERT_EQ(r.status, 0) << r.err;
  test::Bytes saved = ReadAll(out);
  ASSERT_EQ(saved.size(), odd.bytes.size());
  const int32_t tempo = odd.tempoPos;
  for (int32_t i = 0; i < static_cast<int32_t>(saved.size()); ++i) {
    if (i == odd.firstVolumePos || i == odd.oddVolumePos || (i >= tempo && i < tempo + 3)) continue;
    EXPECT_EQ(saved[i], odd.bytes[i]) << "byte " << i;
  }
  EXPECT_EQ(saved[odd.oddVolumePos], 127);  // scaled from 238, and a valid value again
  EXPECT_EQ(saved[odd.firstVolumePos], 75);
  EXPECT_EQ(test::Bytes(saved.begin() + tempo, saved.begin() + tempo + 3), (test::Bytes{0x09, 0x27, 0xC0}));
}

}  // namespace
}  // namespace vambrio
