#include "editing/save_style.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "editing/volume_events.h"
#include "editing_test_util.h"
#include "fakes/fake_file_dialogs.h"
#include "fakes/fake_message_boxes.h"
#include "model/error_reporter.h"

namespace vambrio::test {
namespace {

namespace fs = std::filesystem;

const char* kReadOnlyText = "File may have read-only attribute. Change attribute or choose another name.";

// A writer whose write stops for good after `limit` bytes with `error`.
class FailingWriter final : public FileWriter {
 public:
  FailingWriter(size_t limit, int error) : limit_(limit), error_(error) {}
  ssize_t Write(int fd, const uint8_t* data, size_t size) override {
    if (written_ >= limit_) {
      errno = error_;
      return -1;
    }
    ssize_t n = FileWriter::Write(fd, data, std::min(size, limit_ - written_));
    if (n > 0) written_ += static_cast<size_t>(n);
    return n;
  }

 private:
  size_t limit_, written_ = 0;
  int error_;
};

class FailingRename final : public FileWriter {
 public:
  int Rename(const std::string&, const std::string&) override {
    errno = EXDEV;
    return -1;
  }
};

class SaveStyleTest : public ::testing::Test {
 protected:
  TempDir dir;
  FakeFileDialogs dialogs;
  FakeMessageBoxes boxes;
  CollectingErrorReporter errors;
  int stopPresses = 0;
  StyleModel m = Loaded(dir, VolumeStyle(2, 2));
  SaveServices services{dialogs, boxes, errors, [this] { ++stopPresses; }};

  EditResult SaveTo(const std::optional<std::string>& chosen) {
    dialogs.saveAnswers.push_back(chosen);
    return mnuSaveStyle_Click(m, services);
  }
  // Nothing but the named entries is left in the folder (no temporary file).
  void ExpectFolderHolds(std::set<std::string> names) const {
    std::set<std::string> found;
    for (const auto& e : fs::directory_iterator(dir.path())) found.insert(e.path().filename().string());
    EXPECT_EQ(found, names);
  }
};

TEST_F(SaveStyleTest, NoStyleLoaded) {
  StyleModel empty = MakeStartupModel();
  EXPECT_EQ(mnuSaveStyle_Click(empty, services).outcome, EditResult::Outcome::Refused);
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"Please select a style first"});
  EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(SaveStyleTest, WhilePlayingStopIsPressedAndNothingIsWritten) {
  m.PlaybackStopped = false;
  dialogs.saveAnswers.push_back(dir.File("Out.sty"));
  EXPECT_EQ(mnuSaveStyle_Click(m, services).outcome, EditResult::Outcome::Refused);
  EXPECT_EQ(stopPresses, 1);
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"Please wait until the playing stops before saving"});
  EXPECT_TRUE(dialogs.calls.empty());
  EXPECT_FALSE(fs::exists(dir.File("Out.sty")));
}

TEST_F(SaveStyleTest, NewNameIsWrittenWithoutAQuestion) {
  EXPECT_EQ(SaveTo(dir.File("Out.sty")).outcome, EditResult::Outcome::Done);
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(dialogs.calls[0].startPath, dir.File("In.sty"));
  EXPECT_EQ(dialogs.calls[0].defaultSuffix, "sty");
  EXPECT_TRUE(boxes.asked.empty());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_EQ(ReadBytes(dir.File("Out.sty")), m.StyleData);
  EXPECT_EQ(m.StyleFileName, dir.File("In.sty"));
  ExpectFolderHolds({"In.sty", "Out.sty"});
}

