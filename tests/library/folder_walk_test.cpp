// Finding the style files of a folder tree.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "library/folder_walk.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::library {
namespace {

std::vector<std::string> Names(const WalkResult& r, const std::string& root) {
  std::vector<std::string> out;
  for (const auto& f : r.files) out.push_back(f.path.substr(root.size() + 1));
  std::sort(out.begin(), out.end());
  return out;
}

TEST(FolderWalk, FindsStyleFilesInEveryFolderBelowInAnyCase) {
  test::TempDir dir;
  std::string root = dir.path().string();
  std::filesystem::create_directories(dir.path() / "Pop" / "Ballads");
  for (const char* name : {"a.sty", "B.PRS", "Pop/c.Sst", "Pop/Ballads/d.bcs", "Pop/notes.txt", "Pop/sty",
                           "Pop/e.fps", "Pop/f.pcs", "Pop/g.pst", "Pop/x.styx"})
    test::WriteFile(root + "/" + name, {1, 2, 3});
  std::filesystem::create_directory(dir.path() / "folder.sty");  // a folder is no style
  // A link back up the tree is walked once; a link to a style counts as that file.
  std::filesystem::create_directory_symlink(root, dir.path() / "Pop" / "loop");
  std::filesystem::create_symlink(root + "/a.sty", dir.path() / "Pop" / "link.sty");

  WalkResult r = FindStyleFiles(root);
  EXPECT_TRUE(r.rootReadable);
  EXPECT_EQ(Names(r, root), (std::vector<std::string>{"B.PRS", "Pop/Ballads/d.bcs", "Pop/c.Sst", "Pop/e.fps",
                                                      "Pop/f.pcs", "Pop/g.pst", "Pop/link.sty", "a.sty"}));
  EXPECT_EQ(r.files.front().size, 3);
  EXPECT_GT(r.files.front().mtimeNs, 0);
  EXPECT_FALSE(FindStyleFiles(root + "/missing").rootReadable);
}

TEST(FolderWalk, KeepsNamesThatAreNotUtf8AndReportsUnreadableFolders) {
  test::TempDir dir;
  std::string root = dir.path().string();
  test::WriteFile(root + "/Caf\xE9.sty", {1});
  std::filesystem::create_directory(dir.path() / "locked");
  test::WriteFile(root + "/locked/z.sty", {1});
  chmod((root + "/locked").c_str(), 0);
  WalkResult r = FindStyleFiles(root);
  chmod((root + "/locked").c_str(), 0700);
  EXPECT_EQ(Names(r, root)[0], "Caf\xE9.sty");
  if (geteuid() != 0) {  // root reads every folder
    EXPECT_EQ(r.problems, std::vector<std::string>{root + "/locked"});
  }
}

TEST(FolderWalk, PathsInsideAFolder) {
  EXPECT_TRUE(IsInside("/styles/pop/a.sty", "/styles"));
  EXPECT_FALSE(IsInside("/styles2/a.sty", "/styles"));
  EXPECT_FALSE(IsInside("/styles", "/styles"));
  EXPECT_TRUE(IsInside("/a.sty", "/"));
  EXPECT_EQ(DirName("/a.sty"), "/");
  EXPECT_EQ(BaseName("/x/y/a.sty"), "a.sty");
}

}  // namespace
}  // namespace vambrio::library
