#include "library/folder_list_file.h"

#include <QFile>
#include <QSaveFile>

namespace vambrio::library {
namespace {

QString FolderListFile(const QString& index) { return index + QStringLiteral(".folders"); }

}  // namespace

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

}  // namespace vambrio::library
