// vambrio-cli's manners: the help on standard output, the version, usage
// errors on standard error, folders walked for styles, and the progress line
// of a long batch only on a terminal.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "cli_run.h"
#include "run_process.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio {
namespace {

using test::Cli;

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The command names of the overview's "Commands:" list.
std::vector<std::string> ListedCommands(const std::string& overview) {
  std::vector<std::string> names;
  bool inList = false;
  for (const auto& line : Lines(overview)) {
    if (line == "Commands:") inList = true;
    else if (inList && line.rfind("  ", 0) == 0) names.push_back(line.substr(2, line.find(' ', 2) - 2));
    else if (inList) break;
  }
  return names;
}

TEST(CliManners, HelpGoesToStandardOutputAndExplainsEveryOption) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"-h"}, {"help"}}) {
    auto r = Cli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, StartsWith("usage: vambrio-cli COMMAND"));
  }
  std::vector<std::string> commands = ListedCommands(Cli({"help"}).out);
  EXPECT_THAT(commands, ::testing::IsSupersetOf({"assemble", "edit", "help", "info"}));
  for (const auto& name : commands) {
    SCOPED_TRACE(name);
    auto r = Cli({"help", name});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Cli({name, "--help"}).out, r.out);
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_THAT(lines.at(0), StartsWith("usage: vambrio-cli " + name));
    // Every option of the usage line has a line of its own with an explanation.
    std::regex option(R"((^|[ \[])(-o|--[a-z-]+))");
    for (std::sregex_iterator it(lines[0].begin(), lines[0].end(), option), end; it != end; ++it) {
      const std::string opt = (*it)[2];
      bool explained = false;
      for (const auto& line : lines) {
        std::smatch m;
        if (std::regex_match(line, m, std::regex("  " + opt + R"((?: \S+)? {2,}\S.*)"))) explained = true;
      }
      EXPECT_TRUE(explained) << opt;
    }
    EXPECT_THAT(r.out, HasSubstr("\nExample"));
    EXPECT_THAT(r.out, HasSubstr("  vambrio-cli " + name));
  }
}

TEST(CliManners, VersionAndWrongArguments) {
  auto v = Cli({"--version"});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, std::string("vambrio-cli ") + VAMBRIO_VERSION + "\n");
  EXPECT_TRUE(std::regex_match(v.out, std::regex(R"(vambrio-cli 1\.\d+\.\d+\n)")));

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"bogus"}, {"help", "bogus"}, {"info"}, {"assemble", "x.sty"}, {"edit", "x.sty", "--tempo"}}) {
    auto r = Cli(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr("usage: vambrio-cli "));
  }
}

class FolderTest : public ::testing::Test {
 protected:
  std::string Add(const std::string& relative, const test::Bytes& bytes) {
    std::filesystem::path p = dir.path() / relative;
    std::filesystem::create_directories(p.parent_path());
    test::WriteFile(p.string(), bytes);
    return p.string();
  }
  static test::Bytes Style(const std::string& name) {
    return test::StyleBytes(test::TrackBuilder().TrackName(name).Marker("Main A").EndOfTrack());
  }
  test::TempDir dir;
};

TEST_F(FolderTest, InfoWalksFoldersForStyleFilesInAnyCase) {
  std::string pop = Add("Pop/Pop.STY", Style("Pop"));
  std::string ballad = Add("Ballad.prs", Style("Ballad"));
  std::string deep = Add("a/b/c/Deep.Sst", Style("Deep"));
  Add("notes.txt", {'x'});
  Add("Pop/cover.jpg", {'x'});
  std::filesystem::create_directories(dir.path() / "Empty.sty");  // a folder, not a style
  std::filesystem::create_directory_symlink(dir.path() / "Pop", dir.path() / "a/link");

  auto r = Cli({"info", "--json", dir.path().string()});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> files;
  for (const auto& line : Lines(r.out)) files.push_back(nlohmann::json::parse(line)["file"]);
  EXPECT_EQ(files, (std::vector<std::string>{ballad, pop, deep}));

  auto readable = Cli({"info", (dir.path() / "a").string(), ballad});
  EXPECT_EQ(readable.status, 0);
  EXPECT_THAT(readable.out, HasSubstr(deep + "\n  Name:      Deep - \n"));
  EXPECT_THAT(readable.out, HasSubstr(ballad + "\n"));
  EXPECT_EQ(Lines(readable.out).size(), 2u * 7u);
}

