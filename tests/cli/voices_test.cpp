#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "bank_eight_style.h"
#include "cli_run.h"
#include "smf_check.h"
#include "soundfont_writer.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using nlohmann::json;
using test::Cli;
using test::ReadAll;

class VoicesCliTest : public ::testing::Test {
 protected:
  VoicesCliTest() {
    test::WriteFile(style, test::BankEightStyle());
    test::WriteFile(soundFont, test::TinyGmSoundFont(true));
  }
  test::TempDir dir;
  const std::string style = dir.File("Bank8.sty");
  const std::string soundFont = dir.File("Tiny.sf2");
};

TEST_F(VoicesCliTest, JsonNamesEachVoiceWhatPlaysItAndHow) {
  const auto r = Cli({"voices", style, "--json", "--soundfont", soundFont});
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = json::parse(r.out);
  ASSERT_EQ(out["voices"].size(), 3u);
  const json& drums = out["voices"][0];
  EXPECT_EQ(drums["channel"], 10);
  EXPECT_EQ(drums["resolved"], (json{{"bank", 128}, {"program", 0}, {"name", "Standard"}}));
  EXPECT_EQ(drums["moved_keys"], (json::parse(R"([{"key":13,"to":86}])")));
  const json& bass = out["voices"][1];
  EXPECT_EQ(bass["channel"], 11);
  EXPECT_EQ(bass["part"], "Bass");
  EXPECT_EQ(bass["requested"], (json{{"msb", 8}, {"lsb", 0}, {"program", 17}}));
  EXPECT_EQ(bass["requested_name"], "finger bass");
  EXPECT_EQ(bass["family"], "bass");
  EXPECT_EQ(bass["resolved"], (json{{"bank", 0}, {"program", 33}, {"name", "Finger Bass"}}));
  EXPECT_EQ(bass["how"], "MegaVoice table");
  EXPECT_EQ(bass["articulations"][3], (json::parse(R"({"velocity":[121,127],"articulation":"slap","program":36})")));
  EXPECT_EQ(out["voices"][2]["resolved"]["program"], 27);

  const auto text = Cli({"voices", style, "--soundfont", soundFont, "--noise", "leave-out"});
  EXPECT_NE(text.out.find("Channel 12 (Chord 1): 8/0/3 clean guitar -> bank 0, program 27 \"Clean Guitar\" (MegaVoice table)"),
            std::string::npos) << text.out;
  EXPECT_NE(text.out.find("notes 96-119 strum noise (left out)"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("2 voices of this style are played by stand-ins on this SoundFont"), std::string::npos);
  EXPECT_EQ(Cli({"voices", style, "--soundfont", dir.File("none.sf2")}).status, 1);
  EXPECT_EQ(Cli({"voices", style, "--noise", "loud"}).status, 2);

  const auto info = Cli({"info", "--json", style});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(json::parse(info.out)["voices"][1]["requested_name"], "finger bass");
}

// A digest of a file's bytes (64-bit FNV-1a).
uint64_t Digest(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xcbf29ce484222325u;
  for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3u;
  return h;
}

TEST_F(VoicesCliTest, DefaultFilesAreByteForByteWhatTheyWereAndWrittenIsTheSame) {
  const std::string demo = VAMBRIO_SOURCE_DIR "/examples/Demo.sty";
  struct Case {
    std::vector<std::string> args;
    uint64_t digest;
    size_t size;
  };
  const Case cases[] = {
      {{"assemble", demo, "Main A"}, 0xeed6915e5bfd60dfu, 1846},
      {{"assemble", demo, "Fill In AA", "--chord", "Bbm7"}, 0xd3009acfe11bb38cu, 995},
      {{"arrange", demo, VAMBRIO_SOURCE_DIR "/examples/Demo.chart"}, 0xae409901dd1c85e4u, 11123},
  };
  for (const Case& c : cases) {
    for (const char* voices : {"", "written"}) {
      std::vector<std::string> args = c.args;
      args.insert(args.end(), {"-o", dir.File("out.mid")});
      if (*voices) args.insert(args.end(), {"--voices", voices});
      ASSERT_EQ(Cli(args).status, 0) << args[0] << " " << voices;
      const auto bytes = ReadAll(dir.File("out.mid"));
      EXPECT_EQ(bytes.size(), c.size) << args[0] << " " << voices;
      EXPECT_EQ(Digest(bytes), c.digest) << args[0] << " " << voices;
    }
  }
}

TEST_F(VoicesCliTest, GeneralMidiReadyFilesReadCleanlyAndPlayTheStandIns) {
  for (const char* noise : {"play", "leave-out"}) {
    const std::string out = dir.File(std::string("gm-") + noise + ".mid");
    const auto r = Cli({"assemble", style, "Main A", "-o", out, "--voices", "gm", "--noise", noise});
    ASSERT_EQ(r.status, 0) << r.err;
    const test::SmfFile f = test::ReadSmf(ReadAll(out));
    ASSERT_TRUE(f.ok()) << f.error;
    const auto mido = test::RunProcess({"/usr/bin/python3", VOICES_CHECK, out});
    ASSERT_EQ(mido.status, 0) << mido.err;
    const json seen = json::parse(mido.out);
    SCOPED_TRACE(seen.dump());
    EXPECT_EQ(seen["left_sounding"], 0);
    EXPECT_EQ(seen["programs"]["11"], (json{33}));  // the bass; its slap on a free channel
    EXPECT_EQ(seen["programs"]["12"], (json{27}));
    EXPECT_LT(seen["highest_melodic_key"].get<int>(), 96) << "no noise plays as a pitched note";
    json helpers = json::array();
    for (int ch = 2; ch <= 8; ++ch)
      if (seen["programs"].contains(std::to_string(ch))) helpers.push_back(seen["programs"][std::to_string(ch)][0]);
    if (std::string(noise) == "play") {
      EXPECT_EQ(helpers, (json{36, 28, 31, 120}));
    } else {
      EXPECT_EQ(helpers, (json{36, 28, 31}));
    }
  }
  const auto song = Cli({"arrange", style, "-", "-o", dir.File("song.mid"), "--voices", "gm"}, "[Main A] C | G |\n");
  ASSERT_EQ(song.status, 0) << song.err;
  EXPECT_TRUE(test::ReadSmf(ReadAll(dir.File("song.mid"))).ok());
  EXPECT_EQ(Cli({"assemble", style, "Main A", "-o", dir.File("x.mid"), "--voices", "yes"}).status, 2);
}

}  // namespace
}  // namespace vambrio
