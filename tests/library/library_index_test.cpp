// The library's index: a generated collection indexed, re-opened after
// changes, duplicates, favourites, folders removed, a damaged index rebuilt.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <map>

#include "library/library_database.h"
#include "library/library_filter.h"
#include "library/library_indexer.h"
#include "library_test_support.h"

namespace vambrio::library {
namespace {

namespace fs = std::filesystem;
using test::NamedStyle;
using test::Put;

std::map<std::string, LibraryRow> ByFile(LibraryDatabase& db) {
  std::map<std::string, LibraryRow> out;
  for (LibraryRow& r : db.Rows()) out[r.FileName().toStdString()] = std::move(r);
  return out;
}

class LibraryIndex : public ::testing::Test {
 protected:
  test::TempDir styles;
  test::TempDir data;
  QString dbFile = QString::fromStdString(data.File("library.sqlite"));
  std::string root = styles.path().string();
};

TEST_F(LibraryIndex, IndexesACollectionWithItsFieldsAndErrors) {
  for (int i = 0; i < 12; ++i)
    Put(styles.path(), "Pop/Part" + std::to_string(i % 3) + "/Pop" + std::to_string(i) + ".sty",
        NamedStyle("Pop " + std::to_string(i), 100 + i));
  Put(styles.path(), "Waltz.PRS", NamedStyle("Waltz", 90, 3, 2, "SFF2"));
  Put(styles.path(), "Broken.sty", {'M', 'T', 'h', 'd'});
  Put(styles.path(), "readme.txt", {'x'});

  LibraryDatabase db(dbFile);
  ASSERT_TRUE(db.IsOpen()) << db.Problem().toStdString();
  EXPECT_TRUE(db.Notice().isEmpty());
  ASSERT_TRUE(db.AddFolder(root));
  std::vector<IndexProgress> seen;
  IndexReport report = UpdateIndex(db, {}, [&](const IndexProgress& p) { seen.push_back(p); });
  EXPECT_EQ(report.files, 14);
  EXPECT_EQ(report.read, 14);
  EXPECT_EQ(report.failed, 1);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().done, 14);
  EXPECT_EQ(seen.back().total, 14);

  auto rows = ByFile(db);
  ASSERT_EQ(rows.size(), 14u);
  const LibraryRow& waltz = rows.at("Waltz.PRS");
  EXPECT_EQ(waltz.name, "Waltz");
  EXPECT_EQ(waltz.copyright, "Vambrio");
  EXPECT_EQ(waltz.tempo, 90);
  EXPECT_EQ(waltz.timeSignature, "3/4");
  EXPECT_EQ(waltz.format, "SFF2");
  EXPECT_EQ(waltz.Type(), "PRS");
  EXPECT_EQ(waltz.sections, (QStringList{"Main A", "Main B"}));
  EXPECT_EQ(waltz.parts, 0b110);  // Rhythm Main and Bass
  EXPECT_EQ(waltz.Folder().toStdString(), root);
  EXPECT_EQ(rows.at("Pop11.sty").tempo, 111);
  EXPECT_EQ(rows.at("Broken.sty").error.section('\n', 0, 0), "The program could not process this file");
  EXPECT_FALSE(rows.at("Broken.sty").Loaded());
}

TEST_F(LibraryIndex, ReopeningReadsOnlyChangedFilesAndDropsVanishedOnes) {
  Put(styles.path(), "a.sty", NamedStyle("A"));
  std::string b = Put(styles.path(), "sub/b.sty", NamedStyle("B"));
  std::string c = Put(styles.path(), "c.sty", NamedStyle("C"));
  {
    LibraryDatabase db(dbFile);
    db.AddFolder(root);
    EXPECT_EQ(UpdateIndex(db, {}).read, 3);
  }
  LibraryDatabase db(dbFile);
  IndexReport unchanged = UpdateIndex(db, {});
  EXPECT_EQ(unchanged.files, 3);
  EXPECT_EQ(unchanged.read, 0);

  test::WriteFile(b, NamedStyle("B changed", 140));
  fs::remove(c);
  Put(styles.path(), "sub/d.sty", NamedStyle("D"));
  IndexReport changed = UpdateIndex(db, {});
  EXPECT_EQ(changed.read, 2);
  EXPECT_EQ(changed.removed, 1);
  auto rows = ByFile(db);
  EXPECT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows.at("b.sty").name, "B changed");
  EXPECT_EQ(rows.at("b.sty").tempo, 140);
  EXPECT_EQ(rows.count("c.sty"), 0u);
  EXPECT_EQ(rows.count("d.sty"), 1u);
}

