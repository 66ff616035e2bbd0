// The index's folders, styles and favourites, read and written in
// transactions of their own (opening the index: library_database_open.cpp).
#include "library/library_database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "library/folder_list_file.h"
#include "library/folder_walk.h"
#include "library/sql_values.h"

namespace vambrio::library {

bool LibraryDatabase::Exec(const QString& sql) {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  if (q.exec(sql)) return true;
  lastError_ = q.lastError().text();
  return false;
}

// Writers take the lock at the start, so that two programs never both read
// and then both wait to write.
bool LibraryDatabase::Begin() { return Exec(QStringLiteral("BEGIN IMMEDIATE")); }

bool LibraryDatabase::Commit() {
  if (Exec(QStringLiteral("COMMIT"))) return true;
  Exec(QStringLiteral("ROLLBACK"));
  return false;
}

std::vector<std::string> LibraryDatabase::Folders() {
  std::vector<std::string> out;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  if (!q.exec(QStringLiteral("SELECT path FROM folders ORDER BY path"))) {
    lastError_ = q.lastError().text();
    return out;
  }
  while (q.next()) out.push_back(Std(q.value(0).toByteArray()));
  return out;
}

bool LibraryDatabase::AddFolder(const std::string& folder) {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral("INSERT OR IGNORE INTO folders(path) VALUES(?)"));
  q.addBindValue(Bytes(folder));
  if (q.exec()) {
    WriteFolderList(file_, Folders());
    return true;
  }
  lastError_ = q.lastError().text();
  return false;
}

std::optional<int64_t> LibraryDatabase::RemoveFolder(const std::string& folder) {
  lastError_.clear();
  std::vector<std::string> folders = Folders();
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) return std::nullopt;
  std::vector<std::string> drop;
  for (const auto& [path, stamp] : Stamps()) {
    if (!IsInside(path, folder)) continue;
    bool held = std::any_of(folders.begin(), folders.end(),
                            [&](const std::string& other) { return other != folder && IsInside(path, other); });
    if (!held) drop.push_back(path);
  }
  if (!Begin()) return std::nullopt;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral("DELETE FROM folders WHERE path = ?"));
  q.addBindValue(Bytes(folder));
  bool ok = q.exec();
  q.prepare(QStringLiteral("DELETE FROM styles WHERE path = ?"));
  for (size_t i = 0; ok && i < drop.size(); ++i) {
    q.bindValue(0, Bytes(drop[i]));
    ok = q.exec();
  }
  if (!ok) {
    lastError_ = q.lastError().text();
    Exec(QStringLiteral("ROLLBACK"));
    return std::nullopt;
  }
  if (!Commit()) return std::nullopt;
  WriteFolderList(file_, Folders());
  return static_cast<int64_t>(drop.size());
}

std::unordered_map<std::string, FileStamp> LibraryDatabase::Stamps() {
  std::unordered_map<std::string, FileStamp> out;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT path, size, mtime FROM styles"))) {
    lastError_ = q.lastError().text();
    return out;
  }
  while (q.next()) out[Std(q.value(0).toByteArray())] = {q.value(1).toLongLong(), q.value(2).toLongLong()};
  return out;
}

bool LibraryDatabase::Store(const std::vector<IndexedFile>& files) {
  if (files.empty()) return true;
  lastError_.clear();
  if (!Begin()) return false;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral(
      "INSERT INTO styles(path, size, mtime, hash, name, copyright, tempo, time_signature, format, sections, parts,"
      " error) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT(path) DO UPDATE SET size = excluded.size,"
      " mtime = excluded.mtime, hash = excluded.hash, name = excluded.name, copyright = excluded.copyright,"
      " tempo = excluded.tempo, time_signature = excluded.time_signature, format = excluded.format,"
      " sections = excluded.sections, parts = excluded.parts, error = excluded.error"));
  for (const IndexedFile& f : files) {
    const StyleSummary& s = f.summary;
    std::string sections;
    for (const std::string& name : s.sections) sections += (sections.empty() ? "" : "\n") + name;
    q.bindValue(0, Bytes(f.path));
    q.bindValue(1, QVariant::fromValue<qint64>(f.stamp.size));
    q.bindValue(2, QVariant::fromValue<qint64>(f.stamp.mtimeNs));
    q.bindValue(3, Text(s.hash));
    q.bindValue(4, Text(s.name));
    q.bindValue(5, Text(s.copyright));
    q.bindValue(6, s.tempo);
    q.bindValue(7, Text(s.timeSignature));
    q.bindValue(8, Text(s.format));
    q.bindValue(9, Text(sections));
    q.bindValue(10, int{s.parts});
    q.bindValue(11, Text(s.error));
    if (!q.exec() || !StoreSongs(f.path, s.songs)) {
      if (lastError_.isEmpty()) lastError_ = q.lastError().text();
      Exec(QStringLiteral("ROLLBACK"));
      return false;
    }
  }
  return Commit();
}

bool LibraryDatabase::Drop(const std::vector<std::string>& paths) {
  if (paths.empty()) return true;
  if (!Begin()) return false;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(QStringLiteral("DELETE FROM styles WHERE path = ?"));
  for (const std::string& p : paths) {
    q.bindValue(0, Bytes(p));
    if (!q.exec()) {
      lastError_ = q.lastError().text();
      Exec(QStringLiteral("ROLLBACK"));
      return false;
    }
  }
  return Commit();
}

std::vector<LibraryRow> LibraryDatabase::Rows() {
  std::vector<LibraryRow> rows;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral(
          "SELECT s.path, s.size, s.mtime, s.hash, s.name, s.copyright, s.tempo, s.time_signature, s.format,"
          " s.sections, s.parts, s.error, f.path IS NOT NULL FROM styles s LEFT JOIN favourites f ON f.path = s.path"))) {
    lastError_ = q.lastError().text();
    return rows;
  }
  while (q.next()) {
    LibraryRow r;
    r.path = q.value(0).toByteArray();
    r.size = q.value(1).toLongLong();
    r.mtimeNs = q.value(2).toLongLong();
    r.hash = q.value(3).toString();
    r.name = q.value(4).toString();
    r.copyright = q.value(5).toString();
    r.tempo = q.value(6).toInt();
    r.timeSignature = q.value(7).toString();
    r.format = q.value(8).toString();
    QString sections = q.value(9).toString();
    if (!sections.isEmpty()) r.sections = sections.split(QLatin1Char('\n'));
    r.parts = q.value(10).toInt();
    r.error = q.value(11).toString();
    r.favourite = q.value(12).toBool();
    rows.push_back(std::move(r));
  }
  q.finish();
  AttachSongs(rows);
  return rows;
}

bool LibraryDatabase::SetFavourite(const QByteArray& path, bool favourite) {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.prepare(favourite ? QStringLiteral("INSERT OR IGNORE INTO favourites(path) VALUES(?)")
                      : QStringLiteral("DELETE FROM favourites WHERE path = ?"));
  q.addBindValue(path);
  if (q.exec()) return true;
  lastError_ = q.lastError().text();
  return false;
}

}  // namespace vambrio::library
