// The style library's index: one SQLite database (through Qt SQL) that
// several running programs share (write-ahead log, waits for each other's
// writes). One object is one connection and belongs to the thread that made it.
#pragma once

#include <QString>

class QSqlError;
class QSqlQuery;
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "library/library_row.h"
#include "library/style_summary.h"

namespace vambrio::library {

struct FileStamp {
  int64_t size = 0;
  int64_t mtimeNs = 0;
};

// A file read by the indexer: where it is, its stamp and what it holds.
struct IndexedFile {
  std::string path;
  FileStamp stamp;
  StyleSummary summary;
};

class LibraryDatabase {
 public:
  // 2: the song records of each style (table songs).
  static constexpr int kSchemaVersion = 2;

  // Opens the index in file, creating it (and its folder) when missing. A
  // file that is not a readable index is set aside as file + ".damaged" and
  // a new index is made with the folders and favourites that could be read
  // from the old one; Notice() then says so.
  explicit LibraryDatabase(const QString& file);
  ~LibraryDatabase();
  LibraryDatabase(const LibraryDatabase&) = delete;
  LibraryDatabase& operator=(const LibraryDatabase&) = delete;

  bool IsOpen() const { return open_; }
  const QString& Problem() const { return problem_; }  // why it could not be opened
  bool WriteFailed() const { return writeFailed_; }    // it could not be opened because it could not be written
  const QString& Notice() const { return notice_; }    // set when a damaged index was rebuilt
  const QString& File() const { return file_; }
  // The last failure of a read or write, for the user.
  const QString& LastError() const { return lastError_; }

  std::vector<std::string> Folders();
  bool AddFolder(const std::string& folder);
  // Drops the folder and the files inside it that no other folder of the
  // library holds. The number of files dropped, or nothing when the folder
  // is not one of the library's.
  std::optional<int64_t> RemoveFolder(const std::string& folder);

  std::unordered_map<std::string, FileStamp> Stamps();
  bool Store(const std::vector<IndexedFile>& files);
  bool Drop(const std::vector<std::string>& paths);

  // Every file of the index, with its favourite mark.
  std::vector<LibraryRow> Rows();
  bool SetFavourite(const QByteArray& path, bool favourite);

 private:
  enum class State { Ok, Damaged, Failed };
  bool OpenConnection();
  void CloseConnection();
  // Checks the schema and the pages, and makes them in a new file.
  State Prepare();
  State CreateSchema();
  // Brings an index of an earlier version to this one (library_songs.cpp).
  State Upgrade();
  bool StoreSongs(const std::string& path, const std::vector<SongRecord>& songs);
  void AttachSongs(std::vector<LibraryRow>& rows);
  State Failure(const QSqlError& e);
  State WriteFailure();  // the last commit failed
  State RollBack(const QSqlError& e);
  std::optional<int> LockedVersion(QSqlQuery& q, State& failed);
  void Rebuild();
  bool Exec(const QString& sql);
  bool Begin();
  bool Commit();

  QString file_;
  QString connection_;
  bool open_ = false;
  QString problem_;
  bool writeFailed_ = false;
  QString notice_;
  QString lastError_;
};

// The statements that make the table of song records (library_songs.cpp).
std::vector<const char*> SongSchema();

// $XDG_DATA_HOME/vambrio/library.sqlite, else ~/.local/share/vambrio/library.sqlite.
QString DefaultDatabaseFile();

}  // namespace vambrio::library
