// vambrio-cli library: add, list with its filters, duplicates, remove, and
// two programs indexing the same library at once.
#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "library_test_support.h"
#include "run_process.h"

namespace vambrio {
namespace {

using nlohmann::json;
using test::NamedStyle;
using test::Put;

class CliLibrary : public ::testing::Test {
 protected:
  test::ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), VAMBRIO_CLI);
    args.insert(args.end(), {"--db", db});
    return test::RunProcess(args);
  }
  std::vector<json> ListJson(std::vector<std::string> filters) {
    filters.insert(filters.begin(), {"library", "list", "--json"});
    test::ProcessResult r = Cli(filters);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<json> out;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) out.push_back(json::parse(line));
    return out;
  }
  std::vector<std::string> Files(std::vector<std::string> filters) {
    std::vector<std::string> out;
    for (const json& j : ListJson(std::move(filters))) out.push_back(j["file"]);
    return out;
  }

  test::TempDir styles;
  test::TempDir data;
  std::string db = data.File("library.sqlite");
};

TEST_F(CliLibrary, AddListAndFilter) {
  Put(styles.path(), "Ballads/Slow Waltz.sty", NamedStyle("Slow Waltz", 84, 3, 2, "SFF2"));
  Put(styles.path(), "Pop/Pop Rock.prs", NamedStyle("Pop Rock", 120));
  Put(styles.path(), "Pop/Jig.sty", NamedStyle("Jig", 100, 6, 3));
  Put(styles.path(), "Pop/Broken.sty", {'M', 'T'});

  test::ProcessResult add = Cli({"library", "add", styles.path().string()});
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_NE(add.out.find("Indexed 4 style files"), std::string::npos) << add.out;
  EXPECT_NE(add.out.find("1 of them does not load"), std::string::npos) << add.out;

  std::vector<json> all = ListJson({});
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0]["file"], "Broken.sty");  // sorted by name: the file without one first
  EXPECT_EQ(all[0]["ok"], false);
  EXPECT_EQ(all[0]["error"].get<std::string>().rfind("The program could not process this file\n", 0), 0u);
  const json& jig = all[1];
  EXPECT_EQ(jig["name"], "Jig");
  EXPECT_EQ(jig["tempo"], 200);
  EXPECT_EQ(jig["time_signature"], "6/8");
  EXPECT_EQ(jig["format"], "SFF1");
  EXPECT_EQ(jig["sections"], json({"Main A", "Main B"}));
  EXPECT_EQ(jig["parts"], json({"Rhythm Main", "Bass"}));
  EXPECT_EQ(jig["folder"], styles.path().string() + "/Pop");

  EXPECT_EQ(Files({"--search", "pop"}), (std::vector<std::string>{"Broken.sty", "Jig.sty", "Pop Rock.prs"}));
  EXPECT_EQ(Files({"--search", "WALTZ ballads"}), std::vector<std::string>{"Slow Waltz.sty"});
  EXPECT_EQ(Files({"--tempo", "90-150"}), (std::vector<std::string>{"Pop Rock.prs"}));
  EXPECT_EQ(Files({"--time-signature", "3/4"}), std::vector<std::string>{"Slow Waltz.sty"});
  EXPECT_EQ(Files({"--format", "sff2"}), std::vector<std::string>{"Slow Waltz.sty"});
  EXPECT_EQ(Files({"--errors"}), std::vector<std::string>{"Broken.sty"});

  test::ProcessResult text = Cli({"library", "list", "--search", "rock"});
  EXPECT_NE(text.out.find("Pop Rock   120  4/4    SFF1  " + styles.path().string() + "/Pop/Pop Rock.prs"),
            std::string::npos)
      << text.out;

  for (auto bad : {std::vector<std::string>{"library", "list", "--tempo", "fast"},
                   {"library", "list", "--format", "sff3"},
                   {"library", "list", "--time-signature", "4"},
                   {"library", "add"},
                   {"library", "frobnicate"}})
    EXPECT_EQ(Cli(bad).status, 2) << bad.back();
  EXPECT_EQ(Cli({"library", "add", styles.path().string() + "/missing"}).status, 1);
}

