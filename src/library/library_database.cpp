#include "library/library_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "library/folder_walk.h"

namespace vambrio::library {
namespace {

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
std::string Std(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }
QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS folders (path BLOB PRIMARY KEY) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS favourites (path BLOB PRIMARY KEY) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS styles ("
    " path BLOB PRIMARY KEY, size INTEGER NOT NULL, mtime INTEGER NOT NULL, hash TEXT NOT NULL,"
    " name TEXT NOT NULL, copyright TEXT NOT NULL, tempo INTEGER NOT NULL, time_signature TEXT NOT NULL,"
    " format TEXT NOT NULL, sections TEXT NOT NULL, parts INTEGER NOT NULL, error TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS styles_by_hash ON styles(hash)",
};

// The library's folders are also kept outside the index, in a small file
// beside it ("library.sqlite.folders": each path followed by a NUL byte, as
// a path may hold any other byte), so that an index made anew still knows them.
QString FolderListFile(const QString& index) { return index + QStringLiteral(".folders"); }

std::vector<QByteArray> ReadFolderList(const QString& index) {
  QFile f(FolderListFile(index));
  std::vector<QByteArray> folders;
  if (!f.open(QIODevice::ReadOnly)) return folders;
  for (const QByteArray& path : f.readAll().split('\0'))
    if (!path.isEmpty()) folders.push_back(path);
  return folders;
}

void WriteFolderList(const QString& index, const std::vector<std::string>& folders) {
  QSaveFile f(FolderListFile(index));
  if (!f.open(QIODevice::WriteOnly)) return;
  for (const std::string& path : folders) {
    f.write(path.data(), static_cast<qint64>(path.size()));
    f.write("\0", 1);
  }
  f.commit();
}

QString NewConnectionName() {
  static std::atomic<int> counter{0};
  return QStringLiteral("vambrio-library-%1").arg(++counter);
}

}  // namespace

LibraryDatabase::LibraryDatabase(const QString& file) : file_(file), connection_(NewConnectionName()) {
  if (!OpenConnection()) return;
  switch (Prepare()) {
    case State::Ok: break;
    case State::Damaged: Rebuild(); break;
    case State::Failed: CloseConnection(); break;  // not ours to replace, or not reachable now
  }
}

LibraryDatabase::~LibraryDatabase() { CloseConnection(); }

bool LibraryDatabase::OpenConnection() {
  QDir().mkpath(QFileInfo(file_).absolutePath());
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) {
      problem_ = QStringLiteral("Qt's SQLite driver is missing (Debian package libqt6sql6-sqlite).");
      return false;
    }
    db.setDatabaseName(file_);
    // Another program writing the index: wait for it rather than fail.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    if (!db.open()) {
      problem_ = QStringLiteral("The style library %1 could not be opened: %2").arg(file_, db.lastError().text());
      return false;
    }
  }
  open_ = true;
  return true;
}

void LibraryDatabase::CloseConnection() {
  if (!QSqlDatabase::contains(connection_)) return;
  {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(connection_);
  open_ = false;
}

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

// SQLite's "file is not a database" and "database disk image is malformed".
static bool IsDamage(const QSqlError& e) {
  QString code = e.nativeErrorCode();
  return code == QLatin1String("26") || code == QLatin1String("11");
}

LibraryDatabase::State LibraryDatabase::Prepare() {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) return Failure(q.lastError());
  int version = q.value(0).toInt();
  q.finish();
  if (version > kSchemaVersion) {
    problem_ = QStringLiteral("The style library %1 was made by a newer version of Vambrio.").arg(file_);
    return State::Failed;
  }
  if (version == kSchemaVersion) {
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")) || !q.next()) return Failure(q.lastError());
    bool healthy = q.value(0).toString() == QLatin1String("ok");
    q.finish();
    if (!healthy) return State::Damaged;
  } else if (State s = version > 0 ? Upgrade() : CreateSchema(); s != State::Ok) {
    return s;
  }
  // Two programs share the index: readers never wait for the writer.
  if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) return Failure(q.lastError());
  q.finish();
  Exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
  lastError_.clear();
  return State::Ok;
}

