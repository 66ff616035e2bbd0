// The library's folders are also kept outside the index, in a small file
// beside it ("library.sqlite.folders": each path followed by a NUL byte, as
// a path may hold any other byte), so that an index made anew still knows them.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace vambrio::library {

// The folders kept beside the index file `index`; none when there is no list.
std::vector<QByteArray> ReadFolderList(const QString& index);
// Replaces the list beside `index` (written whole or not at all).
void WriteFolderList(const QString& index, const std::vector<std::string>& folders);

}  // namespace vambrio::library
