// The song records in the library: indexed with their style, replaced and
// dropped with it, found by title; an index of the first version upgraded.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "library/library_database.h"
#include "library/library_filter.h"
#include "library/library_indexer.h"
#include "library_test_support.h"

namespace vambrio::library {
namespace {

using test::Put;

test::Bytes WithSongs(const std::string& name, const std::vector<test::SongEntry>& songs) {
  std::vector<test::Bytes> entries;
  for (const auto& s : songs) entries.push_back(test::FnrpBytes(s));
  return test::Joined({test::NamedStyle(name), test::FnrcBytes(entries)});
}

LibraryFilter Search(const char* text) {
  LibraryFilter f;
  f.text = text;
  return f;
}

const test::SongEntry kMoon{"Silver Moon Dance", "Swing", "quick", "", 400000, 4, 4};
const test::SongEntry kRiver{"Quiet River", "Ballad", "slow,ballad", "", 750000, 3, 4};

class LibrarySongs : public ::testing::Test {
 protected:
  const LibraryRow* Row(std::vector<LibraryRow>& rows, const char* name) {
    for (const LibraryRow& r : rows)
      if (r.name == name) return &r;
    return nullptr;
  }
  test::TempDir styles;
  test::TempDir data;
  QString dbFile = QString::fromStdString(data.File("library.sqlite"));
  std::string root = styles.path().string();
};

TEST_F(LibrarySongs, IndexedWithTheStyleFoundByTitleAndDroppedWithIt) {
  std::string ballads = Put(styles.path(), "Ballads.sty", WithSongs("Ballads", {kRiver, kMoon}));
  Put(styles.path(), "Plain.sty", test::NamedStyle("Moonlight"));
  LibraryDatabase db(dbFile);
  db.AddFolder(root);
  UpdateIndex(db, {});
  std::vector<LibraryRow> rows = db.Rows();
  const LibraryRow* b = Row(rows, "Ballads");
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->songs.size(), 2u);
  EXPECT_EQ(b->songs[0].title, "Quiet River");
  EXPECT_EQ(b->songs[0].genre, "Ballad");
  EXPECT_EQ(b->songs[0].keywords, (QStringList{"slow", "ballad"}));
  EXPECT_EQ(b->songs[0].tempo, 80);
  EXPECT_EQ(b->songs[0].timeSignature, "3/4");
  EXPECT_EQ(b->songs[1].tempo, 150);
  EXPECT_TRUE(Row(rows, "Moonlight")->songs.empty());

  // "moon silv" finds the style by its song; "moon" also the style named so.
  RowMatcher dancing(Search("MOON silv"));
  EXPECT_TRUE(dancing.Matches(*b));
  EXPECT_EQ(dancing.MatchingSong(*b), 1);
  EXPECT_FALSE(dancing.Matches(*Row(rows, "Moonlight")));
  RowMatcher moon(Search("moon"));
  EXPECT_TRUE(moon.Matches(*Row(rows, "Moonlight")));
  EXPECT_EQ(moon.MatchingSong(*Row(rows, "Moonlight")), -1);
  EXPECT_FALSE(RowMatcher(Search("river moon")).Matches(*b));  // words of two songs

  // The file changes: its songs are replaced; it goes: they go.
  Put(styles.path(), "Ballads.sty", WithSongs("Ballads", {kMoon}));
  std::filesystem::last_write_time(ballads, std::filesystem::last_write_time(ballads) + std::chrono::seconds(60));
  UpdateIndex(db, {});
  rows = db.Rows();
  ASSERT_EQ(Row(rows, "Ballads")->songs.size(), 1u);
  EXPECT_EQ(Row(rows, "Ballads")->songs[0].title, "Silver Moon Dance");
  QFile::remove(QString::fromStdString(ballads));
  UpdateIndex(db, {});
  {
    QSqlDatabase peek = QSqlDatabase::addDatabase("QSQLITE", "peek");
    peek.setDatabaseName(dbFile);
    ASSERT_TRUE(peek.open());
    QSqlQuery count(peek);
    ASSERT_TRUE(count.exec("SELECT count(*) FROM songs") && count.next());
    EXPECT_EQ(count.value(0).toInt(), 0);
  }
  QSqlDatabase::removeDatabase("peek");
}

TEST_F(LibrarySongs, AnIndexOfTheFirstVersionIsUpgradedAndReadAgain) {
  Put(styles.path(), "Ballads.sty", WithSongs("Ballads", {kRiver}));
  {
    LibraryDatabase db(dbFile);
    db.AddFolder(root);
    UpdateIndex(db, {});
  }
  {  // As the first version left it: no songs table.
    QSqlDatabase old = QSqlDatabase::addDatabase("QSQLITE", "old");
    old.setDatabaseName(dbFile);
    ASSERT_TRUE(old.open());
    QSqlQuery q(old);
    ASSERT_TRUE(q.exec("DROP TRIGGER styles_drop_songs"));
    ASSERT_TRUE(q.exec("DROP TABLE songs"));
    ASSERT_TRUE(q.exec("PRAGMA user_version = 1"));
    q = QSqlQuery();
    old.close();
  }
  QSqlDatabase::removeDatabase("old");
  LibraryDatabase db(dbFile);
  ASSERT_TRUE(db.IsOpen()) << db.Problem().toStdString();
  EXPECT_TRUE(db.Notice().isEmpty());
  EXPECT_FALSE(QFile::exists(dbFile + ".damaged"));
  EXPECT_EQ(db.Folders(), std::vector<std::string>{root});
  EXPECT_EQ(UpdateIndex(db, {}).read, 1);
  ASSERT_EQ(db.Rows().at(0).songs.size(), 1u);
  EXPECT_EQ(db.Rows().at(0).songs[0].title, "Quiet River");
}

}  // namespace
}  // namespace vambrio::library
