#include "model/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/error_reporter.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

WindowSettings Applied(const std::string& text, WindowSettings start = {}) {
  ApplySettingsText(text, start);
  return start;
}

TEST(SettingsText, WrittenFileHasTwoLinesAndAnEmptyLineAtTheEnd) {
  test::TempDir dir;
  CollectingErrorReporter errors;
  std::string path = dir.File(kSettingsFileName);
  WriteTextFileContents(SettingsText({}), path, false, errors);
  EXPECT_EQ(Slurp(path), "XG\r\nTrue\r\n\r\n");
  WriteTextFileContents(SettingsText({.GmPlayer = true, .IncludeSysex = false}), path, false, errors);
  EXPECT_EQ(Slurp(path), "GM\r\nFalse\r\n\r\n");
  EXPECT_THAT(errors.messages, IsEmpty());
}

TEST(SettingsText, MissingOrShortFilesGiveTheDefaults) {
  EXPECT_FALSE(Applied("").GmPlayer);
  EXPECT_TRUE(Applied("").IncludeSysex);
  WindowSettings gmOnly = Applied("GM");
  EXPECT_TRUE(gmOnly.GmPlayer);
  EXPECT_TRUE(gmOnly.IncludeSysex);
}

TEST(SettingsText, ComparisonsAreExactAndCaseSensitive) {
  // A sysex line that is not exactly "True" or "False" leaves the choice as it is.
  EXPECT_TRUE(Applied("XG\r\ntrue").IncludeSysex);
  EXPECT_FALSE(Applied("XG\r\ntrue", {.GmPlayer = false, .IncludeSysex = false}).IncludeSysex);
  EXPECT_TRUE(Applied("XG\r\nfalse").IncludeSysex);
  // Anything but "GM" on line 1 is the XG player, even if it was GM before.
  EXPECT_FALSE(Applied("gm\r\nTrue", {.GmPlayer = true}).GmPlayer);
  EXPECT_FALSE(Applied(" GM\r\nTrue", {.GmPlayer = true}).GmPlayer);
  // Lines end at CR LF only: with bare line feeds the first line is the whole text.
  WindowSettings lf = Applied("GM\nFalse\n");
  EXPECT_FALSE(lf.GmPlayer);
  EXPECT_TRUE(lf.IncludeSysex);
  // Only the first two lines count.
  EXPECT_FALSE(Applied("XG\r\nFalse\r\nTrue\r\n").IncludeSysex);
}

TEST(TextFiles, MissingFileReadsAsEmptyWithoutAMessage) {
  test::TempDir dir;
  CollectingErrorReporter errors;
  EXPECT_EQ(ReadTextFileContents(dir.File("nothing.ini"), errors), "");
  EXPECT_THAT(errors.messages, IsEmpty());
}

TEST(TextFiles, ReadReturnsEveryByte) {
  test::TempDir dir;
  std::string text = "GM\r\nFalse\r\n\r\n";
  text += std::string("\0\x1a\xff", 3);  // no text-mode translation of any kind
  std::ofstream(dir.File("a.ini"), std::ios::binary) << text;
  CollectingErrorReporter errors;
  EXPECT_EQ(ReadTextFileContents(dir.File("a.ini"), errors), text);
  EXPECT_THAT(errors.messages, IsEmpty());
}

TEST(TextFiles, UnreadableFileIsReportedAndReadsAsEmpty) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("Vambrio.ini"));  // a folder in its place
  CollectingErrorReporter errors;
  EXPECT_EQ(ReadTextFileContents(dir.File("Vambrio.ini"), errors), "");
  ASSERT_THAT(errors.messages, ElementsAre("File may have read-only attribute. Change attribute or choose another name."));
}

TEST(TextFiles, WriteEmptiesALongerFileOrAppends) {
  test::TempDir dir;
  std::string path = dir.File("w.ini");
  std::ofstream(path, std::ios::binary) << std::string(100, 'x');
  CollectingErrorReporter errors;
  WriteTextFileContents("ab", path, false, errors);
  EXPECT_EQ(Slurp(path), "ab\r\n");
  WriteTextFileContents("cd", path, true, errors);
  EXPECT_EQ(Slurp(path), "ab\r\ncd\r\n");
  EXPECT_THAT(errors.messages, IsEmpty());
}

TEST(TextFiles, WriteFailuresAreReportedUnderTheProcedureName) {
  test::TempDir dir;
  CollectingErrorReporter errors;
  WriteTextFileContents("XG", dir.File("missing/Vambrio.ini"), false, errors);
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_THAT(errors.messages[0], HasSubstr("Error #: 53, File not found, encountered in Function WriteTextFileContents."));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST(CommandLine, QuotedNameLosesItsFirstAndLastCharacter) {
  EXPECT_EQ(StyleNameFromCommandLine(""), "");
  EXPECT_EQ(StyleNameFromCommandLine("/styles/Pop.sty"), "/styles/Pop.sty");
  EXPECT_EQ(StyleNameFromCommandLine("\"/my styles/Pop.sty\""), "/my styles/Pop.sty");
  // Only a leading quote counts; the last character goes whatever it is.
  EXPECT_EQ(StyleNameFromCommandLine("\"/styles/Pop.sty"), "/styles/Pop.st");
  EXPECT_EQ(StyleNameFromCommandLine("/a \"b\""), "/a \"b\"");
  EXPECT_EQ(StyleNameFromCommandLine("\""), "");
}

}  // namespace
}  // namespace vambrio