TEST_F(LibraryIndex, AFolderThatCannotBeReadKeepsItsFiles) {
  fs::create_directories(styles.path() / "usb");
  Put(styles.path(), "usb/a.sty", NamedStyle("A"));
  LibraryDatabase db(dbFile);
  db.AddFolder(root + "/usb");
  UpdateIndex(db, {});
  fs::rename(styles.path() / "usb", styles.path() / "unplugged");
  IndexReport r = UpdateIndex(db, {});
  EXPECT_EQ(r.removed, 0);
  EXPECT_EQ(r.problems, std::vector<std::string>{"The folder " + root + "/usb could not be read."});
  EXPECT_EQ(db.Rows().size(), 1u);
}

TEST_F(LibraryIndex, DuplicatesFavouritesAndRemovingAFolder) {
  test::Bytes same = NamedStyle("Same");
  Put(styles.path(), "one/x.sty", same);
  Put(styles.path(), "two/copy of x.sty", same);
  Put(styles.path(), "two/y.sty", NamedStyle("Y"));
  LibraryDatabase db(dbFile);
  db.AddFolder(root + "/one");
  db.AddFolder(root + "/two");
  UpdateIndex(db, {});

  std::vector<LibraryRow> rows = db.Rows();
  auto groups = DuplicateGroups(rows);
  ASSERT_EQ(groups.size(), 1u);
  ASSERT_EQ(groups[0].size(), 2u);
  EXPECT_EQ(rows[groups[0][0]].FileName(), "x.sty");
  EXPECT_EQ(rows[groups[0][1]].FileName(), "copy of x.sty");

  QByteArray y = QByteArray::fromStdString(root + "/two/y.sty");
  ASSERT_TRUE(db.SetFavourite(y, true));
  test::WriteFile(root + "/two/y.sty", NamedStyle("Y again"));  // a favourite stays one when the file changes
  UpdateIndex(db, {});
  EXPECT_TRUE(ByFile(db).at("y.sty").favourite);
  EXPECT_FALSE(ByFile(db).at("x.sty").favourite);

  EXPECT_EQ(db.RemoveFolder(root + "/two"), 2);
  EXPECT_EQ(db.RemoveFolder(root + "/two"), std::nullopt);
  EXPECT_EQ(db.Folders(), std::vector<std::string>{root + "/one"});
  EXPECT_EQ(ByFile(db).size(), 1u);
}

TEST_F(LibraryIndex, ADamagedIndexIsSetAsideAndMadeAnew) {
  {
    QFile f(dbFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, '\x5a'));
  }
  Put(styles.path(), "a.sty", NamedStyle("A"));
  LibraryDatabase db(dbFile);
  ASSERT_TRUE(db.IsOpen()) << db.Problem().toStdString();
  EXPECT_TRUE(db.Notice().contains("damaged")) << db.Notice().toStdString();
  EXPECT_TRUE(db.Notice().contains("please add your style folders again")) << db.Notice().toStdString();
  EXPECT_TRUE(QFile::exists(dbFile + ".damaged"));
  db.AddFolder(root);
  EXPECT_EQ(UpdateIndex(db, {}).read, 1);
  EXPECT_EQ(db.Rows().size(), 1u);
}

