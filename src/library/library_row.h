// One style file of the library as the index holds it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace vambrio::library {

// One of a style's song records.
struct LibrarySong {
  QString title;
  QString genre;
  QStringList keywords;
  int tempo = 0;
  QString timeSignature;
};

struct LibraryRow {
  QByteArray path;  // as the file system names the file (need not be valid UTF-8)
  int64_t size = 0;
  int64_t mtimeNs = 0;
  QString hash;  // content hash; empty when the file could not be read
  QString name;
  QString copyright;
  int tempo = 0;
  QString timeSignature;
  QString format;  // "SFF1", "SFF2" or empty
  QStringList sections;
  int parts = 0;  // bit k: part k of kPartNames
  QString error;  // why the file does not load; empty when it does
  bool favourite = false;
  std::vector<LibrarySong> songs;

  // The path for people to read: bytes that are not UTF-8 show as U+FFFD.
  QString DisplayPath() const { return QString::fromUtf8(path); }
  QString FileName() const;
  QString Folder() const;
  QString Type() const;  // the extension in capitals: "STY", "PRS"
  bool Loaded() const { return error.isEmpty(); }
};

// True when the bytes are valid UTF-8.
bool IsValidUtf8(const QByteArray& bytes);

}  // namespace vambrio::library
