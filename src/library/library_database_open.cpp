// Opening the style library's index: its connection, its schema made or
// brought up to date, and a damaged index set aside and made anew.
#include "library/library_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "library/folder_list_file.h"
#include "library/sql_values.h"

namespace vambrio::library {
namespace {

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS folders (path BLOB PRIMARY KEY) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS favourites (path BLOB PRIMARY KEY) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS styles ("
    " path BLOB PRIMARY KEY, size INTEGER NOT NULL, mtime INTEGER NOT NULL, hash TEXT NOT NULL,"
    " name TEXT NOT NULL, copyright TEXT NOT NULL, tempo INTEGER NOT NULL, time_signature TEXT NOT NULL,"
    " format TEXT NOT NULL, sections TEXT NOT NULL, parts INTEGER NOT NULL, error TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS styles_by_hash ON styles(hash)",
};

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

QString DefaultDatabaseFile() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
  return base + QStringLiteral("/vambrio/library.sqlite");
}

}  // namespace vambrio::library