TEST_F(CliLibrary, ListSeesChangesDuplicatesAndRemove) {
  test::Bytes same = NamedStyle("Same");
  Put(styles.path(), "a/one.sty", same);
  Put(styles.path(), "b/two.sty", same);
  std::string gone = Put(styles.path(), "b/gone.sty", NamedStyle("Gone"));
  ASSERT_EQ(Cli({"library", "add", styles.path().string() + "/a", styles.path().string() + "/b"}).status, 0);

  std::filesystem::remove(gone);
  Put(styles.path(), "a/new.sty", NamedStyle("New"));
  EXPECT_EQ(Files({}), (std::vector<std::string>{"new.sty", "one.sty", "two.sty"}));

  test::ProcessResult dup = Cli({"library", "duplicates", "--json"});
  ASSERT_EQ(dup.status, 0);
  json group = json::parse(dup.out);
  EXPECT_EQ(group["paths"], json({styles.path().string() + "/a/one.sty", styles.path().string() + "/b/two.sty"}));

  test::ProcessResult removed = Cli({"library", "remove", styles.path().string() + "/b"});
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_NE(removed.out.find("(1 styles)"), std::string::npos) << removed.out;
  EXPECT_EQ(Cli({"library", "remove", styles.path().string() + "/b"}).status, 1);
  EXPECT_EQ(Cli({"library", "duplicates"}).out, "");
}

TEST_F(CliLibrary, TwoProgramsIndexingAtOnceEndConsistent) {
  for (int i = 0; i < 400; ++i)
    Put(styles.path(), "f" + std::to_string(i % 7) + "/s" + std::to_string(i) + ".sty",
        NamedStyle("S" + std::to_string(i), 60 + i % 100));
  test::ProcessResult first, second;
  std::thread a([&] { first = Cli({"library", "add", styles.path().string()}); });
  std::thread b([&] { second = Cli({"library", "add", styles.path().string() + "/f3", styles.path().string()}); });
  a.join();
  b.join();
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(second.status, 0) << second.err;

  std::vector<json> rows = ListJson({"--no-update"});
  std::set<std::string> paths;
  for (const json& r : rows) {
    paths.insert(r["path"].get<std::string>());
    EXPECT_TRUE(r["ok"].get<bool>());
  }
  EXPECT_EQ(rows.size(), 400u);
  EXPECT_EQ(paths.size(), 400u);
  test::ProcessResult again = Cli({"library", "add", styles.path().string()});
  EXPECT_NE(again.out.find(": 0 read"), std::string::npos) << again.out;
}

TEST_F(CliLibrary, FileNamesThatAreNotUtf8) {
  Put(styles.path(), "Caf\xE9.sty", NamedStyle("Latin"));
  ASSERT_EQ(Cli({"library", "add", styles.path().string()}).status, 0);
  std::vector<json> rows = ListJson({"--search", "latin"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["file"], "Caf\xEF\xBF\xBD.sty");  // shown with the replacement character
  std::string hex = rows[0]["path_hex"];
  EXPECT_EQ(hex.substr(hex.size() - 16), "436166e92e737479");  // "Caf\xE9.sty", the bytes themselves
  // Text output shows such bytes, and any control character, escaped: one line a file.
  Put(styles.path(), "Two\nLines\x1B[2J.sty", NamedStyle("Lines"));
  ASSERT_EQ(Cli({"library", "add", styles.path().string()}).status, 0);
  const std::string list = Cli({"library", "list"}).out;
  EXPECT_NE(list.find("Caf\\xE9.sty\n"), std::string::npos) << list;
  EXPECT_NE(list.find("Two\\nLines\\e[2J.sty\n"), std::string::npos) << list;
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 2) << list;
}

}  // namespace
}  // namespace vambrio
