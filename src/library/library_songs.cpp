// The index's song records: a row per record of each style, dropped with the
// style by a trigger, read back with the styles.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <unordered_map>

#include "library/library_database.h"
#include "library/sql_values.h"

namespace vambrio::library {
namespace {

QString Keywords(const std::vector<std::string>& words) {
  QStringList list;
  for (const std::string& w : words) list << Text(w);
  return list.join(QLatin1Char('\n'));
}

}  // namespace

std::vector<const char*> SongSchema() {
  return {
      "CREATE TABLE IF NOT EXISTS songs ("
      " path BLOB NOT NULL, position INTEGER NOT NULL, title TEXT NOT NULL, genre TEXT NOT NULL,"
      " keywords TEXT NOT NULL, tempo INTEGER NOT NULL, time_signature TEXT NOT NULL,"
      " PRIMARY KEY(path, position)) WITHOUT ROWID",
      "CREATE TRIGGER IF NOT EXISTS styles_drop_songs AFTER DELETE ON styles"
      " BEGIN DELETE FROM songs WHERE path = old.path; END",
  };
}

LibraryDatabase::State LibraryDatabase::Upgrade() {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  State failed = State::Failed;
  const std::optional<int> version = LockedVersion(q, failed);  // another program may have upgraded it
  if (!version) return failed;
  if (*version != kSchemaVersion) {
    for (const char* sql : SongSchema())
      if (!q.exec(QString::fromLatin1(sql))) return RollBack(q.lastError());
    // The songs are in the files: every file is read again at the next update.
    Exec(QStringLiteral("UPDATE styles SET mtime = -1"));
    Exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
  }
  if (Commit()) return State::Ok;
  return WriteFailure();
}

bool LibraryDatabase::StoreSongs(const std::string& path, const std::vector<SongRecord>& songs) {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral("DELETE FROM songs WHERE path = ?"));
  q.addBindValue(Bytes(path));
  bool ok = q.exec();
  q.prepare(QStringLiteral(
      "INSERT INTO songs(path, position, title, genre, keywords, tempo, time_signature) VALUES(?, ?, ?, ?, ?, ?, ?)"));
  for (size_t i = 0; ok && i < songs.size(); ++i) {
    const SongRecord& song = songs[i];
    q.bindValue(0, Bytes(path));
    q.bindValue(1, static_cast<int>(i));
    q.bindValue(2, Text(song.title));
    q.bindValue(3, Text(song.genre));
    q.bindValue(4, Keywords(song.keywords));
    q.bindValue(5, song.Tempo());
    q.bindValue(6, QStringLiteral("%1/%2").arg(song.numerator).arg(song.denominator));
    ok = q.exec();
  }
  if (!ok) lastError_ = q.lastError().text();
  return ok;
}

void LibraryDatabase::AttachSongs(std::vector<LibraryRow>& rows) {
  std::unordered_map<QByteArray, size_t> byPath;
  for (size_t i = 0; i < rows.size(); ++i) byPath.emplace(rows[i].path, i);
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral(
          "SELECT path, title, genre, keywords, tempo, time_signature FROM songs ORDER BY path, position"))) {
    lastError_ = q.lastError().text();
    return;
  }
  while (q.next()) {
    auto it = byPath.find(q.value(0).toByteArray());
    if (it == byPath.end()) continue;
    LibrarySong song;
    song.title = q.value(1).toString();
    song.genre = q.value(2).toString();
    const QString keywords = q.value(3).toString();
    if (!keywords.isEmpty()) song.keywords = keywords.split(QLatin1Char('\n'));
    song.tempo = q.value(4).toInt();
    song.timeSignature = q.value(5).toString();
    rows[it->second].songs.push_back(std::move(song));
  }
}

}  // namespace vambrio::library