TEST_F(SaveStyleTest, LongerFileIsReplacedAfterOkAndKeepsItsPermissions) {
  WriteFile(dir.File("Old.sty"), Bytes(5000, 0xAA));
  fs::permissions(dir.File("Old.sty"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  boxes.answers.push_back(true);
  EXPECT_EQ(SaveTo(dir.File("Old.sty")).outcome, EditResult::Outcome::Done);
  EXPECT_EQ(boxes.asked, std::vector<std::string>{"This will replace existing file"});
  EXPECT_EQ(ReadBytes(dir.File("Old.sty")), m.StyleData);
  EXPECT_EQ(fs::status(dir.File("Old.sty")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ExpectFolderHolds({"In.sty", "Old.sty"});
}

TEST_F(SaveStyleTest, CancelAtEitherQuestionWritesNothing) {
  EXPECT_EQ(SaveTo(std::nullopt).outcome, EditResult::Outcome::NothingToDo);
  WriteFile(dir.File("Old.sty"), Bytes(10, 1));
  boxes.answers.push_back(false);
  EXPECT_EQ(SaveTo(dir.File("Old.sty")).outcome, EditResult::Outcome::NothingToDo);
  EXPECT_EQ(ReadBytes(dir.File("Old.sty")), Bytes(10, 1));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(errors.messages.empty());
  ExpectFolderHolds({"In.sty", "Old.sty"});
}

TEST_F(SaveStyleTest, ReadOnlyTargetIsLeftAlone) {
  // A file without write bits counts as read-only for every user, so this
  // holds under root as well.
  WriteFile(dir.File("Old.sty"), Bytes(10, 1));
  fs::permissions(dir.File("Old.sty"), fs::perms::owner_read | fs::perms::group_read);
  boxes.answers.push_back(true);
  EXPECT_EQ(SaveTo(dir.File("Old.sty")).outcome, EditResult::Outcome::Reported);
  EXPECT_EQ(errors.messages, std::vector<std::string>{kReadOnlyText});
  EXPECT_EQ(ReadBytes(dir.File("Old.sty")), Bytes(10, 1));
  ExpectFolderHolds({"In.sty", "Old.sty"});
}

TEST_F(SaveStyleTest, ReadOnlyFolderGetsNoFile) {
  fs::create_directory(dir.File("ro"));
  fs::permissions(dir.File("ro"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  auto attempt = [&] {
    EditResult r = SaveTo(dir.File("ro/Out.sty"));
    return r.outcome == EditResult::Outcome::Reported && errors.messages.size() == 1 && fs::is_empty(dir.File("ro"));
  };
  if (access(dir.File("ro").c_str(), W_OK) != 0) {
    EXPECT_TRUE(attempt());
    return;
  }
  // Root writes into any folder: make the attempt as an ordinary user.
  if (geteuid() != 0) GTEST_SKIP() << "the folder stays writable for this user";
  fs::permissions(dir.path(), fs::perms::others_exec, fs::perm_options::add);
  pid_t pid = fork();
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(attempt() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save did not fail cleanly; 2: could not become user 65534";
  EXPECT_TRUE(fs::is_empty(dir.File("ro")));
}

TEST_F(SaveStyleTest, FolderThatRefusesNewFilesGetsNoFile) {
  struct NoCreate final : FileWriter {
    int Create(const std::string&, mode_t) override {
      errno = EACCES;
      return -1;
    }
  } writer;
  services.writer = &writer;
  EXPECT_EQ(SaveTo(dir.File("Out.sty")).outcome, EditResult::Outcome::Reported);
  EXPECT_EQ(errors.messages, std::vector<std::string>{ErrorMessageText("SaveStyle", MakeError(70)).value()});
  ExpectFolderHolds({"In.sty"});
}

TEST_F(SaveStyleTest, TargetThatIsAFolderIsRefused) {
  fs::create_directory(dir.File("Folder.sty"));
  EXPECT_EQ(SaveTo(dir.File("Folder.sty")).outcome, EditResult::Outcome::Reported);
  EXPECT_TRUE(boxes.asked.empty()) << "a folder is not a file to replace";
  EXPECT_EQ(errors.messages, std::vector<std::string>{kReadOnlyText});
  EXPECT_TRUE(fs::is_directory(dir.File("Folder.sty")));
  EXPECT_TRUE(fs::is_empty(dir.File("Folder.sty")));
}

TEST_F(SaveStyleTest, WriteFailingHalfWayLeavesTheOldFileByteForByte) {
  const Bytes old(3000, 0x5C);
  WriteFile(dir.File("Old.sty"), old);
  FailingWriter writer(m.StyleData.size() / 2, ENOSPC);
  services.writer = &writer;
  boxes.answers.push_back(true);
  EXPECT_EQ(SaveTo(dir.File("Old.sty")).outcome, EditResult::Outcome::Reported);
  EXPECT_EQ(errors.messages, std::vector<std::string>{"Disk is full."});
  EXPECT_EQ(ReadBytes(dir.File("Old.sty")), old);
  ExpectFolderHolds({"In.sty", "Old.sty"});
}

TEST_F(SaveStyleTest, FailedRenameLeavesTheOldFileAndNoTemporaryFile) {
  WriteFile(dir.File("Old.sty"), Bytes(7, 7));
  FailingRename writer;
  services.writer = &writer;
  boxes.answers.push_back(true);
  EXPECT_EQ(SaveTo(dir.File("Old.sty")).outcome, EditResult::Outcome::Reported);
  EXPECT_EQ(ReadBytes(dir.File("Old.sty")), Bytes(7, 7));
  ExpectFolderHolds({"In.sty", "Old.sty"});
}

TEST_F(SaveStyleTest, LinkIsSavedThroughToItsTarget) {
  fs::create_directory(dir.File("lib"));
  WriteFile(dir.File("lib/Real.sty"), Bytes(4, 4));
  fs::create_symlink(dir.File("lib/Real.sty"), dir.File("Link.sty"));
  boxes.answers.push_back(true);
  EXPECT_EQ(SaveTo(dir.File("Link.sty")).outcome, EditResult::Outcome::Done);
  EXPECT_TRUE(fs::is_symlink(dir.File("Link.sty")));
  EXPECT_EQ(ReadBytes(dir.File("lib/Real.sty")), m.StyleData);
}

TEST_F(SaveStyleTest, EditedStyleReloadsWithItsTrailingChunksIntact) {
  const Bytes loaded = m.StyleData;
  const size_t trackEnd = 22 + static_cast<size_t>(m.TrackLength);
  ASSERT_EQ(InsertVolumeEvents(m, false, errors).outcome, InsertResult::Outcome::Inserted);
  EXPECT_EQ(SaveTo(dir.File("Out.sty")).outcome, EditResult::Outcome::Done);
  const Bytes saved = ReadBytes(dir.File("Out.sty"));
  ASSERT_EQ(saved.size(), loaded.size() + 64);
  EXPECT_TRUE(std::equal(loaded.begin() + static_cast<std::ptrdiff_t>(trackEnd), loaded.end(),
                         saved.begin() + static_cast<std::ptrdiff_t>(trackEnd + 64)));
  StyleModel again = Loaded(dir, saved, "Again.sty");
  EXPECT_EQ(again.InitialVolumeEventCount, 18);
  EXPECT_EQ(again.MasterVolume, m.MasterVolume);
  EXPECT_EQ(again.SectionName[0], "Main A");
}

}  // namespace
}  // namespace vambrio::test