LibraryDatabase::State LibraryDatabase::Failure(const QSqlError& e) {
  if (IsDamage(e)) return State::Damaged;
  problem_ = QStringLiteral("The style library %1 could not be read: %2").arg(file_, e.text());
  return State::Failed;
}

// A failure inside a transaction: it is rolled back.
LibraryDatabase::State LibraryDatabase::RollBack(const QSqlError& e) {
  const State s = Failure(e);
  Exec(QStringLiteral("ROLLBACK"));
  return s;
}

// Takes the write lock, then reads the schema's version: another program may
// have changed it while this one waited for the lock.
std::optional<int> LibraryDatabase::LockedVersion(QSqlQuery& q, State& failed) {
  if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    failed = Failure(q.lastError());
    return std::nullopt;
  }
  if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
    failed = RollBack(q.lastError());
    return std::nullopt;
  }
  const int version = q.value(0).toInt();
  q.finish();
  return version;
}

LibraryDatabase::State LibraryDatabase::CreateSchema() {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  State failed = State::Failed;
  const std::optional<int> version = LockedVersion(q, failed);
  if (!version) return failed;
  if (*version == kSchemaVersion) return Commit() ? State::Ok : Failure(q.lastError());
  bool foreign = q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && q.next() && q.value(0).toInt() > 0;
  q.finish();
  if (foreign) {
    Exec(QStringLiteral("ROLLBACK"));
    return State::Damaged;  // tables of an unknown kind: not an index of ours
  }
  std::vector<const char*> schema(std::begin(kSchema), std::end(kSchema));
  for (const char* sql : SongSchema()) schema.push_back(sql);
  for (const char* sql : schema)
    if (!q.exec(QString::fromLatin1(sql))) return RollBack(q.lastError());
  Exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
  if (Commit()) return State::Ok;
  return WriteFailure();
}

LibraryDatabase::State LibraryDatabase::WriteFailure() {
  problem_ = QStringLiteral("The style library %1 could not be written: %2").arg(file_, lastError_);
  writeFailed_ = true;
  return State::Failed;
}

void LibraryDatabase::Rebuild() {
  // Whatever of the folders and favourites can still be read is kept.
  std::vector<QByteArray> folders, favourites;
  {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("SELECT path FROM folders")))
      while (q.next()) folders.push_back(q.value(0).toByteArray());
    if (q.exec(QStringLiteral("SELECT path FROM favourites")))
      while (q.next()) favourites.push_back(q.value(0).toByteArray());
  }
  CloseConnection();
  if (folders.empty()) folders = ReadFolderList(file_);
  QString aside = file_ + QStringLiteral(".damaged");
  QFile::remove(aside);
  QFile::rename(file_, aside);
  QFile::remove(file_ + QStringLiteral("-wal"));
  QFile::remove(file_ + QStringLiteral("-shm"));
  if (!OpenConnection()) return;
  if (Prepare() != State::Ok) {
    if (problem_.isEmpty()) problem_ = QStringLiteral("The style library %1 could not be made anew.").arg(file_);
    CloseConnection();
    return;
  }
  for (const QByteArray& f : folders) AddFolder(Std(f));
  for (const QByteArray& f : favourites) SetFavourite(f, true);
  if (folders.empty()) {
    notice_ = QStringLiteral(
                  "The style library's index was damaged. It has been set aside as %1. The list of the library's "
                  "folders was lost with it, so the library is empty: please add your style folders again.")
                  .arg(aside);
    return;
  }
  notice_ = QStringLiteral(
                "The style library's index was damaged. It has been set aside as %1, and the index is made anew "
                "from the library's folders.")
                .arg(aside);
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

QString DefaultDatabaseFile() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
  return base + QStringLiteral("/vambrio/library.sqlite");
}

}  // namespace vambrio::library