TEST_F(LibraryIndex, ADamagedIndexKeepsTheFoldersThatCanStillBeRead) {
  {
    LibraryDatabase db(dbFile);
    db.AddFolder(root);
    db.SetFavourite("/x/fav.sty", true);
  }
  // Damage the first page's b-tree header of the styles table: the index
  // check fails while the small tables are still readable.
  {
    LibraryDatabase db(dbFile);
    Put(styles.path(), "a.sty", NamedStyle("A"));
    UpdateIndex(db, {});
  }
  QFile f(dbFile);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  QByteArray image = f.readAll();
  int pageSize = (static_cast<uint8_t>(image[16]) << 8) | static_cast<uint8_t>(image[17]);
  for (qsizetype page = 3 * pageSize; page + pageSize <= image.size(); page += pageSize)
    image.replace(page, 8, QByteArray(8, '\xff'));
  f.seek(0);
  f.write(image);
  f.close();

  LibraryDatabase db(dbFile);
  ASSERT_TRUE(db.IsOpen());
  EXPECT_FALSE(db.Notice().isEmpty());
  EXPECT_EQ(db.Folders(), std::vector<std::string>{root});
}

TEST_F(LibraryIndex, AnIndexDamagedBeyondReadingFindsItsFoldersInTheListKeptBesideIt) {
  {
    LibraryDatabase db(dbFile);
    db.AddFolder(root);
    db.AddFolder(root + "/gone");
    ASSERT_EQ(db.RemoveFolder(root + "/gone"), 0);
  }
  {
    QFile f(dbFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, '\x5a'));
  }
  LibraryDatabase db(dbFile);
  ASSERT_TRUE(db.IsOpen());
  EXPECT_TRUE(db.Notice().contains("made anew from the library's folders")) << db.Notice().toStdString();
  EXPECT_EQ(db.Folders(), std::vector<std::string>{root});
}

TEST_F(LibraryIndex, AnIndexOfANewerVersionIsLeftAlone) {
  {
    LibraryDatabase db(dbFile);
    db.AddFolder(root);
  }
  {
    LibraryDatabase db(dbFile);
    ASSERT_TRUE(db.IsOpen());
  }
  // The version a later program would write.
  {
    QFile f(dbFile);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(60);
    f.write(QByteArray("\x00\x00\x00\x09", 4));
  }
  LibraryDatabase db(dbFile);
  EXPECT_FALSE(db.IsOpen());
  EXPECT_TRUE(db.Problem().contains("newer")) << db.Problem().toStdString();
  EXPECT_FALSE(QFile::exists(dbFile + ".damaged"));
}

TEST_F(LibraryIndex, FileNamesThatAreNotUtf8AreKeptAsBytes) {
  std::string odd = Put(styles.path(), "Caf\xE9 Latin.sty", NamedStyle("Latin"));
  LibraryDatabase db(dbFile);
  db.AddFolder(root);
  UpdateIndex(db, {});
  std::vector<LibraryRow> rows = db.Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].path.toStdString(), odd);
  EXPECT_FALSE(IsValidUtf8(rows[0].path));
  EXPECT_EQ(rows[0].FileName(), QString::fromUtf8("Caf\uFFFD Latin.sty"));
  EXPECT_EQ(UpdateIndex(db, {}).read, 0);  // found again under the same bytes
}

TEST_F(LibraryIndex, ACancelledUpdateIsTakenUpByTheNext) {
  for (int i = 0; i < 50; ++i) Put(styles.path(), "s" + std::to_string(i) + ".sty", NamedStyle("S"));
  LibraryDatabase db(dbFile);
  db.AddFolder(root);
  std::atomic<bool> cancel{true};
  IndexReport r = UpdateIndex(db, {}, {}, &cancel);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(static_cast<int64_t>(db.Rows().size()), r.read);
  EXPECT_EQ(UpdateIndex(db, {}).read, 50 - r.read);
  EXPECT_EQ(db.Rows().size(), 50u);
}

}  // namespace
}  // namespace vambrio::library