// Runs vambrio-cli with its standard error on a terminal of its own; the
// terminal's text comes back in `err`, standard output in `out`.
test::ProcessResult CliOnTerminal(const std::vector<std::string>& args) {
  int outPipe[2];
  if (pipe(outPipe) != 0) return {};
  int terminal = -1;
  pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    dup2(outPipe[1], 1);
    close(outPipe[0]);
    std::vector<char*> argv{const_cast<char*>(VAMBRIO_CLI)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  test::ProcessResult r;
  test::ReadToEnd(outPipe[0], terminal, r);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  return r;
}

TEST_F(FolderTest, ProgressOfALongBatchOnlyOnATerminal) {
  for (int i = 0; i < 201; ++i) Add("many/" + std::to_string(1000 + i) + ".sty", Style("S"));
  const std::string folder = (dir.path() / "many").string();
  auto piped = Cli({"info", "--json", folder});
  ASSERT_EQ(piped.status, 0);
  EXPECT_EQ(piped.err, "");
  EXPECT_EQ(Lines(piped.out).size(), 201u);

  auto shown = CliOnTerminal({"info", "--json", folder});
  ASSERT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out, piped.out);
  EXPECT_THAT(shown.err, HasSubstr("[201/201]"));
  EXPECT_THAT(shown.err, HasSubstr("files/s"));
  EXPECT_THAT(shown.err, HasSubstr("1200.sty"));

  // 200 files are not a long batch.
  std::filesystem::remove(dir.path() / "many/1200.sty");
  EXPECT_EQ(CliOnTerminal({"info", "--json", folder}).err, "");
}

}  // namespace
// A wrong option, a chart that cannot be read and a count of one say what they mean.
TEST_F(FolderTest, WrongOptionsChartsAndCountsSayWhatTheyMean) {
  const std::string style = std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty";
  const std::string chart = Add("one.chart", {'[', 'M', 'a', 'i', 'n', ' ', 'A', ']', ' ', 'C', ' ', '|', '\n'});
  const std::string out = (dir.path() / "one.mid").string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong{
      {{"arrange", style, chart, "-o", out, "--tempo", "fast"}, "--tempo fast: not a number"},
      {{"arrange", style, chart, "-o", out, "--tempo", "999"}, "--tempo 999: the tempo must be from 10 to 500"},
      {{"arrange", style, chart, "-o"}, "-o needs a value"},
      {{"assemble", style, "Main A", "-o", out, "--parts", "0110"}, "--parts 0110: eight digits 0 or 1"}};
  for (const auto& [args, said] : wrong) {
    auto r = Cli(args);
    EXPECT_EQ(r.status, 2) << said;
    EXPECT_THAT(r.err, HasSubstr("vambrio-cli: " + said));
  }
  auto missing = Cli({"arrange", style, (dir.path() / "none.chart").string(), "-o", out});
  EXPECT_THAT(missing.err, HasSubstr("none.chart: the chart could not be read: there is no such file"));
  auto folder = Cli({"arrange", style, dir.path().string(), "-o", out});
  EXPECT_THAT(folder.err, HasSubstr(": this is a folder, not a chart"));
  auto one = Cli({"arrange", style, chart, "-o", out});
  EXPECT_THAT(one.out, HasSubstr("one.mid: 1 bar, 0:0"));

  Add("lib/Only.sty", Style("Only"));
  const std::string db = (dir.path() / "lib.db").string();
  EXPECT_THAT(Cli({"library", "add", (dir.path() / "lib").string(), "--db", db}).out, HasSubstr("Indexed 1 style file in"));
  EXPECT_EQ(Cli({"library", "list", "--search", "zzz", "--db", db}).err, "");
  EXPECT_THAT(CliOnTerminal({"library", "list", "--search", "zzz", "--db", db}).err, HasSubstr("No style matches"));
}

}  // namespace vambrio
